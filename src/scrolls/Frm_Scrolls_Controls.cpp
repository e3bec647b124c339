// The scroll manager's controls and their layout.

#include "scrolls/Frm_Scrolls.h"

#include "browse/ReportEngine.h"
#include "scrolls/ScrollDetails.h"
#include "scrolls/ScrollIcons.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/FormScrollArea.h"
#include "widgets/LevelGrid.h"
#include "widgets/ListView.h"
#include "widgets/ToolIcons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

// The scroll manager's controls and where they sit.

namespace {

constexpr int kScrollsColumnWidths[] = {190, 48, 80, 70};

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *created = new QPushButton(caption, parent);
    created->setObjectName(name);
    created->setAutoDefault(false);
    return created;
}

QHBoxLayout *pair(QWidget *first, QWidget *second)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(first);
    row->addWidget(second);
    return row;
}

} // namespace

Frm_Scrolls::Frm_Scrolls(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Scrolls"));
    setWindowTitle(QStringLiteral("Manage Scrolls"));
    setWindowIcon(ToolIcons::icon(ToolIcons::ManageScrolls));
    createControls();
}

Frm_Scrolls::~Frm_Scrolls() = default;

QSize Frm_Scrolls::sizeHint() const
{
    return QSize(860, 600).expandedTo(FormScrollArea::wholeSize(this));
}

void Frm_Scrolls::createControls()
{
    m_toolbar = new ButtonToolBar(QStringLiteral("TB"), this);
    m_toolbar->addMenuButton(
        QStringLiteral("Print"), QStringLiteral("Print"), ToolIcons::icon(ToolIcons::Print),
        {{QStringLiteral("Print Selected Scroll"), QStringLiteral("Print Selected Scroll")},
         {QStringLiteral("Preview Selected Scroll"), QStringLiteral("Preview Selected Scroll")},
         {},
         {QStringLiteral("Print Selected Caster's Scrolls"),
          QStringLiteral("Print Selected Caster's Scrolls")},
         {QStringLiteral("Preview Selected Caster's Scrolls"),
          QStringLiteral("Preview Selected Caster's Scrolls")}});
    m_toolbar->addButton(QStringLiteral("Add"), QStringLiteral("Add Spell to Scroll"),
                         ScrollIcons::icon(ScrollIcons::Add));
    m_toolbar->addButton(QStringLiteral("Replace"), QStringLiteral("Replace selected spell"),
                         ScrollIcons::icon(ScrollIcons::Replace));
    m_toolbar->addButton(QStringLiteral("Save"), QStringLiteral("Save"),
                         ScrollIcons::icon(ScrollIcons::Save));
    m_toolbar->addButton(QStringLiteral("Delete"), QStringLiteral("Delete"),
                         ScrollIcons::icon(ScrollIcons::Delete));
    m_toolbar->addButton(QStringLiteral("Export Scroll"), QStringLiteral("Export Scroll(s)"),
                         ToolIcons::icon(ToolIcons::ExportSelected));
    m_crystal = new ReportEngine(this);
    m_crystal->setObjectName(QStringLiteral("Crystal"));
    connect(m_toolbar, &ButtonToolBar::buttonClicked, this, &Frm_Scrolls::TB_ButtonClick);
    connect(m_toolbar, &ButtonToolBar::buttonMenuClicked, this, &Frm_Scrolls::TB_ButtonMenuClick);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(createViewTab(), QStringLiteral("View"));
    m_tabs->addTab(createAddTab(), QStringLiteral("Add"));
    m_tabs->addTab(createGenerateTab(), QStringLiteral("Generate"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &Frm_Scrolls::SSTab1_Click);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(6);
    layout->addWidget(m_toolbar);
    // Below the tool bar the tabs and the spell picker scroll when the window is made smaller
    // than they need.
    auto *form = new QWidget(this);
    auto *body = new QVBoxLayout(form);
    body->setContentsMargins(8, 0, 8, 0);
    body->setSpacing(8);
    body->addWidget(m_tabs, 1);
    body->addWidget(createPicker());
    layout->addWidget(new FormScrollArea(form, this), 1);
    m_tree->setFocus();
}

ListView *Frm_Scrolls::createLineList(const QString &name, QWidget *parent)
{
    auto *list = new ListView(name,
                              {QStringLiteral("Name"), QStringLiteral("Level"), QStringLiteral("Frequency"),
                               QStringLiteral("Book"), QStringLiteral("Page")},
                              parent);
    list->header()->setMinimumSectionSize(30);
    for (int column = 0; column < 4; ++column)
        list->setColumnWidth(column, kScrollsColumnWidths[column]);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    new ColumnSortToggle(list);
    return list;
}

QWidget *Frm_Scrolls::createViewTab()
{
    auto *tab = new QWidget;
    auto *scrolls = new QGroupBox(QStringLiteral("Scrolls"), tab);
    scrolls->setObjectName(QStringLiteral("Frame_Scrolls"));
    m_tree = new QTreeWidget(scrolls);
    m_tree->setObjectName(QStringLiteral("TV_Scrolls"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setAccessibleName(QStringLiteral("Scrolls"));
    m_tree->setAccessibleDescription(QStringLiteral("The casters and the scrolls each holds"));
    (new QVBoxLayout(scrolls))->addWidget(m_tree);

    auto *spells = new QGroupBox(QStringLiteral("Spells"), tab);
    spells->setObjectName(QStringLiteral("Frame_Spells"));
    m_scrollLines = createLineList(QStringLiteral("LV_Scrolls"), spells);
    m_scrollLines->setAccessibleName(QStringLiteral("Spells of the scroll"));
    m_scrollLines->setAccessibleDescription(QStringLiteral("The spells on the scroll chosen"));
    (new QVBoxLayout(spells))->addWidget(m_scrollLines);

    auto *layout = new QHBoxLayout(tab);
    layout->addWidget(scrolls, 2);
    layout->addWidget(spells, 5);
    return tab;
}

QWidget *Frm_Scrolls::createAddTab()
{
    auto *tab = new QWidget;
    const ScrollDetails details(tab, QStringLiteral("Txt_ScrollName"), QStringLiteral("Cmbo_CasterName"), 16);
    m_scrollName = details.name;
    m_casterName = details.caster;

    auto *spells = new QGroupBox(QStringLiteral("Scroll Spells"), tab);
    spells->setObjectName(QStringLiteral("Frame_ScrollSpells"));
    m_addLines = createLineList(QStringLiteral("LV_Add"), spells);
    m_addLines->setAccessibleName(QStringLiteral("Spells of the new scroll"));
    m_addLines->setAccessibleDescription(QStringLiteral("The spells the new scroll will hold"));
    (new QVBoxLayout(spells))->addWidget(m_addLines);

    auto *left = new QVBoxLayout;
    left->addWidget(details.box);
    left->addStretch(1);
    auto *layout = new QHBoxLayout(tab);
    layout->addLayout(left, 2);
    layout->addWidget(spells, 5);
    return tab;
}

QWidget *Frm_Scrolls::createGenerateTab()
{
    auto *tab = new QWidget;
    auto *choices = new QGroupBox(QStringLiteral("Schools && Levels"), tab);
    choices->setObjectName(QStringLiteral("Frame_SchoolsLevels"));

    m_levels = LevelGrid::create(choices);
    m_levels->setFixedSize(LevelGrid::threeByThree(m_levels));

    m_schools = new QListWidget(choices);
    m_schools->setObjectName(QStringLiteral("Lst_Schools"));
    m_schools->setSelectionMode(QAbstractItemView::MultiSelection);
    m_schools->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_schools->setAccessibleName(QStringLiteral("Schools"));
    m_schools->setAccessibleDescription(QStringLiteral("The schools a drawn spell may come from"));

    auto *allLevels = button(QStringLiteral("Opt_All_Levels"), QStringLiteral("All"), choices);
    auto *noLevels = button(QStringLiteral("Opt_None_Levels"), QStringLiteral("None"), choices);
    auto *allSchools = button(QStringLiteral("Opt_All"), QStringLiteral("All"), choices);
    auto *noSchools = button(QStringLiteral("Opt_None"), QStringLiteral("None"), choices);
    connect(allLevels, &QPushButton::clicked, this, &Frm_Scrolls::Opt_All_Levels_Click);
    connect(noLevels, &QPushButton::clicked, this, &Frm_Scrolls::Opt_None_Levels_Click);
    connect(allSchools, &QPushButton::clicked, this, &Frm_Scrolls::Opt_All_Click);
    connect(noSchools, &QPushButton::clicked, this, &Frm_Scrolls::Opt_None_Click);

    auto *choicesLayout = new QVBoxLayout(choices);
    choicesLayout->setSpacing(4);
    auto *levelsLabel = new QLabel(QStringLiteral("Levels"), choices);
    levelsLabel->setBuddy(m_levels);
    choicesLayout->addWidget(levelsLabel);
    choicesLayout->addWidget(m_levels);
    choicesLayout->addLayout(pair(allLevels, noLevels));
    choicesLayout->addSpacing(6);
    auto *schoolsLabel = new QLabel(QStringLiteral("Schools"), choices);
    schoolsLabel->setBuddy(m_schools);
    choicesLayout->addWidget(schoolsLabel);
    choicesLayout->addWidget(m_schools, 1);
    choicesLayout->addLayout(pair(allSchools, noSchools));

    auto *filters = new QGroupBox(QStringLiteral("Filters"), tab);
    filters->setObjectName(QStringLiteral("Frame_Filters"));
    m_frequency = new QComboBox(filters);
    m_frequency->setObjectName(QStringLiteral("Cmbo_Frequency"));
    m_count = new QComboBox(filters);
    m_count->setObjectName(QStringLiteral("cmbo_Spells"));
    m_count->setEditable(true);
    m_count->setInsertPolicy(QComboBox::NoInsert);
    for (int count = 1; count <= 7; ++count)
        m_count->addItem(QString::number(count));
    m_count->setCurrentIndex(-1);
    connect(m_count, &QComboBox::editTextChanged, this, &Frm_Scrolls::cmbo_Spells_Change);
    auto *form = new QFormLayout(filters);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("Lowest Frequency"), m_frequency);
    form->addRow(QStringLiteral("Number of Spells"), m_count);

    auto *spells = new QGroupBox(QStringLiteral("Spells"), tab);
    spells->setObjectName(QStringLiteral("Frame_Generated"));
    m_generated = createLineList(QStringLiteral("LV_Spells"), spells);
    m_generated->setAccessibleName(QStringLiteral("Spells drawn"));
    m_generated->setAccessibleDescription(QStringLiteral("The spells drawn for the scroll"));
    (new QVBoxLayout(spells))->addWidget(m_generated);

    // The choices keep the width they need; the drawn scroll takes the rest.
    auto *choicesPanel = new QWidget(tab);
    auto *left = new QVBoxLayout(choicesPanel);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(choices, 1);
    left->addWidget(filters);
    choicesPanel->setFixedWidth(std::max(choices->sizeHint().width(), filters->sizeHint().width()) + 12);
    auto *layout = new QHBoxLayout(tab);
    layout->addWidget(choicesPanel);
    layout->addWidget(spells, 1);
    return tab;
}

QWidget *Frm_Scrolls::createPicker()
{
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Frame_Picker"));
    auto *spellLabel = new QLabel(QStringLiteral("Spell"), strip);
    spellLabel->setObjectName(QStringLiteral("lblSpell"));
    m_spell = new QComboBox(strip);
    m_spell->setObjectName(QStringLiteral("Cmbo_Spell"));
    // A whole library's names: measured by a fixed length rather than by every name, and shown
    // by a list that lays out each row alike.
    m_spellNames = new QStringListModel(m_spell);
    m_spell->setModel(m_spellNames);
    m_spell->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_spell->setMinimumContentsLength(28);
    auto *popup = new QListView(m_spell);
    popup->setUniformItemSizes(true);
    m_spell->setView(popup);
    spellLabel->setBuddy(m_spell);

    auto *findLabel = new QLabel(QStringLiteral("Find a Spell"), strip);
    findLabel->setObjectName(QStringLiteral("lblFind"));
    m_find = new QLineEdit(strip);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_find->setClearButtonEnabled(true);
    findLabel->setBuddy(m_find);
    connect(m_find, &QLineEdit::textChanged, this, &Frm_Scrolls::txtFind_Change);

    m_apply = button(QStringLiteral("Cmd_Apply"), QStringLiteral("&Apply"), strip);
    m_cancel = button(QStringLiteral("Cmd_Cancel"), QStringLiteral("&Cancel"), strip);
    connect(m_apply, &QPushButton::clicked, this, &Frm_Scrolls::Cmd_Apply_Click);
    connect(m_cancel, &QPushButton::clicked, this, &Frm_Scrolls::Cmd_Cancel_Click);

    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(spellLabel);
    layout->addWidget(m_spell, 3);
    layout->addSpacing(10);
    layout->addWidget(findLabel);
    layout->addWidget(m_find, 2);
    layout->addSpacing(16);
    layout->addWidget(m_apply);
    layout->addWidget(m_cancel);
    return strip;
}
