// The spellbook browser: its lists of levels, schools and spells, the queries behind them, and
// how it follows changes to the library. Controls, capacity and printing are in Frm_Browser_*.cpp.

#include "browse/Frm_Browser.h"

#include "browse/Frm_FillSpellbook.h"
#include "browse/LevelCountDelegate.h"
#include "browse/SpellDrag.h"
#include "browse/SpellExport.h"
#include "browse/VM_DragDropAssistant.h"
#include "exchange/VM_SpellSaver.h"
#include "store/Blanks.h"
#include "store/Names.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/Constants.h"
#include "widgets/FormControls.h"
#include "widgets/LevelGrid.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

#include <QHash>
#include <QListWidget>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSet>
#include <QToolButton>

namespace {

// Offered beside the exchange files: the file name's extension picks what is written.
const QString kReadableFilters = QStringLiteral("Markdown (*.md)|*.md|JSON (*.json)|*.json");

} // namespace

bool Frm_Browser::isLibrary() const
{
    return m_name == kReservedSpellbook;
}

bool Frm_Browser::Initialize(Workspace &workspace, const QString &spellbook)
{
    m_workspace = &workspace;
    m_library = &workspace.library();
    m_assistant = &workspace.dragDropAssistant();
    m_name = trimBlanks(spellbook);
    setWindowTitle(kCaptionPrefix + m_name);

    // Each command works exactly when the frame's entry for the window it needs does.
    m_toolbar->followCommand(QStringLiteral("Manage Spell"),
                             workspace.menuEntry(QStringLiteral("Main_Tools_Spells")));
    m_toolbar->followCommand(QStringLiteral("Unlearned Spells"),
                             workspace.menuEntry(QStringLiteral("Main_Tools_Unlearned")));
    m_toolbar->followCommand(QStringLiteral("Memorized Spells"),
                             workspace.menuEntry(QStringLiteral("Main_Tools_Memorized")));
    followLibrary(workspace.events());
    m_list->setDragSource([this] { return LV_Spells_OLEStartDrag(); },
                          [this] { LV_Spells_OLECompleteDrag(); });
    m_list->setDropTarget([this] { LV_Spells_OLEDragDrop(); });

    if (isLibrary()) {
        m_list->setDropsAccepted(false);
        for (const QString &key :
             {QStringLiteral("Print Spellbook"), QStringLiteral("Export Spellbook"),
              QStringLiteral("Unlearned Spells"), QStringLiteral("Fill Spellbook"),
              QStringLiteral("Memorized Spells"), QStringLiteral("Divider1"), QStringLiteral("Divider2")})
            m_toolbar->setItemVisible(key, false);
    }
    m_list->setToolTip(listTooltip());

    try {
        m_library->Create_Spell_List_Array(m_name);
        Load_Spell_List();
        Load_Schools_List();
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return false;
    }
    Schools_List_Select_All();
    Levels_List_Select_All();
    return true;
}

void Frm_Browser::Load_Spell_List()
{
    // Read where they are used. The list shares the spells table's texts with the library: once
    // the library's next query replaces its tables, the list holds the old ones alone, so a large
    // library's list is never held twice.
    const OptionalTable spells = m_library->Fetch_Spells_Array();
    const OptionalTable schools = m_library->Fetch_Schools_Array();

    if (!spells) {
        showQueriedRows(m_list, QList<QString>(), m_sort, m_panels);
    } else {
        // The list shows the library's own table of spells, shared rather than copied, with a
        // column of schools beside it. Each spell gets its own schools, found by its name, in
        // the order the table lists them. The schools come in the spells' order, a spell's rows
        // one after the other: each run is joined once and found just after the spell found
        // before; only a name not found there (school rows of no listed spell) is looked up in
        // an index of the list. Spells without a school are listed too, even when none of them
        // has one. Many spells share the same schools: they share one text of them too.
        QList<QString> schoolsColumn(spells->rows());
        QSet<QString> joinedTexts;
        QHash<QString, int> firstRowOf;
        int spell = 0;
        const auto rowOf = [&](const QString &name) {
            constexpr int kLookAhead = 8;
            for (int next = spell; next < spells->rows() && next < spell + kLookAhead; ++next) {
                if (spells->at(0, next) == name)
                    return next;
            }
            if (firstRowOf.isEmpty()) {
                firstRowOf.reserve(spells->rows());
                for (int row = spells->rows() - 1; row >= 0; --row)
                    firstRowOf.insert(spells->at(0, row), row);
            }
            return firstRowOf.value(name, -1);
        };
        // Each run is joined in one buffer, kept from run to run: a text already seen costs no
        // allocation, only a look-up.
        QString text;
        text.reserve(128);
        const auto shared = [&joinedTexts](const QString &joined) {
            const auto found = joinedTexts.constFind(joined);
            return found != joinedTexts.cend()
                       ? *found
                       : *joinedTexts.insert(QString(joined.constData(), joined.size()));
        };
        for (int row = 0; schools && row < schools->rows();) {
            const QString &name = schools->at(0, row);
            text.resize(0);
            text.append(QStringView(schools->at(1, row)));
            for (++row; row < schools->rows() && schools->at(0, row) == name; ++row) {
                text.append(QLatin1String(", "));
                text.append(QStringView(schools->at(1, row)));
            }
            const int first = rowOf(name);
            if (first < 0)
                continue;
            spell = first;
            // A name listed twice shows the same schools on both rows.
            for (int same = first; same < spells->rows() && spells->at(0, same) == name; ++same) {
                QString &joined = schoolsColumn[same];
                joined = shared(joined.isEmpty() ? text : joined + QStringLiteral(", ") + text);
            }
        }
        // Name, level, schools, frequency, book, page.
        showQueriedRows(
            m_list,
            {ListViewModel::CellBlock{*spells}, ListViewModel::CellBlock{std::move(schoolsColumn), 1}},
            {{0, 0}, {0, 1}, {1, 0}, {0, 2}, {0, 3}, {0, 4}}, m_sort, m_panels);
    }
    setWindowTitle(kCaptionPrefix + m_name);
    showLevelCounts();
}

void Frm_Browser::Load_Schools_List()
{
    const QStringList schools = m_library->Fetch_Schools_List();
    m_schoolsList->hide();
    m_schoolsList->clear();
    for (const QString &school : schools)
        FormControls::addEntry(m_schoolsList, school);
    m_schoolsList->show();
}

void Frm_Browser::Schools_List_Select_All()
{
    m_schoolsList->selectAll();
}

void Frm_Browser::Schools_List_DeSelect_All()
{
    m_schoolsList->clearSelection();
}

void Frm_Browser::Levels_List_Select_All()
{
    m_levels->selectAll();
}

void Frm_Browser::Levels_List_DeSelect_All()
{
    m_levels->clearSelection();
}

void Frm_Browser::Opt_Levels_All_Click()
{
    Levels_List_Select_All();
}

void Frm_Browser::Opt_Levels_None_Click()
{
    Levels_List_DeSelect_All();
}

void Frm_Browser::Opt_Schools_All_Click()
{
    Schools_List_Select_All();
}

void Frm_Browser::Opt_Schools_None_Click()
{
    Schools_List_DeSelect_All();
}

void Frm_Browser::Requery()
{
    BusyCursor busy;
    const QStringList levels = LevelGrid::chosenLevels(m_levels);
    const QStringList schools = FormControls::selectedTexts(m_schoolsList);
    // The counts cover the whole book, so they follow a change even when the filters let
    // nothing through.
    if (levels.isEmpty() || schools.isEmpty())
        showLevelCounts();
    if (levels.isEmpty()) {
        Prompt::message(this, QStringLiteral("You must select at least 1 level"));
        return;
    }
    if (schools.isEmpty()) {
        Prompt::message(this, QStringLiteral("You must select at least 1 School"));
        return;
    }
    const QString status = m_library->Requery(levels, schools, m_name);
    if (Prompt::failed(this, status)) {
        return;
    }
    Load_Spell_List();
}

void Frm_Browser::LV_Spells_Click()
{
    m_panels->showSelected(selectedCount(m_list));
}

void Frm_Browser::LV_Spells_ColumnClick(int column)
{
    m_sort->sortBy(column);
}

void Frm_Browser::LV_Spells_GotFocus()
{
    Constants::Active_Browser_Name = m_name;
}

void Frm_Browser::LV_Spells_MouseDown(const QPoint &position)
{
    Constants::Active_Browser_Name = m_name;
    m_workspace->menuEntry(QStringLiteral("Private_Browser_Remove"))->setEnabled(!isLibrary());
    m_workspace->menu(QStringLiteral("Private_Menu_Browser"))
        ->popup(m_list->viewport()->mapToGlobal(position));
}

void Frm_Browser::LV_Spells_DblClick()
{
    B_Menu_View_Click();
}

void Frm_Browser::B_Menu_View_Click()
{
    const int row = firstSelectedRow(m_list);
    if (row < 0 || m_list->text(row).isEmpty())
        return;
    m_workspace->viewSpell(m_list->text(row), this);
}

void Frm_Browser::B_Menu_Manage_Click()
{
    const int row = firstSelectedRow(m_list);
    if (row < 0 || m_list->text(row).isEmpty())
        return;
    m_workspace->manageSpell(m_list->text(row), this);
}

void Frm_Browser::B_Menu_Export_Click()
{
    if (m_list->rowCount() == 0) {
        Prompt::message(this, QStringLiteral("There are no spells in this Spellbook to export"));
        return;
    }
    // Asked before the file name, not after it.
    const QList<int> selected = m_list->selectedRowNumbers();
    if (selected.isEmpty()) {
        Prompt::message(this, QStringLiteral("There are no spells selected"));
        return;
    }
    exportSpellFile(
        this, m_workspace->progressPanel(), QStringLiteral("Spell Files (*.spel)|*.spel|") + kReadableFilters,
        QStringLiteral("Saving "), selected.size() == 1 ? m_list->text(selected.constFirst()) : m_name,
        [this](VM_SpellSaver &saver, const QString &title, const QString &path) {
            saver.Save2(title, path, selectedRowsOf(m_list));
        });
}

void Frm_Browser::exportSpellbook(const QString &mode)
{
    if (isLibrary()) {
        Prompt::message(this, QStringLiteral("Can not Export KXR Spellbook"));
        return;
    }
    if (m_list->rowCount() == 0) {
        Prompt::message(this, QStringLiteral("You can not Export an empty Spellbook."));
        return;
    }
    exportSpellFile(
        this, m_workspace->progressPanel(), QStringLiteral("Spellbooks (*.sbok)|*.sbok|") + kReadableFilters,
        mode == QStringLiteral("Full") ? QStringLiteral("Saving ") : QStringLiteral("Saving Filtered "),
        m_name, [this, &mode](VM_SpellSaver &saver, const QString &title, const QString &path) {
            saver.SaveSpellbook2(title, path, rowsOf(m_list), m_name, mode);
        });
}

bool Frm_Browser::LV_Spells_OLEStartDrag()
{
    return m_assistant && packDraggedSpells(*m_assistant, m_list, m_name, this);
}

void Frm_Browser::LV_Spells_OLECompleteDrag()
{
    if (m_assistant)
        m_assistant->Reset_Drag();
}

void Frm_Browser::LV_Spells_OLEDragDrop()
{
    // The core library takes no drops, and spells dropped back where they came from stay put.
    if (isLibrary() || !m_assistant || m_assistant->Drag_Source() == m_name || !m_assistant->Validate_Drop())
        return;
    if (!acceptOverCapacity(m_assistant->Dragged_Spells())) {
        m_assistant->Reset_Drag();
        return;
    }
    BusyCursor busy;
    const QString status = m_assistant->Unpack_To_Button(m_name);
    const int added = m_assistant->NumberAdded();
    if (Prompt::failed(this, status)) {
        // Spells that were still in the library went in all the same.
        if (added == 0)
            return;
    }
    Requery();
    m_panels->showTransient(QString::number(added) + QStringLiteral(" spells added"));
    // Other windows of this caster, and the spell editor's spellbooks, follow.
    announceOwnBook();
}

void Frm_Browser::B_Menu_Remove_Click()
{
    if (isLibrary()) {
        Prompt::message(this, QStringLiteral("Can not remove spells from KXR"));
        return;
    }
    const QList<int> selected = m_list->selectedRowNumbers();
    if (selected.isEmpty())
        return;
    if (!Prompt::ask(this, QStringLiteral("Are you sure you want to remove all of the highlighted\n"
                                          "spells from this Spellbook?")))
        return;

    BusyCursor busy;
    QStringList names;
    for (const int row : selected)
        names.append(m_list->text(row));
    const QString status = m_library->Remove_Spells_From_Spellbook(names, m_name);
    if (Prompt::failed(this, status)) {
        return;
    }
    {
        // A spell the spellbook held twice leaves the library with both rows: so does the list.
        const QSet<QString> removed(names.cbegin(), names.cend());
        QList<int> gone;
        for (int row = 0; row < m_list->rowCount(); ++row) {
            if (removed.contains(m_list->text(row)))
                gone.append(row);
        }
        const QSignalBlocker quiet(m_list);
        m_list->rows()->removeRowNumbers(gone);
        // The row that took the place of the first one removed is the one selected.
        if (m_list->rowCount() > 0)
            m_list->selectOnly(std::min(selected.constFirst(), m_list->rowCount() - 1));
    }
    const int listed = m_list->rowCount();
    m_panels->showCounts(listed, listed > 0 ? 1 : 0);
    m_panels->showTransient(QString::number(names.size()) + QStringLiteral(" Spell(s) Removed"));
    showLevelCounts();
    // Other windows of this caster follow; this list is already as it should be.
    announceOwnBook();
}

void Frm_Browser::B_Menu_Tooltip_Click()
{
    const bool wasOn = m_workspace->menuEntry(QStringLiteral("Private_Browser_Tooltip"))->isChecked();
    Constants::Browser_Tooltip_Text = wasOn ? QString() : Constants::browserTooltip();
    m_list->setToolTip(listTooltip());
}

QString Frm_Browser::listTooltip() const
{
    // KXR takes no drops: its tip says what it is good for instead.
    if (Constants::Browser_Tooltip_Text.isEmpty() || !isLibrary())
        return Constants::Browser_Tooltip_Text;
    return QStringLiteral("KXR is the whole library: drag spells from here onto a Spellbook, the failed "
                          "spells or a scroll");
}

void Frm_Browser::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QStringLiteral("View Spell")) {
        B_Menu_View_Click();
    } else if (key == QStringLiteral("Manage Spell")) {
        B_Menu_Manage_Click();
    } else if (key == QStringLiteral("Requery")) {
        BusyCursor progress(m_workspace->progressPanel(),
                            QStringLiteral("Filtering Spellbook ") + m_name + QStringLiteral("..."));
        Requery();
    } else if (key == QStringLiteral("Export Selected Spells")) {
        B_Menu_Export_Click();
    } else if (key == QStringLiteral("Unlearned Spells")) {
        m_workspace->showUnlearned(m_name);
    } else if (key == QStringLiteral("Fill Spellbook")) {
        fillSpellbook();
    } else if (key == QStringLiteral("Memorized Spells")) {
        m_workspace->showMemorized(m_name);
    }
}

void Frm_Browser::Toolbar1_ButtonMenuClick(const QString &key)
{
    if (key == QStringLiteral("Print Spellbook") || key == QStringLiteral("Preview Spellbook"))
        printSpellbook(key == QStringLiteral("Preview Spellbook"));
    else if (key == QStringLiteral("Print Filtered"))
        printFiltered(ReportEngine::Destination::Printer);
    else if (key == QStringLiteral("Preview Filtered"))
        printFiltered(ReportEngine::Destination::Window);
    else if (key == QStringLiteral("Print Selected Spells"))
        printSelectedSpells();
    else if (key == QStringLiteral("Print Deck"))
        B_Menu_Deck_Click();
    else if (key == QStringLiteral("Full") || key == QStringLiteral("Filtered"))
        exportSpellbook(key);
}

void Frm_Browser::fillSpellbook()
{
    if (isLibrary())
        return;
    Frm_FillSpellbook dialog(this);
    if (dialog.Initialize(*m_workspace, m_name))
        dialog.exec(); // adding announces the change, and this browser follows it
}

void Frm_Browser::announceOwnBook()
{
    m_own.announce(m_workspace->events(),
                   [this](LibraryEvents &events) { emit events.spellbookChanged(m_name); });
}

void Frm_Browser::followLibrary(LibraryEvents &events)
{
    connect(&events, &LibraryEvents::spellbookChanged, this, [this](const QString &caster) {
        if (trimBlanks(caster) == m_name && !m_own.ours())
            Requery();
    });
    connect(&events, &LibraryEvents::spellDeleted, this, &Frm_Browser::dropSpell);
    // A renamed spell is read anew, to stand under its new name in its new place. While the
    // filters would be refused, its first row takes the new name where it stands.
    connect(&events, &LibraryEvents::spellRenamed, this, [this](const QString &from, const QString &to) {
        const QList<int> rows = rowsOfSpell(m_list, from);
        if (rows.isEmpty())
            return;
        if (FormControls::selectedTexts(m_levels).isEmpty() ||
            FormControls::selectedTexts(m_schoolsList).isEmpty())
            m_list->rows()->setText(rows.first(), 0, to.trimmed());
        else
            Requery();
    });
    connect(&events, &LibraryEvents::schoolsChanged, this, &Frm_Browser::followSchools);
    // A capacity edited in another window shows here at once.
    connect(&events, &LibraryEvents::castersChanged, this, &Frm_Browser::showLevelCounts);
    // So does a spell of the book moved to another level, or gone from the library.
    connect(&events, &LibraryEvents::spellsChanged, this, &Frm_Browser::showLevelCounts);
    connect(&events, &LibraryEvents::spellDeleted, this, &Frm_Browser::showLevelCounts);
}

void Frm_Browser::dropSpell(const QString &spell)
{
    dropSpellRows(m_list, spell, m_panels);
}

void Frm_Browser::followSchools()
{
    // The schools the user deselected stay deselected; every other school, a new one too,
    // comes back selected.
    QSet<QString> deselected;
    QSet<QString> gone;
    for (int row = 0; row < m_schoolsList->count(); ++row) {
        gone.insert(m_schoolsList->item(row)->text());
        if (!m_schoolsList->item(row)->isSelected())
            deselected.insert(m_schoolsList->item(row)->text());
    }
    try {
        Load_Schools_List();
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    for (int row = 0; row < m_schoolsList->count(); ++row) {
        QListWidgetItem *item = m_schoolsList->item(row);
        item->setSelected(!deselected.contains(item->text()));
        gone.remove(item->text());
    }
    // A deleted school went from its spells too: the rows that named it are read anew, unless
    // the filters would be refused.
    if (!gone.isEmpty() && m_list->rowCount() > 0 && !FormControls::selectedTexts(m_levels).isEmpty() &&
        !FormControls::selectedTexts(m_schoolsList).isEmpty())
        Requery();
}
