#include "exchange/Frm_Import.h"

#include "exchange/ExchangeRules.h"
#include "exchange/VM_SpellSaver.h"
#include "shell/Prompt.h"
#include "store/Schema.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QSet>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Vellumar Import");

// The progress dialog is brought up to date, and asked about Cancel, once per this many spells.
constexpr int kProgressBatch = 250;

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

} // namespace

Frm_Import::Frm_Import(QWidget *parent) : QWidget(parent), m_saver(std::make_unique<VM_SpellSaver>())
{
    setObjectName(QStringLiteral("Frm_Import"));
    setWindowTitle(kCaption);
    createControls();
}

Frm_Import::~Frm_Import() = default;

void Frm_Import::Initialize(Workspace &workspace)
{
    m_workspace = &workspace;
    Refresh_Lst_Schools();
    Refresh_Lst_CastingTimeTypes();
    Refresh_Lst_Components();
    // New schools in the library are offered at once; the review is not read again, since the
    // import stores school names as they stand.
    connect(&workspace.events(), &LibraryEvents::schoolsChanged, this, [this] {
        const QStringList selected = [this] {
            QStringList names;
            for (const QListWidgetItem *item : m_schools->selectedItems())
                names.append(item->text());
            return names;
        }();
        Refresh_Lst_Schools();
        for (int i = 0; i < m_schools->count(); ++i)
            m_schools->item(i)->setSelected(selected.contains(m_schools->item(i)->text()));
    });
    // A spell added, changed, renamed or deleted elsewhere changes what an import would do; the
    // window's own import has already brought its review up to date.
    const auto followSpells = [this] {
        if (m_announcing || m_list->rowCount() == 0)
            return;
        readReview();
        const int row = selectedRow();
        if (row >= 0)
            showMarks(recordOfRow(row));
    };
    connect(&workspace.events(), &LibraryEvents::spellsChanged, this, followSpells);
    connect(&workspace.events(), &LibraryEvents::spellDeleted, this, followSpells);
    connect(&workspace.events(), &LibraryEvents::spellRenamed, this, followSpells);
    Show_Spells_Layout();
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

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("SB"));
    m_statusBar->setSizeGripEnabled(false);
    m_panel1 = new QLabel(m_statusBar);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setMinimumWidth(120);
    m_panel2 = new QLabel(m_statusBar);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_statusBar->addWidget(m_panel1);
    m_statusBar->addWidget(m_panel2, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(createDetails(), 1);
    m_casterPanel = createCasterPanel();
    right->addWidget(m_casterPanel);

    auto *body = new QHBoxLayout;
    body->addWidget(m_list, 3);
    body->addLayout(right, 2);

    // Tab goes down the list, then through the details as they read, then the caster.
    QList<QWidget *> chain = {m_list, m_components};
    for (ImportReview::Field field :
         {ImportReview::CastingTime, ImportReview::CastingTimeType, ImportReview::Range,
          ImportReview::Duration, ImportReview::AreaOfEffect, ImportReview::SavingThrow, ImportReview::Book,
          ImportReview::Page, ImportReview::Author, ImportReview::Description})
        chain.append(m_fieldWidgets.value(field));
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
    layout->addLayout(body, 1);
    layout->addWidget(m_statusBar);
}

QLineEdit *Frm_Import::addField(const QString &name)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(name);
    return field;
}

QWidget *Frm_Import::createDetails()
{
    auto *details = new QWidget(this);
    details->setObjectName(QStringLiteral("Frame_Details"));
    auto *grid = new QGridLayout(details);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    m_components = new QComboBox(details);
    m_components->setObjectName(QStringLiteral("cbo_Components"));
    m_castingTimeType = new QComboBox(details);
    m_castingTimeType->setObjectName(QStringLiteral("cbo_CT"));
    connect(m_castingTimeType, &QComboBox::activated, this, &Frm_Import::cbo_CT_Click);
    m_description = new QTextEdit(details);
    m_description->setObjectName(QStringLiteral("txt_Desc"));
    m_description->setAcceptRichText(false);
    m_description->setTabChangesFocus(true);

    auto place = [&](ImportReview::Field field, const QString &caption, QWidget *widget, int row, int column,
                     int span = 1) {
        auto *label = new QLabel(caption, details);
        label->setBuddy(widget);
        grid->addWidget(label, row, column);
        grid->addWidget(widget, row, column + 1, 1, span);
        m_fieldWidgets.insert(field, widget);
        m_fieldLabels.insert(field, label);
    };
    auto *castingTime = addField(QStringLiteral("txt_CT"));
    place(ImportReview::Components, QStringLiteral("Components:"), m_components, 0, 0);
    place(ImportReview::CastingTime, QStringLiteral("Casting Time:"), castingTime, 0, 2);
    grid->addWidget(m_castingTimeType, 0, 4);
    // The unit shares the casting time's label: marks for it go on that label too.
    m_fieldWidgets.insert(ImportReview::CastingTimeType, m_castingTimeType);
    m_fieldLabels.insert(ImportReview::CastingTimeType, m_fieldLabels.value(ImportReview::CastingTime));
    place(ImportReview::Range, QStringLiteral("Range:"), addField(QStringLiteral("txt_Range")), 1, 0);
    place(ImportReview::Duration, QStringLiteral("Duration:"), addField(QStringLiteral("txt_Duration")), 1, 2,
          2);
    place(ImportReview::AreaOfEffect, QStringLiteral("AoE:"), addField(QStringLiteral("txt_AOE")), 2, 0);
    place(ImportReview::SavingThrow, QStringLiteral("Saving Throw:"), addField(QStringLiteral("txt_ST")), 2,
          2, 2);
    place(ImportReview::Book, QStringLiteral("Book:"), addField(QStringLiteral("txt_Book")), 3, 0);
    place(ImportReview::Page, QStringLiteral("Page:"), addField(QStringLiteral("txt_Page")), 3, 2, 2);
    place(ImportReview::Author, QStringLiteral("Caster:"), addField(QStringLiteral("txt_Caster")), 4, 0, 4);

    auto *descriptionLabel = new QLabel(QStringLiteral("Description:"), details);
    descriptionLabel->setBuddy(m_description);
    grid->addWidget(descriptionLabel, 5, 0, 1, 5);
    grid->addWidget(m_description, 6, 0, 1, 5);
    m_fieldWidgets.insert(ImportReview::Description, m_description);
    m_fieldLabels.insert(ImportReview::Description, descriptionLabel);

    m_schools = new QListWidget(details);
    m_schools->setObjectName(QStringLiteral("Lst_Schools"));
    m_schools->setSelectionMode(QAbstractItemView::MultiSelection);
    auto *schoolsLabel = new QLabel(QStringLiteral("Schools:"), details);
    schoolsLabel->setBuddy(m_schools);
    grid->addWidget(schoolsLabel, 7, 0, 1, 5);
    grid->addWidget(m_schools, 8, 0, 1, 5);

    m_changes = new QLabel(details);
    m_changes->setObjectName(QStringLiteral("lbl_Changes"));
    m_changes->setWordWrap(true);
    m_changes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_changes, 9, 0, 1, 5);

    // The left fields get the room the casting-time unit takes on the right.
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(6, 1);
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

void Frm_Import::Refresh_Lst_Schools()
{
    m_schools->clear();
    try {
        m_schools->addItems(m_workspace->library().Fetch_Schools_List());
    } catch (const VmError &error) {
        Prompt::message(this, error.description.trimmed());
    }
}

void Frm_Import::Refresh_Lst_CastingTimeTypes()
{
    m_castingTimeType->clear();
    m_castingTimeType->addItems(castingTimeTypes());
    m_castingTimeType->setCurrentIndex(-1);
}

void Frm_Import::Refresh_Lst_Components()
{
    m_components->clear();
    m_components->addItems(componentSets());
    m_components->setCurrentIndex(-1);
}

Frm_Import::FileType Frm_Import::Get_File_Type(const QString &fileTitle)
{
    const qsizetype dot = fileTitle.indexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : fileTitle.mid(dot + 1).trimmed();
    if (extension == QLatin1String("spel"))
        return SpellsFile;
    if (extension == QLatin1String("sbok"))
        return SpellbookFile;
    return OtherFile;
}

void Frm_Import::Menu_File_Open_Click()
{
    // Corrections made with "Save" live only in this window until they are imported.
    if (m_unimportedEdits &&
        !Prompt::ask(this,
                     QStringLiteral("Spells you updated in this file have not been imported. Open another "
                                    "file and lose those changes?")))
        return;
    const std::optional<QString> path =
        Prompt::openFile(this, QStringLiteral("Vellumar Files (*.spel;*.sbok)|*.spel;*.sbok"));
    if (path)
        openFile(*path);
}

void Frm_Import::closeEvent(QCloseEvent *event)
{
    // Closing loses the corrections as surely as opening another file does.
    if (m_unimportedEdits &&
        !Prompt::ask(this, QStringLiteral("Spells you updated in this file have not been imported. Close the "
                                          "window and lose those changes?"))) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Frm_Import::Menu_File_Exit_Click()
{
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(parentWidget()))
        subWindow->close();
    else
        close();
}

void Frm_Import::openFile(const QString &path)
{
    const QString title = QFileInfo(path).fileName();
    QString failure;
    {
        BusyCursor busy;
        m_panel2->setText(QStringLiteral("Loading Spells from ") + title.trimmed() + QStringLiteral("..."));
        m_panel2->repaint();
        const FileType type = Get_File_Type(title);
        if (type == OtherFile) {
            failure = QStringLiteral("A file of an invalid type was requested to be opened");
        } else {
            ListRows rows;
            try {
                if (type == SpellsFile)
                    m_saver->OpenSpellFile2(rows, path);
                else
                    m_saver->OpenSpellbookFile2(rows, path);
            } catch (const VmError &error) {
                failure = error.description.trimmed();
            }
            // What was read before a fault stays listed and can be imported.
            m_fileType = type;
            m_unimportedEdits = false;
            m_list->rows()->clear();
            m_sort->forget();
            m_list->header()->setSortIndicatorShown(false);
            for (qsizetype i = 0; i < rows.size(); ++i)
                rows[i].subItems = QStringList{rows[i].subItems.value(0), rows[i].subItems.value(1),
                                               QString(), QString::number(i)};
            m_list->rows()->appendRows(rows);
            if (type == SpellsFile)
                Show_Spells_Layout();
            else
                Show_Spellbook_Layout();
            m_panel2->clear();
            setWindowTitle(kCaption + QStringLiteral(" (") + path + QStringLiteral(")"));
            readReview();
            if (m_list->rowCount() > 0) {
                m_list->selectOnly(0); // shows its details
            } else {
                Clear_Spell_Details();
                m_panel1->clear();
            }
            if (failure.isEmpty())
                m_panel2->setText(m_reviewSummary);
        }
    }
    if (!failure.isEmpty())
        Prompt::message(this, failure);
}

void Frm_Import::Show_Spells_Layout()
{
    m_schools->setFixedHeight(5 * m_schools->fontMetrics().height() + 8);
    m_spellbookMenu->menuAction()->setVisible(false);
    m_casterPanel->setVisible(false);
}

void Frm_Import::Show_Spellbook_Layout()
{
    m_schools->setFixedHeight(10 * m_schools->fontMetrics().height() + 8);
    m_spellbookMenu->menuAction()->setVisible(true);
    m_casterPanel->setVisible(true);
    const QStringList details = m_saver->Caster_Details();
    for (qsizetype i = 0; i < m_casterFields.size(); ++i)
        m_casterFields[i]->setText(details.value(i));
    // The window grows to make room for the caster, within the frame's area: grown where it
    // stands it could reach past the area's right or bottom edge, so it moves back in.
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(parentWidget())) {
        QSize wanted = subWindow->size().expandedTo(subWindow->sizeHint());
        QMdiArea *area = subWindow->mdiArea();
        if (area)
            wanted = wanted.boundedTo(area->viewport()->size());
        subWindow->resize(wanted);
        if (area) {
            const QSize room = area->viewport()->size() - wanted;
            subWindow->move(std::max(0, std::min(subWindow->x(), room.width())),
                            std::max(0, std::min(subWindow->y(), room.height())));
        }
    }
}

void Frm_Import::Clear_Spell_Details()
{
    m_components->setCurrentIndex(-1);
    m_castingTimeType->setCurrentIndex(-1);
    for (ImportReview::Field field :
         {ImportReview::Range, ImportReview::Duration, ImportReview::AreaOfEffect, ImportReview::CastingTime,
          ImportReview::SavingThrow, ImportReview::Book, ImportReview::Page, ImportReview::Author})
        static_cast<QLineEdit *>(m_fieldWidgets.value(field))->clear();
    m_fieldWidgets.value(ImportReview::CastingTime)->setEnabled(true);
    m_description->clear();
    m_schools->clearSelection();
    showMarks(-1);
}

int Frm_Import::selectedRow() const
{
    const QList<int> rows = m_list->selectedRowNumbers();
    return rows.isEmpty() ? -1 : rows.first();
}

qsizetype Frm_Import::recordOfRow(int row) const
{
    bool ok = false;
    const qsizetype record = m_list->text(row, RecordColumn).toLongLong(&ok);
    return ok ? record : -1;
}

void Frm_Import::Show_Spell_Details()
{
    const int row = selectedRow();
    const qsizetype index = row < 0 ? -1 : recordOfRow(row);
    const std::vector<VM_Spell> &records = m_saver->Import_List();
    if (index < 0 || index >= qsizetype(records.size()))
        return;
    BusyCursor busy;
    const VM_Spell &record = records[size_t(index)];
    Clear_Spell_Details();
    if (!record.Fetch_Spell_Components().isEmpty())
        m_components->setCurrentText(record.Fetch_Spell_Components());
    if (!record.Fetch_Spell_Casting_Time_Type().isEmpty())
        m_castingTimeType->setCurrentIndex(
            m_castingTimeType->findText(record.Fetch_Spell_Casting_Time_Type()));
    auto setText = [this](ImportReview::Field field, const QString &text) {
        auto *edit = static_cast<QLineEdit *>(m_fieldWidgets.value(field));
        edit->setText(text);
        edit->setCursorPosition(0); // a long value shows its beginning
    };
    setText(ImportReview::Range, record.Fetch_Spell_Range());
    setText(ImportReview::Duration, record.Fetch_Spell_Duration());
    setText(ImportReview::AreaOfEffect, record.Fetch_Spell_Area_of_Effect());
    setText(ImportReview::CastingTime, record.Fetch_Spell_Casting_Time());
    setText(ImportReview::SavingThrow, record.Fetch_Spell_Saving_Throw());
    setText(ImportReview::Book, record.Fetch_Spell_Book_Number());
    setText(ImportReview::Page, record.Fetch_Spell_Page_Number());
    setText(ImportReview::Author, record.Fetch_Spell_Author());
    m_description->setPlainText(record.Fetch_Spell_Description());
    const QStringList schools = record.Fetch_Spell_Schools_Collection();
    for (int i = 0; i < m_schools->count(); ++i) {
        QListWidgetItem *item = m_schools->item(i);
        if (schools.contains(item->text()))
            item->setSelected(true);
    }
    showMarks(index);

    m_panel2->setText(QStringLiteral("Displaying details for") + QStringLiteral(" ") +
                      record.Fetch_Spell_Name() +
                      (record.WasUpdated() ? QStringLiteral(" - UPDATED") : QString()));
    showPosition();
}

void Frm_Import::showPosition()
{
    const int row = selectedRow();
    if (m_list->rowCount() == 0 || row < 0)
        return;
    m_panel1->setText(QString::number(row + 1) + QStringLiteral(" of ") +
                      QString::number(m_list->rowCount()));
}

void Frm_Import::cbo_CT_Click(int index)
{
    QWidget *castingTime = m_fieldWidgets.value(ImportReview::CastingTime);
    const bool special = m_castingTimeType->itemText(index) == QLatin1String("Special");
    if (special)
        static_cast<QLineEdit *>(castingTime)->clear();
    castingTime->setEnabled(!special);
}

void Frm_Import::LV_Spells_MouseUp(const QPoint &position)
{
    m_popup->popup(m_list->viewport()->mapToGlobal(position));
}

void Frm_Import::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QLatin1String("Save"))
        saveItem();
    else if (key == QLatin1String("Import"))
        importChecked();
}

void Frm_Import::saveItem()
{
    const int row = selectedRow();
    if (m_list->rowCount() == 0 || row < 0)
        return;
    QStringList schools;
    for (int i = 0; i < m_schools->count(); ++i) {
        if (m_schools->item(i)->isSelected())
            schools.append(m_schools->item(i)->text());
    }
    if (schools.isEmpty()) {
        m_panel2->clear();
        Prompt::message(this, QStringLiteral("You must select at least one School"));
        return;
    }
    auto text = [this](ImportReview::Field field) {
        return static_cast<QLineEdit *>(m_fieldWidgets.value(field))->text();
    };
    // A correction no spells file could carry would be imported and then stop every export
    // that holds the spell: refused here, the text kept in its box.
    const std::pair<ImportReview::Field, QString> typedFields[] = {
        {ImportReview::Range, QStringLiteral("range")},
        {ImportReview::Duration, QStringLiteral("duration")},
        {ImportReview::AreaOfEffect, QStringLiteral("area of effect")},
        {ImportReview::CastingTime, QStringLiteral("casting time")},
        {ImportReview::SavingThrow, QStringLiteral("saving throw")},
        {ImportReview::Book, QStringLiteral("book")},
        {ImportReview::Page, QStringLiteral("page")},
        {ImportReview::Author, QStringLiteral("author")}};
    for (const auto &[field, caption] : typedFields) {
        const QString problem = ExchangeRules::fieldProblem(text(field));
        if (!problem.isEmpty()) {
            Prompt::message(this, ExchangeRules::refusal(caption, problem, QStringLiteral("spell")));
            m_fieldWidgets.value(field)->setFocus();
            return;
        }
    }
    if (const QString problem = ExchangeRules::descriptionProblem(m_description->toPlainText());
        !problem.isEmpty()) {
        Prompt::message(
            this, ExchangeRules::refusal(QStringLiteral("description"), problem, QStringLiteral("spell")));
        m_description->setFocus();
        return;
    }
    BusyCursor busy;
    SpellEdits edits;
    edits.components = m_components->currentIndex() < 0 ? QString() : m_components->currentText();
    edits.duration = text(ImportReview::Duration);
    edits.range = text(ImportReview::Range);
    edits.castingTime = text(ImportReview::CastingTime);
    edits.castingTimeType =
        m_castingTimeType->currentIndex() < 0 ? QString() : m_castingTimeType->currentText();
    edits.areaOfEffect = text(ImportReview::AreaOfEffect);
    edits.savingThrow = text(ImportReview::SavingThrow);
    edits.book = text(ImportReview::Book);
    edits.page = text(ImportReview::Page);
    edits.author = text(ImportReview::Author);
    edits.description = m_description->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    edits.schools = schools;
    const qsizetype record = recordOfRow(row);
    m_saver->SaveItem(record, edits);
    m_unimportedEdits = true;

    const VM_Spell &saved = m_saver->Import_List()[size_t(record)];
    m_list->rows()->setText(row, ReviewColumn, ImportReview::statusText(m_review.status(saved)));
    showMarks(record);
    m_panel2->setText(m_list->text(row) + QStringLiteral(" ") +
                      QStringLiteral("has been updated for Import"));
}

ListRows Frm_Import::rowsInRecordOrder() const
{
    ListRows rows(qsizetype(m_saver->Import_List().size()));
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const qsizetype record = recordOfRow(row);
        if (record >= 0 && record < rows.size())
            rows[record] = ListRow{m_list->text(row), {}, false, m_list->rows()->isChecked(row)};
    }
    return rows;
}

void Frm_Import::Store_Caster_Details()
{
    QStringList details;
    for (const QLineEdit *field : std::as_const(m_casterFields))
        details.append(field->text().trimmed());
    m_saver->Set_Caster_Details(details);
}

// A caster corrected here into something the exchange format cannot carry would be imported
// and then stop every export of the spellbook; the boxes keep what was typed.
bool Frm_Import::casterExportable()
{
    for (qsizetype i = 0; i < m_casterFields.size(); ++i) {
        const QString problem = ExchangeRules::fieldProblem(m_casterFields.at(i)->text().trimmed());
        if (problem.isEmpty())
            continue;
        QString field = kCasterCaptions.at(i).chopped(1).toLower(); // "race", "1st", ...
        if (i == 0)
            field = QStringLiteral("spellbook name");
        else if (i >= 4)
            field += QStringLiteral("-level figure");
        Prompt::message(this, ExchangeRules::refusal(field, problem, QStringLiteral("spellbook")));
        m_casterFields.at(i)->setFocus();
        return false;
    }
    return true;
}

void Frm_Import::importChecked()
{
    if (m_fileType == OtherFile || m_list->rowCount() == 0)
        return;
    if (m_fileType == SpellbookFile && !casterExportable())
        return;
    const ListRows rows = rowsInRecordOrder();
    const std::vector<VM_Spell> &records = m_saver->Import_List();

    // A record follows the check box of the first row of its name, as the import does.
    QHash<QString, bool> checked;
    for (const ListRow &row : rows) {
        if (!checked.contains(row.text))
            checked.insert(row.text, row.checked);
    }
    int total = 0;
    QSet<QString> replaced;
    const bool overwrites = m_fileType == SpellsFile || m_overwrite->isChecked();
    for (const VM_Spell &record : records) {
        if (!checked.value(record.Fetch_Spell_Name(), false))
            continue;
        ++total;
        if (overwrites && m_review.status(record) == ImportReview::Status::Changed)
            replaced.insert(record.Fetch_Spell_Name().trimmed());
    }
    if (!replaced.isEmpty() &&
        !Prompt::ask(this,
                     QStringLiteral("Import will replace the details of %1 spells in your library. Continue?")
                         .arg(replaced.size())))
        return;

    QString failure;
    int done = 0;
    bool cancelled = false;
    QString caster;
    {
        BusyCursor busy;
        QProgressDialog progress(QStringLiteral("Importing spells..."), QStringLiteral("Cancel"), 0, total,
                                 this);
        progress.setObjectName(QStringLiteral("ImportProgress"));
        progress.setWindowTitle(kCaption);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        progress.setAutoReset(false);
        progress.setValue(0);
        const VM_SpellSaver::ImportProgress report = [&](int count, int all) {
            done = count;
            if (count % kProgressBatch != 0 && count != all)
                return true;
            progress.setLabelText(QStringLiteral("%1 of %2 spells imported").arg(count).arg(all));
            progress.setValue(count); // once shown, lets the window repaint and Cancel be pressed
            // Before the dialog shows, the window still repaints; clicks wait for the import's end.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            cancelled = progress.wasCanceled() && count < all;
            return !cancelled;
        };
        try {
            if (m_fileType == SpellsFile) {
                m_panel2->setText(QStringLiteral("Importing Checked Spells..."));
                m_panel2->repaint();
                m_saver->ImportSpells(rows, report);
            } else {
                m_panel2->setText(QStringLiteral("Importing Spellbook..."));
                m_panel2->repaint();
                Store_Caster_Details();
                caster = m_saver->Caster_Details().value(0).trimmed();
                m_saver->ImportSpellbook(rows, m_replaceList->isChecked(), m_replaceDetails->isChecked(),
                                         m_overwrite->isChecked(), report);
            }
        } catch (const VmError &error) {
            failure = error.description.trimmed();
        }
    }

    // Whatever was written, also before a failure or Cancel, is shown everywhere.
    // A spellbook import that failed may still have written its caster or cleared its list.
    if (done > 0 || m_fileType == SpellbookFile) {
        {
            const QScopedValueRollback announcing(m_announcing, true);
            emit m_workspace->events().spellsChanged();
            if (m_fileType == SpellbookFile) {
                emit m_workspace->events().castersChanged();
                emit m_workspace->events().spellbookChanged(caster);
            }
        }
        if (failure.isEmpty()) {
            // The library now holds what was imported, so the review follows without reading it.
            int adopted = 0;
            for (const VM_Spell &record : records) {
                if (adopted == done)
                    break;
                if (!checked.value(record.Fetch_Spell_Name(), false))
                    continue;
                ++adopted;
                if (overwrites || !m_review.libraryVersion(record.Fetch_Spell_Name()))
                    m_review.adopt(record);
            }
            showReviewColumn();
        } else {
            readReview(); // where the import stopped is known to the library alone
        }
        const int row = selectedRow();
        if (row >= 0)
            showMarks(recordOfRow(row));
    }
    if (!failure.isEmpty()) {
        Prompt::message(this, failure);
        return;
    }
    if (cancelled) {
        const QString text =
            QStringLiteral("Import cancelled: %1 of %2 spells were imported.").arg(done).arg(total);
        m_panel2->setText(text);
        Prompt::message(this, text);
        return;
    }
    m_unimportedEdits = false;
    m_panel2->setText(m_fileType == SpellsFile ? QStringLiteral("Checked Spells Imported")
                                               : QStringLiteral("Spellbook Imported"));
}
