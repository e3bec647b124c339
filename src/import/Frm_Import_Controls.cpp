// The import window's controls and their layout: the list, the spell details with the review's
// marks, the caster panel of a spellbook file, and the lists they choose from.

#include "import/Frm_Import.h"

#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/FormControls.h"
#include "widgets/FormScrollArea.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/Prompt.h"
#include "widgets/SpellForm.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QStringList kCasterFieldNames = {
    QStringLiteral("txt_SB"),    QStringLiteral("Txt_Level"), QStringLiteral("Txt_Race"),
    QStringLiteral("Txt_Class"), QStringLiteral("txt_1"),     QStringLiteral("txt_2"),
    QStringLiteral("txt_3"),     QStringLiteral("txt_4"),     QStringLiteral("txt_5"),
    QStringLiteral("txt_6"),     QStringLiteral("txt_7"),     QStringLiteral("txt_8"),
    QStringLiteral("txt_9")};
const QStringList kCasterCaptions = {
    QStringLiteral("Spellbook:"), QStringLiteral("Level:"), QStringLiteral("Race:"), QStringLiteral("Class:"),
    QStringLiteral("1st:"),       QStringLiteral("2nd:"),   QStringLiteral("3rd:"),  QStringLiteral("4th:"),
    QStringLiteral("5th:"),       QStringLiteral("6th:"),   QStringLiteral("7th:"),  QStringLiteral("8th:"),
    QStringLiteral("9th:")};

// The details the window shows and corrects, in the order Tab reaches them. Name and frequency
// are the file's; the level can be corrected, for a file may hold one the library cannot list.
const QList<SpellFields::Field> kImportFormFields = {
    SpellFields::Level, SpellFields::Components, SpellFields::CastingTime,  SpellFields::CastingTimeType,
    SpellFields::Range, SpellFields::Duration,   SpellFields::AreaOfEffect, SpellFields::SavingThrow,
    SpellFields::Book,  SpellFields::Page,       SpellFields::Author,       SpellFields::Description};

// Rows of the schools list shown at most without scrolling; a spell's own schools come first.
constexpr int kSchoolRows = 12;
constexpr int kFewestSchoolRows = 5;

} // namespace

QString Frm_Import::casterCaption(qsizetype field)
{
    return kCasterCaptions.at(field);
}

void Frm_Import::createControls()
{
    m_menuBar = new QMenuBar(this);
    QMenu *file = m_menuBar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("Menu_File"));
    QAction *open = file->addAction(QStringLiteral("&Open"));
    open->setObjectName(QStringLiteral("Menu_File_Open"));
    connect(open, &QAction::triggered, this, &Frm_Import::Menu_File_Open_Click);
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("Menu_File_Exit"));
    connect(exit, &QAction::triggered, this, &Frm_Import::Menu_File_Exit_Click);

    m_spellbookMenu = m_menuBar->addMenu(QStringLiteral("&Spellbook Options"));
    m_spellbookMenu->setObjectName(QStringLiteral("Menu_Spellbook"));
    auto addOption = [this](const QString &name, const QString &caption) {
        QAction *option = m_spellbookMenu->addAction(caption);
        option->setObjectName(name);
        option->setCheckable(true);
        option->setChecked(true);
        return option;
    };
    m_replaceList = addOption(QStringLiteral("Menu_Spellbook_Replace"),
                              QStringLiteral("&Replace Existing Spellbook List"));
    m_replaceDetails = addOption(QStringLiteral("Menu_Spellbook_Replace_Details"),
                                 QStringLiteral("Replace Existing Spellbook &Details"));
    m_spellbookMenu->addSeparator();
    m_overwrite = addOption(QStringLiteral("Menu_Spellbook_Overwrite"),
                            QStringLiteral("&Overwrite Existing Spell Details"));

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("Menu_PopUp"));
    auto addPopupEntry = [this](const QString &name, const QString &caption, void (Frm_Import::*handler)()) {
        QAction *entry = m_popup->addAction(caption);
        entry->setObjectName(name);
        connect(entry, &QAction::triggered, this, handler);
    };
    addPopupEntry(QStringLiteral("PopUp_Check"), QStringLiteral("&Check All Spells"),
                  &Frm_Import::PopUp_Check_Click);
    m_popup->addSeparator();
    addPopupEntry(QStringLiteral("PopUp_UnCheck"), QStringLiteral("&Uncheck All Spells"),
                  &Frm_Import::PopUp_UnCheck_Click);
    m_popup->addSeparator();
    addPopupEntry(QStringLiteral("PopUp_CheckNew"), QStringLiteral("Check &New Only"),
                  &Frm_Import::PopUp_CheckNew_Click);
    addPopupEntry(QStringLiteral("PopUp_CheckNewChanged"), QStringLiteral("Check New and C&hanged"),
                  &Frm_Import::PopUp_CheckNewChanged_Click);

    m_toolbar = new ButtonToolBar(QStringLiteral("Toolbar1"), this);
    m_toolbar->addButton(QStringLiteral("Save"), QStringLiteral("Update Spell For Import"),
                         style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_toolbar->addButton(QStringLiteral("Import"), QStringLiteral("Import Checked Spells"),
                         ToolIcons::icon(ToolIcons::Import));
    connect(m_toolbar, &ButtonToolBar::buttonClicked, this, &Frm_Import::Toolbar1_ButtonClick);

    m_list = new ListView(QStringLiteral("LV_Spells"),
                          {QStringLiteral("Spell Name"), QStringLiteral("Level"), QStringLiteral("Caster"),
                           QStringLiteral("In library"), QStringLiteral("Record")},
                          this);
    m_list->rows()->setCheckBoxes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setColumnHidden(RecordColumn, true);
    m_list->setColumnWidth(NameColumn, 200);
    m_list->setColumnWidth(LevelColumn, 50);
    m_list->setColumnWidth(AuthorColumn, 110);
    // Every column, the review's too, shows without scrolling.
    m_list->setMinimumWidth(200 + 50 + 110 + 90 + 2 * m_list->frameWidth() + 20);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_sort = new ColumnSortToggle(m_list);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, [this] { showPosition(); });
    connect(m_list, &ListView::rowSelectionChanged, this, [this] {
        if (selectedRow() >= 0)
            Show_Spell_Details();
    });
    connect(m_list, &QWidget::customContextMenuRequested, this, &Frm_Import::LV_Spells_MouseUp);
    m_list->setAccessibleName(QStringLiteral("Spells to import"));
    m_list->setAccessibleDescription(QStringLiteral("The spells of the file; the ticked ones are imported"));

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("SB"));
    m_statusBar->setSizeGripEnabled(false);
    m_panel1 = new QLabel(m_statusBar);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setMinimumWidth(120);
    m_panel2 = new QLabel(m_statusBar);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    // Names from the file, shown as typed.
    m_panel1->setTextFormat(Qt::PlainText);
    m_panel2->setTextFormat(Qt::PlainText);
    m_statusBar->addWidget(m_panel1);
    m_statusBar->addWidget(m_panel2, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(createDetails(), 1);
    m_casterPanel = createCasterPanel();
    right->addWidget(m_casterPanel);

    // The list and the details scroll together when the window is made smaller than they need.
    auto *form = new QWidget(this);
    auto *body = new QHBoxLayout(form);
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(m_list, 3);
    body->addLayout(right, 2);

    // Tab goes down the list, then through the details as they read, then the caster.
    QList<QWidget *> chain = {m_list};
    for (SpellFields::Field field : kImportFormFields)
        chain.append(m_form->control(field));
    chain.append(m_schools);
    for (QLineEdit *field : std::as_const(m_casterFields))
        chain.append(field);
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_toolbar);
    layout->addWidget(new FormScrollArea(form, this), 1);
    layout->addWidget(m_statusBar);
    // Once placed: a control moved into the scroll area loses the focus it had.
    m_list->setFocus();
}

QWidget *Frm_Import::createDetails()
{
    auto *details = new QWidget(this);
    details->setObjectName(QStringLiteral("Frame_Details"));
    auto *grid = new QGridLayout(details);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    m_form = std::make_unique<SpellForm>(details, SpellForm::Window::Import, kImportFormFields);
    m_form->control(SpellFields::CastingTimeType)->setAccessibleName(QStringLiteral("Casting time unit"));
    connect(static_cast<QComboBox *>(m_form->control(SpellFields::CastingTimeType)), &QComboBox::activated,
            this, &Frm_Import::cbo_CT_Click);
    const auto place = [&](SpellFields::Field field, int row, int column, int span = 1) {
        grid->addWidget(m_form->label(field), row, column);
        grid->addWidget(m_form->control(field), row, column + 1, 1, span);
    };
    place(SpellFields::Level, 0, 0);
    place(SpellFields::Components, 0, 2, 2);
    place(SpellFields::CastingTime, 1, 0);
    grid->addWidget(m_form->control(SpellFields::CastingTimeType), 1, 2, 1, 3);
    place(SpellFields::Range, 2, 0);
    place(SpellFields::Duration, 2, 2, 2);
    place(SpellFields::AreaOfEffect, 3, 0);
    place(SpellFields::SavingThrow, 3, 2, 2);
    place(SpellFields::Book, 4, 0);
    place(SpellFields::Page, 4, 2, 2);
    place(SpellFields::Author, 5, 0, 4);
    grid->addWidget(m_form->label(SpellFields::Description), 6, 0, 1, 5);
    grid->addWidget(m_form->control(SpellFields::Description), 7, 0, 1, 5);

    m_schools = new QListWidget(details);
    m_schools->setObjectName(QStringLiteral("Lst_Schools"));
    m_schools->setAccessibleName(QStringLiteral("Schools"));
    m_schools->setAccessibleDescription(QStringLiteral("The schools of the spell chosen"));
    m_schools->setSelectionMode(QAbstractItemView::MultiSelection);
    m_schoolsLabel = new QLabel(QStringLiteral("Schools:"), details);
    m_schoolsLabel->setBuddy(m_schools);
    grid->addWidget(m_schoolsLabel, 8, 0, 1, 5);
    grid->addWidget(m_schools, 9, 0, 1, 5);

    m_changes = new QLabel(details);
    m_changes->setObjectName(QStringLiteral("lbl_Changes"));
    m_changes->setWordWrap(true);
    m_changes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_changes, 10, 0, 1, 5);

    // The left fields get the room the casting-time unit takes on the right.
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(7, 1);
    details->setMinimumWidth(440);
    return details;
}

QGroupBox *Frm_Import::createCasterPanel()
{
    auto *panel = new QGroupBox(QStringLiteral("Spellbook"), this);
    panel->setObjectName(QStringLiteral("fra_Spellbook"));
    auto *grid = new QGridLayout(panel);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    for (qsizetype i = 0; i < kCasterFieldNames.size(); ++i) {
        auto *field = new QLineEdit(panel);
        field->setObjectName(kCasterFieldNames.at(i));
        auto *label = new QLabel(kCasterCaptions.at(i), panel);
        label->setBuddy(field);
        // Name and level, then race and class, then the figures three to a row.
        const int row = i < 4 ? int(i / 2) : 2 + int(i - 4) / 3;
        const int column = i < 4 ? int(i % 2) * 2 : int((i - 4) % 3) * 2;
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1, 1, i < 4 && i % 2 == 1 ? 3 : 1);
        if (i >= 4)
            field->setMaximumWidth(60);
        m_casterFields.append(field);
    }
    grid->setColumnStretch(1, 1);
    return panel;
}

bool Frm_Import::Refresh_Lst_Schools()
{
    try {
        m_librarySchools = m_workspace->library().Fetch_Schools_List();
    } catch (const VmError &error) {
        m_librarySchools.clear();
        Prompt::report(this, error);
        return false;
    }
    fillSchools(chosenSchools());
    return true;
}

void Frm_Import::fillSchools(const QStringList &chosen)
{
    QStringList entries;
    QStringList unknown;
    for (const QString &school : chosen) {
        if (entries.contains(school) || unknown.contains(school))
            continue;
        (m_librarySchools.contains(school) ? entries : unknown).append(school);
    }
    for (const QString &school : std::as_const(m_librarySchools)) {
        if (!entries.contains(school))
            entries.append(school);
    }
    entries += unknown;
    FormControls::fillList(m_schools, entries, chosen);
    for (int row = 0; row < m_schools->count(); ++row) {
        QListWidgetItem *item = m_schools->item(row);
        item->setData(Qt::UserRole, item->text());
        if (!unknown.contains(item->text()))
            continue;
        item->setText(item->text() + QStringLiteral(" (new)"));
        item->setToolTip(QStringLiteral("Your library has no school of this name yet"));
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
    }
    const int rows = std::clamp(int(m_schools->count()), kFewestSchoolRows, kSchoolRows);
    const int rowHeight =
        m_schools->count() > 0 ? m_schools->sizeHintForRow(0) : m_schools->fontMetrics().height();
    m_schools->setFixedHeight(rows * rowHeight + 2 * m_schools->frameWidth() + 4);
}

QStringList Frm_Import::chosenSchools() const
{
    return FormControls::selectedTexts(m_schools, Qt::UserRole);
}
