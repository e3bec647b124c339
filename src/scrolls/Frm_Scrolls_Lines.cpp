// The scroll manager's editing: lines added, replaced, removed and dropped, and scrolls saved and
// deleted.

#include "scrolls/Frm_Scrolls.h"

#include "browse/SpellDrag.h"
#include "browse/VM_DragDropAssistant.h"
#include "scrolls/ScrollDetails.h"
#include "store/Blanks.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ChildDialog.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QString kLastLineOfScroll = QStringLiteral("You cannot delete the last Spell from a Scroll");

// Every text of a list, row by row, as the list model holds them.
QList<QString> cellsOf(const ListView *list)
{
    QList<QString> cells;
    const int columns = list->rows()->columnCount();
    cells.reserve(qsizetype(list->rowCount()) * columns);
    for (int row = 0; row < list->rowCount(); ++row) {
        for (int column = 0; column < columns; ++column)
            cells.append(list->text(row, column));
    }
    return cells;
}

// The five texts of a scroll line for a spell of the library.
QStringList lineOf(const VM_Spell &spell)
{
    return {spell.Fetch_Spell_Name().trimmed(), spell.Fetch_Spell_Level(), spell.Fetch_Spell_Frequency(),
            spell.Fetch_Spell_Book_Number(), spell.Fetch_Spell_Page_Number()};
}

} // namespace

void Frm_Scrolls::linesChanged(ListView *list)
{
    if (list == m_scrollLines)
        m_viewChanged = true;
    refreshStates();
}

bool Frm_Scrolls::readLine(const QString &name, VM_Spell &spell)
{
    VM_Spell::Found found = VM_Spell::Found::Unreadable;
    {
        BusyCursor busy;
        found = spell.read(name);
    }
    if (found == VM_Spell::Found::Unreadable)
        Prompt::message(this, name + QStringLiteral(" could not be read from the library"));
    else if (found == VM_Spell::Found::Gone)
        Prompt::message(this, name + QStringLiteral(" is no longer in the library"));
    return found == VM_Spell::Found::Read;
}

void Frm_Scrolls::addLine()
{
    const QString name = m_spell->currentText().trimmed();
    if (name.isEmpty())
        return;
    ListView *list = currentList();
    VM_Spell spell;
    if (!readLine(name, spell))
        return;
    const QStringList line = lineOf(spell);
    appendRows(list, {ListRow{line.constFirst(), line.mid(1)}});
    linesChanged(list);
}

void Frm_Scrolls::replaceLine()
{
    const QString name = m_spell->currentText().trimmed();
    ListView *list = currentList();
    const int row = firstSelectedRow(list);
    if (name.isEmpty() || row < 0)
        return;
    VM_Spell spell;
    if (!readLine(name, spell))
        return;
    QList<QString> cells = cellsOf(list);
    const QStringList line = lineOf(spell);
    for (int column = 0; column < 5; ++column)
        cells[qsizetype(row) * 5 + column] = line.at(column);
    {
        const QSignalBlocker quiet(list);
        list->rows()->setCells(std::move(cells));
        list->selectOnly(row);
    }
    linesChanged(list);
}

void Frm_Scrolls::B_Menu_Remove_Click()
{
    ListView *list = currentList();
    const int row = firstSelectedRow(list);
    if (row < 0)
        return;
    if (list->rowCount() == 1 && m_tab == ViewTab) {
        Prompt::message(this,
                        kLastLineOfScroll +
                            QStringLiteral("\n\nIf you want to delete the Scroll, highlight the Scroll\n"
                                           "in the Tree View and click the Delete button."));
        return;
    }
    if (list->rowCount() == 1 && m_tab == GenerateTab) {
        Prompt::message(this, kLastLineOfScroll);
        return;
    }
    {
        const QSignalBlocker quiet(list);
        list->rows()->removeRowNumbers({row});
        // The line that took its place is the next one a second click removes.
        if (list->rowCount() > 0)
            list->selectOnly(std::min(row, list->rowCount() - 1));
    }
    linesChanged(list);
}

void Frm_Scrolls::B_Menu_View_Click()
{
    const QString spell = firstSelectedName(currentList());
    if (!spell.isEmpty())
        m_workspace->viewSpell(spell, this);
}

void Frm_Scrolls::B_Menu_Manage_Click()
{
    const QString spell = firstSelectedName(currentList());
    if (!spell.isEmpty())
        m_workspace->manageSpell(spell, this);
}

void Frm_Scrolls::saveCurrent()
{
    if (m_tab == ViewTab)
        saveShownScroll();
    else if (m_tab == AddTab)
        saveNewScroll();
    else
        saveGenerated();
}

bool Frm_Scrolls::saveNewScroll()
{
    const QString name = m_scrollName->text().trimmed();
    const QString caster = m_casterName->currentText().trimmed();
    // Every check speaks before the first failure ends the save.
    bool complete = true;
    if (m_addLines->rowCount() == 0) {
        Prompt::message(this, QStringLiteral("Scoll is pretty useless without any spells"));
        complete = false;
    }
    if (caster.isEmpty()) {
        Prompt::message(this, QStringLiteral("Caster is a required field"));
        m_casterName->setFocus();
        complete = false;
    }
    if (name.isEmpty()) {
        Prompt::message(this, QStringLiteral("Scroll Name is a required field"));
        m_scrollName->setFocus();
        complete = false;
    }
    if (!complete)
        return false;

    if (!ScrollDetails::nameIsFree(this, *m_library, name, caster, m_scrollName))
        return false;
    QString status;
    {
        BusyCursor busy;
        status = m_library->SaveScroll(name, caster, rowsOf(m_addLines));
    }
    if (Prompt::failed(this, status)) {
        return false;
    }
    LoadScrollNames();
    m_scrollName->clear();
    reloadReporting([this] { LoadCasterNames(); });
    m_casterName->setEditText(QString());
    m_addLines->rows()->clear();
    refreshStates();
    Prompt::message(this, QStringLiteral("Scroll saved"));
    return true;
}

bool Frm_Scrolls::mayDropNewScroll()
{
    if (m_addLines->rowCount() == 0)
        return true;
    const QString name = m_scrollName->text().trimmed();
    const QString question =
        (name.isEmpty() ? QStringLiteral("The new scroll") : QStringLiteral("The new scroll ") + name) +
        QStringLiteral(" on the Add tab has not been saved.\n\nDo you want to save it?");
    switch (Prompt::askToSave(this, question)) {
    case Prompt::Choice::Save:
        if (m_tab != AddTab)
            m_tabs->setCurrentIndex(AddTab);
        return saveNewScroll();
    case Prompt::Choice::Discard:
        return true;
    case Prompt::Choice::Cancel:
        break;
    }
    return false;
}

void Frm_Scrolls::deleteNode()
{
    QTreeWidgetItem *node = m_node;
    if (!node)
        return;
    if (!Prompt::ask(this, QStringLiteral("Are you sure you want to Delete the Selected Caster/ Scroll?")))
        return;
    const QString name = node->text(0).trimmed();
    const QString caster = casterOf(node);
    const bool scroll = isScrollNode(node);
    QString status;
    {
        BusyCursor busy;
        status = scroll ? m_library->DeleteScroll(QStringLiteral("Scroll"), caster, name)
                        : m_library->DeleteScroll(QStringLiteral("Caster"), name, QString());
    }
    if (Prompt::failed(this, status)) {
        return;
    }

    QString message;
    {
        const QSignalBlocker quiet(m_tree);
        m_node = nullptr;
        m_viewChanged = false;
        if (!scroll) {
            delete node;
            message = QStringLiteral("All Scrolls for ") + name + QStringLiteral(" have been deleted");
        } else if (node->parent()->childCount() == 1) {
            delete node->parent();
            message = name + QStringLiteral(" has been deleted. ") + QStringLiteral("\n\n") + caster +
                      QStringLiteral(" was also removed as that Caster no longer has any Scrolls");
        } else {
            delete node;
            message = name + QStringLiteral(" has been deleted");
        }
    }
    Prompt::message(this, message);

    if (m_tree->topLevelItemCount() > 0) {
        QTreeWidgetItem *next = m_tree->currentItem() ? m_tree->currentItem() : m_tree->topLevelItem(0);
        TV_Scrolls_NodeClick(next);
    } else {
        showCaster();
    }
}

void Frm_Scrolls::dropOnto(ListView *list)
{
    // Spells dropped back onto the list they came from stay as they are.
    if (!m_assistant || !list->dropsAccepted() || !m_assistant->Validate_Drop() ||
        m_assistant->Drag_Source() == dragSourceName(list))
        return;
    ListRows lines;
    QString status;
    {
        BusyCursor busy;
        status = m_assistant->Unpack_To_List_View(lines);
    }
    if (!lines.isEmpty()) {
        appendRows(list, lines);
        linesChanged(list);
    }
    Prompt::failed(this, status);
}

void Frm_Scrolls::LV_Scrolls_OLEDragDrop()
{
    dropOnto(m_scrollLines);
}

void Frm_Scrolls::LV_Add_OLEDragDrop()
{
    dropOnto(m_addLines);
}

void Frm_Scrolls::LV_Spells_OLEDragDrop()
{
    dropOnto(m_generated);
}

void Frm_Scrolls::txtFind_Change()
{
    const QString start = m_find->text().trimmed();
    if (start.isEmpty())
        return;
    // The picker is sorted without regard to case, but "first from the top" is what counts,
    // whatever the order: a plain walk over 100,000 names is well under a keystroke's time.
    const QStringList names = m_spellNames->stringList();
    for (qsizetype row = 0; row < names.size(); ++row) {
        if (names.at(row).startsWith(start, Qt::CaseInsensitive)) {
            m_spell->setCurrentIndex(int(row));
            return;
        }
    }
}
