// The import window: a spells or spellbook file opened, its records listed and shown, and the
// window closed. Controls, review marks and commands are in Frm_Import_*.cpp.

#include "import/Frm_Import.h"

#include "exchange/VM_SpellSaver.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ChildDialog.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/FormControls.h"
#include "widgets/FormScrollArea.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/OpenWindows.h"
#include "widgets/Prompt.h"
#include "widgets/SpellForm.h"
#include "widgets/Workspace.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

Frm_Import::Frm_Import(QWidget *parent) : QWidget(parent), m_saver(std::make_unique<VM_SpellSaver>())
{
    setObjectName(QStringLiteral("Frm_Import"));
    setWindowTitle(caption());
    createControls();
}

Frm_Import::~Frm_Import() = default;

bool Frm_Import::Initialize(Workspace &workspace)
{
    m_workspace = &workspace;
    if (!Refresh_Lst_Schools())
        return false;
    // New schools in the library are offered at once; the review is not read again, since the
    // import stores school names as they stand.
    connect(&workspace.events(), &LibraryEvents::schoolsChanged, this, &Frm_Import::Refresh_Lst_Schools);
    // A spell added, changed, renamed or deleted elsewhere changes what an import would do; the
    // window's own import has already brought its review up to date.
    const auto followSpells = [this] {
        if (m_own.ours() || m_list->rowCount() == 0)
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
    return true;
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
    if (!m_unimported.isEmpty() &&
        !Prompt::ask(this,
                     QStringLiteral("Spells you updated in this file have not been imported. Open another "
                                    "file and lose those changes?")))
        return;
    const std::optional<QString> path =
        Prompt::openFile(this, QStringLiteral("Vellumar Files (*.spel;*.sbok)|*.spel;*.sbok"));
    if (path)
        openFile(*path);
}

bool Frm_Import::mayClose()
{
    // Closing loses the corrections as surely as opening another file does.
    return m_unimported.isEmpty() ||
           Prompt::ask(this,
                       QStringLiteral("Spells you updated in this file have not been imported. Close the "
                                      "window and lose those changes?"));
}

void Frm_Import::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Frm_Import::Menu_File_Exit_Click()
{
    ChildDialog::closeWindow(this);
}

void Frm_Import::openFile(const QString &path)
{
    const QString title = QFileInfo(path).fileName();
    QString failure;
    {
        BusyCursor busy;
        const QString shownBefore = m_panel2->text();
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
            if (!m_saver->Import_List_Replaced()) {
                // Nothing was read: the file shown, its caster and the caption stay.
                m_panel2->setText(shownBefore);
            } else {
                // What was read before a fault stays listed and can be imported. The review of
                // the records replaced goes at once: it may refer to them.
                m_review.clear();
                m_fileType = type;
                m_unimported.clear();
                m_list->rows()->clear();
                m_sort->forget();
                m_list->header()->setSortIndicatorShown(false);
                for (qsizetype i = 0; i < rows.size(); ++i)
                    rows[i].subItems = QStringList{rows[i].subItems.value(0), rows[i].subItems.value(1),
                                                   QString(), QString::number(i)};
                // A record the library could not list starts unchecked: it is corrected before it is
                // imported.
                const std::vector<VM_Spell> &records = m_saver->Import_List();
                for (qsizetype i = 0; i < rows.size() && i < qsizetype(records.size()); ++i)
                    rows[i].checked = VM_SpellSaver::importProblem(records[size_t(i)]).isEmpty();
                m_list->rows()->appendRows(rows);
                if (type == SpellsFile)
                    Show_Spells_Layout();
                else
                    Show_Spellbook_Layout();
                m_panel2->clear();
                setWindowTitle(caption() + QStringLiteral(" (") + path + QStringLiteral(")"));
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
    }
    if (!failure.isEmpty())
        Prompt::message(this, failure);
}

void Frm_Import::Show_Spells_Layout()
{
    m_spellbookMenu->menuAction()->setVisible(false);
    m_casterPanel->setVisible(false);
    // The room a spellbook file's caster took is given back.
    auto *subWindow = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (subWindow && m_spellsLayoutSize.isValid())
        subWindow->resize(m_spellsLayoutSize);
    m_spellsLayoutSize = QSize();
}

void Frm_Import::Show_Spellbook_Layout()
{
    m_spellbookMenu->menuAction()->setVisible(true);
    m_casterPanel->setVisible(true);
    const QStringList details = m_saver->Caster_Details();
    for (qsizetype i = 0; i < m_casterFields.size(); ++i)
        m_casterFields[i]->setText(details.value(i));
    // The window grows to make room for the caster, within the frame's area: grown where it
    // stands it could reach past the area's right or bottom edge, so it moves back in.
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(parentWidget())) {
        if (!m_spellsLayoutSize.isValid())
            m_spellsLayoutSize = subWindow->size();
        // The caster's room is asked for now, not when the form's layout is next redone.
        findChild<FormScrollArea *>()->updateGeometry();
        QSize wanted = subWindow->size().expandedTo(subWindow->sizeHint());
        if (const QMdiArea *area = subWindow->mdiArea())
            wanted = wanted.boundedTo(area->viewport()->size());
        subWindow->resize(wanted);
        OpenWindows::moveInside(subWindow);
    }
}

void Frm_Import::Clear_Spell_Details()
{
    m_form->clear();
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
    m_form->show(record);
    // Names the library does not know are shown too, marked as new, so Save keeps them.
    fillSchools(record.Fetch_Spell_Schools_Collection());
    m_schools->scrollToTop();
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

void Frm_Import::cbo_CT_Click()
{
    m_form->castingTimeTypeChosen();
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
