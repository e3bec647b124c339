// The search window's controls and their layout.

#include "maintain/Frm_Search.h"

#include "widgets/ButtonToolBar.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/FormScrollArea.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/ListView.h"
#include "widgets/ToolIcons.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

// The search window's controls and where they sit.

namespace {

constexpr QSize kSearchOpeningSize(760, 520);
constexpr int kSearchColumnWidths[] = {190, 44, 240, 80, 50, 40};

// The search fields by control name and label, in the order the frame shows them: two columns
// of four.
const std::pair<const char *, const char *> kFields[] = {
    {"Opt_Name", "Name"},         {"Opt_Desc", "Description"}, {"Opt_CT", "Casting Time"},
    {"Opt_Duration", "Duration"}, {"Opt_Range", "Range"},      {"Opt_AOE", "Area of Effect"},
    {"Opt_Author", "Author"},     {"Opt_ST", "Saving Throw"},
};

QRadioButton *option(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

Frm_Search::Frm_Search(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Search"));
    setWindowTitle(QStringLiteral("Search"));
    setWindowIcon(ToolIcons::icon(ToolIcons::Search));
    createControls();
}

QSize Frm_Search::sizeHint() const
{
    return kSearchOpeningSize.expandedTo(FormScrollArea::wholeSize(this));
}

void Frm_Search::createControls()
{
    m_toolbar = new ButtonToolBar(QStringLiteral("Toolbar1"), this);
    m_toolbar->addButton(QStringLiteral("View Spell"), QStringLiteral("View Spell"),
                         ToolIcons::icon(ToolIcons::ViewSpell));
    m_toolbar->addButton(QStringLiteral("Manage Spell"), QStringLiteral("Manage Spell"),
                         ToolIcons::icon(ToolIcons::ManageSpell));
    m_toolbar->addButton(QStringLiteral("Export Selected Spells"), QStringLiteral("Export Selected Spells"),
                         ToolIcons::icon(ToolIcons::ExportSelected));
    m_toolbar->addButton(QStringLiteral("Print Deck"), QStringLiteral("Print Deck\u2026"),
                         ToolIcons::icon(ToolIcons::Print));
    connect(m_toolbar, &ButtonToolBar::buttonClicked, this, &Frm_Search::Toolbar1_ButtonClick);

    auto *textFrame = new QGroupBox(QStringLiteral("Search Text"), this);
    m_text = new QLineEdit(textFrame);
    m_text->setObjectName(QStringLiteral("Txt_Search"));
    m_text->setClearButtonEnabled(true);
    m_text->setAccessibleName(QStringLiteral("Search text"));
    (new QVBoxLayout(textFrame))->addWidget(m_text);
    connect(m_text, &QLineEdit::returnPressed, this, &Frm_Search::Cmd_Search_Click);

    auto *scopeFrame = new QGroupBox(QStringLiteral("Search Scope"), this);
    m_scope = new QComboBox(scopeFrame);
    m_scope->setObjectName(QStringLiteral("Cmb_Type"));
    m_scope->setAccessibleName(QStringLiteral("Search scope"));
    m_scope->setMinimumContentsLength(16);
    m_scope->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    (new QVBoxLayout(scopeFrame))->addWidget(m_scope);

    auto *fieldFrame = new QGroupBox(QStringLiteral("Search Field"), this);
    auto *fieldGrid = new QGridLayout(fieldFrame);
    int index = 0;
    for (const auto &[name, label] : kFields) {
        QRadioButton *field = option(name, QLatin1String(label), fieldFrame);
        fieldGrid->addWidget(field, index / 2, index % 2);
        m_fields.append(field);
        ++index;
    }
    m_fields.constFirst()->setChecked(true);

    auto *parameterFrame = new QGroupBox(QStringLiteral("Search Parameter"), this);
    auto *parameterColumn = new QVBoxLayout(parameterFrame);
    m_any = option("optAny", QStringLiteral("Any Instance"), parameterFrame);
    m_starts = option("optStart", QStringLiteral("Starts with"), parameterFrame);
    m_any->setChecked(true);
    parameterColumn->addWidget(m_any);
    parameterColumn->addWidget(m_starts);
    parameterColumn->addStretch(1);

    m_search = new QPushButton(QStringLiteral("&Search"), this);
    m_search->setObjectName(QStringLiteral("Cmd_Search"));
    m_search->setAutoDefault(false);
    connect(m_search, &QPushButton::clicked, this, &Frm_Search::Cmd_Search_Click);

    m_list = new ListView(QStringLiteral("LV_Search"),
                          {QStringLiteral("Spell Name"), QStringLiteral("Level"), QStringLiteral("Schools"),
                           QStringLiteral("Frequency"), QStringLiteral("Book"), QStringLiteral("Page")},
                          this);
    m_list->header()->setMinimumSectionSize(24);
    for (int column = 0; column < 6; ++column)
        m_list->setColumnWidth(column, kSearchColumnWidths[column]);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_sort = new ColumnSortToggle(m_list);
    connect(m_list, &ListView::rowSelectionChanged, this, &Frm_Search::LV_Search_Click);
    connect(m_list, &ListView::rowDoubleClicked, this, &Frm_Search::LV_Search_DblClick);
    connect(m_list, &QWidget::customContextMenuRequested, this, &Frm_Search::LV_Search_MouseDown);
    m_list->setAccessibleName(QStringLiteral("Spells found"));
    m_list->setAccessibleDescription(QStringLiteral("The spells that match the search"));

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    m_panels = new ListStatusPanels(m_statusBar, this);
    m_panels->showCounts(0, 0);

    auto *top = new QHBoxLayout;
    top->addWidget(textFrame, 3);
    top->addWidget(scopeFrame, 2);
    auto *middle = new QHBoxLayout;
    middle->addWidget(fieldFrame, 3);
    middle->addWidget(parameterFrame, 1);
    auto *buttonColumn = new QVBoxLayout;
    buttonColumn->addStretch(1);
    buttonColumn->addWidget(m_search);
    middle->addLayout(buttonColumn);

    // Between the tool bar and the status bar the search form and its list scroll when the
    // window is made smaller than they need.
    auto *form = new QWidget(this);
    auto *body = new QVBoxLayout(form);
    body->setContentsMargins(6, 4, 6, 0);
    body->addLayout(top);
    body->addLayout(middle);
    body->addWidget(m_list, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_toolbar);
    layout->addWidget(new FormScrollArea(form, this), 1);
    layout->addWidget(m_statusBar);
    // Once placed: a control moved into the scroll area loses the focus it had.
    m_text->setFocus();
}
