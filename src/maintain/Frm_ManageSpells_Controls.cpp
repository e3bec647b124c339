// The manage-spells window's controls and their layout.

#include "maintain/Frm_ManageSpells.h"

#include "widgets/ButtonToolBar.h"
#include "widgets/FormScrollArea.h"
#include "widgets/SpellForm.h"
#include "widgets/ToolIcons.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QStringListModel>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

// The window's controls and where they sit.

namespace {

constexpr QSize kManageSpellsOpeningSize(880, 470);

QComboBox *dropDown(QWidget *parent, const QString &name)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(false);
    // The short lists are never squeezed below their longest entry.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QLineEdit *textBox(QWidget *parent, const QString &name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QLabel *label(const QString &caption, QWidget *buddy)
{
    auto *shown = new QLabel(caption, buddy->parentWidget());
    shown->setBuddy(buddy);
    shown->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return shown;
}

// The details in the order they are filled in and checked: down the first column, then the second,
// then the description.
const QList<SpellFields::Field> kFormFields = {
    SpellFields::Level,           SpellFields::Frequency, SpellFields::Components,   SpellFields::CastingTime,
    SpellFields::CastingTimeType, SpellFields::Duration,  SpellFields::AreaOfEffect, SpellFields::Range,
    SpellFields::SavingThrow,     SpellFields::Author,    SpellFields::Book,         SpellFields::Page,
    SpellFields::Description};

QListWidget *listBox(QWidget *parent, const QString &name)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setTextElideMode(Qt::ElideRight);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setMinimumWidth(160);
    return list;
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QWidget *content)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(content);
    return box;
}

} // namespace

QSize Frm_ManageSpells::sizeHint() const
{
    // Never so small that the form would open scrolled.
    return kManageSpellsOpeningSize.expandedTo(FormScrollArea::wholeSize(this));
}

void Frm_ManageSpells::createControls()
{
    m_toolbar = new ButtonToolBar(QStringLiteral("Toolbar1"), this);
    // Three commands, named beside their pictures.
    const QList<QToolButton *> buttons = {
        m_toolbar->addButton(QStringLiteral("Add"), QStringLiteral("Add New Spell"),
                             ToolIcons::icon(ToolIcons::AddSpell)),
        m_toolbar->addButton(QStringLiteral("Save"), QStringLiteral("Save"),
                             ToolIcons::icon(ToolIcons::SaveSpell)),
        m_toolbar->addButton(QStringLiteral("Delete"), QStringLiteral("Delete"),
                             ToolIcons::icon(ToolIcons::DeleteSpell))};
    for (QToolButton *button : buttons)
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(m_toolbar, &ButtonToolBar::buttonClicked, this, &Frm_ManageSpells::Toolbar1_ButtonClick);

    // The library: the picker and the find box.
    auto *library = new QGroupBox(QStringLiteral("Library"), this);
    library->setObjectName(QStringLiteral("Frame_Library"));
    m_picker = dropDown(library, QStringLiteral("cmbo_Spells"));
    // The picker holds the whole library: its size and its drop-down never walk the names.
    m_picker->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_picker->setMinimumContentsLength(28);
    m_picker->setMaxVisibleItems(20);
    auto *pickerView = new QListView(m_picker);
    pickerView->setUniformItemSizes(true);
    m_picker->setView(pickerView);
    m_pickerModel = new QStringListModel(this);
    m_picker->setModel(m_pickerModel);
    m_find = textBox(library, QStringLiteral("txtFind"));
    auto *libraryGrid = new QGridLayout(library);
    libraryGrid->addWidget(label(QStringLiteral("Choose a Spell"), m_picker), 0, 0);
    libraryGrid->addWidget(m_picker, 0, 1);
    libraryGrid->addWidget(label(QStringLiteral("Find a Spell"), m_find), 1, 0);
    libraryGrid->addWidget(m_find, 1, 1);
    libraryGrid->setColumnStretch(1, 1);
    connect(m_picker, &QComboBox::currentIndexChanged, this, &Frm_ManageSpells::cmbo_Spells_Click);
    connect(m_find, &QLineEdit::textChanged, this, &Frm_ManageSpells::txtFind_Change);

    auto *newSpell = new QGroupBox(QStringLiteral("New Spell"), this);
    newSpell->setObjectName(QStringLiteral("Frame_New"));
    m_name = textBox(newSpell, QStringLiteral("Txt_New"));
    auto *nameGrid = new QGridLayout(newSpell);
    nameGrid->addWidget(label(QStringLiteral("Name"), m_name), 0, 0);
    nameGrid->addWidget(m_name, 0, 1);
    nameGrid->setColumnStretch(1, 1);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(createDetails(), QStringLiteral("Details"));
    m_form->control(SpellFields::Description)->setAccessibleName(QStringLiteral("Description"));
    m_tabs->addTab(m_form->control(SpellFields::Description), QStringLiteral("Description"));

    m_schools = listBox(this, QStringLiteral("Lst_Schools"));
    m_spellbooks = listBox(this, QStringLiteral("Lst_Spellbooks"));
    m_schools->setAccessibleName(QStringLiteral("Schools"));
    m_schools->setAccessibleDescription(QStringLiteral("The schools of the spell"));
    m_spellbooks->setAccessibleName(QStringLiteral("Spellbooks"));
    m_spellbooks->setAccessibleDescription(QStringLiteral("The spellbooks that hold the spell"));

    auto *left = new QVBoxLayout;
    left->addWidget(library);
    left->addWidget(newSpell);
    left->addWidget(m_tabs, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addWidget(frame(this, QStringLiteral("Frame_Schools"), QStringLiteral("Schools"), m_schools), 1);
    body->addWidget(
        frame(this, QStringLiteral("Frame_Spellbooks"), QStringLiteral("Spellbooks"), m_spellbooks), 1);
    // Below the tool bar the form scrolls when the window is made smaller than it needs.
    auto *form = new QWidget(this);
    auto *margins = new QVBoxLayout(form);
    margins->setContentsMargins(8, 0, 8, 8);
    margins->addLayout(body);
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(4);
    window->addWidget(m_toolbar);
    window->addWidget(new FormScrollArea(form, this), 1);

    // Top to bottom, left to right, as the user fills a spell in.
    setTabOrder(m_picker, m_find);
    setTabOrder(m_find, m_name);
    setTabOrder(m_name, m_tabs);
    m_picker->setFocus();
}

QWidget *Frm_ManageSpells::createDetails()
{
    auto *details = new QWidget(m_tabs);
    details->setObjectName(QStringLiteral("Tab_Details"));
    m_form = std::make_unique<SpellForm>(details, SpellForm::Window::ManageSpells, kFormFields);
    const auto field = [this](SpellFields::Field field) { return m_form->control(field); };
    m_levels = static_cast<QComboBox *>(field(SpellFields::Level));
    m_castingType = static_cast<QComboBox *>(field(SpellFields::CastingTimeType));
    for (SpellFields::Field shown : kFormFields) {
        // The short lists are never squeezed below their longest entry.
        if (auto *combo = qobject_cast<QComboBox *>(field(shown)))
            combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        if (QLabel *caption = m_form->label(shown))
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    QWidget *castingTimeBox = field(SpellFields::CastingTime);
    castingTimeBox->setMinimumWidth(44);
    castingTimeBox->setMaximumWidth(60);
    // Beside the amount it would be squeezed: room for "Segment(s)".
    m_castingType->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_castingType->setMinimumContentsLength(9);
    m_castingType->setAccessibleName(QStringLiteral("Casting time unit"));
    connect(m_castingType, &QComboBox::currentIndexChanged, this, &Frm_ManageSpells::cbo_Type_Click);

    // Two columns of label and field; casting time is an amount beside its unit.
    auto *castingTime = new QHBoxLayout;
    castingTime->setSpacing(4);
    castingTime->addWidget(castingTimeBox);
    castingTime->addWidget(m_castingType, 1);
    auto *grid = new QGridLayout(details);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    const auto place = [&](int row, int column, SpellFields::Field shown) {
        grid->addWidget(m_form->label(shown), row, column * 2);
        grid->addWidget(field(shown), row, column * 2 + 1);
    };
    place(0, 0, SpellFields::Level);
    place(1, 0, SpellFields::Frequency);
    place(2, 0, SpellFields::Components);
    grid->addWidget(m_form->label(SpellFields::CastingTime), 3, 0);
    grid->addLayout(castingTime, 3, 1);
    place(4, 0, SpellFields::Duration);
    place(5, 0, SpellFields::AreaOfEffect);
    place(0, 1, SpellFields::Range);
    place(1, 1, SpellFields::SavingThrow);
    place(2, 1, SpellFields::Author);
    place(3, 1, SpellFields::Book);
    place(4, 1, SpellFields::Page);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);

    // Down the first column, then the second.
    for (qsizetype i = 1; i + 1 < kFormFields.size(); ++i)
        setTabOrder(field(kFormFields.at(i - 1)), field(kFormFields.at(i)));
    return details;
}
