#include "scrolls/Frm_Scrolls.h"

#include "browse/SpellDrag.h"
#include "browse/VM_DragDropAssistant.h"
#include "maintain/ChildDialog.h"
#include "scrolls/Frm_ScrollSaver.h"
#include "shell/Prompt.h"
#include "store/Blanks.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/ListViewRows.h"
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

template<typename Reload>
void Frm_Scrolls::reloadReporting(Reload &&reload)
{
    try {
        reload();
    } catch (const VmError &error) {
        Prompt::message(this, error.description.trimmed());
    }
}

bool Frm_Scrolls::Initialize(Workspace &workspace)
{
    m_workspace = &workspace;
    m_library = &workspace.library();
    m_assistant = &workspace.dragDropAssistant();

    for (ListView *list : {m_scrollLines, m_addLines, m_generated}) {
        list->setDragSource(
            [this, list] { return packDraggedSpells(*m_assistant, list, dragSourceName(list), this); },
            [this] { m_assistant->Reset_Drag(); });
        connect(list, &ListView::rowDoubleClicked, this, &Frm_Scrolls::B_Menu_View_Click);
        connect(list, &ListView::rowSelectionChanged, this, &Frm_Scrolls::refreshStates);
        connect(list, &ListView::focusReceived, this, [this, list] { listGotFocus(list); });
        connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint &position) {
            if (QMenu *popup = m_workspace->menu(QStringLiteral("Private_Menu_Scrolls")))
                popup->popup(list->viewport()->mapToGlobal(position));
        });
    }
    m_scrollLines->setDropTarget([this] { LV_Scrolls_OLEDragDrop(); });
    m_addLines->setDropTarget([this] { LV_Add_OLEDragDrop(); });
    m_generated->setDropTarget([this] { LV_Spells_OLEDragDrop(); });
    // The View tab's list takes spells only while it shows a scroll.
    m_scrollLines->setDropsAccepted(false);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (current)
            TV_Scrolls_NodeClick(current);
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, &Frm_Scrolls::TV_Scrolls_Collapse);
    connect(m_tree, &QTreeWidget::itemExpanded, this, &Frm_Scrolls::TV_Scrolls_Expand);
    followLibrary();

    try {
        LoadSpellNames();
        LoadSchoolNames();
        m_schools->selectAll();
        m_levels->selectAll();
        fillFrequencies();
        LoadScrollNames();
        LoadCasterNames();
    } catch (const VmError &error) {
        Prompt::message(this, error.description.trimmed());
        return false;
    }
    m_tabs->setCurrentIndex(ViewTab);
    refreshStates();
    return true;
}

void Frm_Scrolls::followLibrary()
{
    LibraryEvents &events = m_workspace->events();
    connect(&events, &LibraryEvents::castersChanged, this,
            [this] { reloadReporting([this] { LoadCasterNames(); }); });
    connect(&events, &LibraryEvents::spellsChanged, this,
            [this] { reloadReporting([this] { LoadSpellNames(); }); });
    connect(&events, &LibraryEvents::schoolsChanged, this,
            [this] { reloadReporting([this] { LoadSchoolNames(); }); });
    connect(&events, &LibraryEvents::spellDeleted, this, [this](const QString &spell) {
        // Scroll lines keep their copies; only the picker stops offering the spell.
        const int row = int(m_spellNames->stringList().indexOf(spell.trimmed()));
        if (row < 0)
            return;
        // The combo box would slide to a neighbour of a removed current row, and the next Add
        // would take a spell the user never chose.
        const bool wasChosen = m_spell->currentIndex() == row;
        m_spellNames->removeRows(row, 1);
        if (wasChosen)
            m_spell->setCurrentIndex(-1);
    });
}

void Frm_Scrolls::LoadCasterNames()
{
    const QStringList names = m_library->Get_Exisiting_Spellbook_Names();
    const QString typed = m_casterName->currentText();
    m_casterName->clear();
    m_casterName->addItems(names);
    m_casterName->setEditText(typed);
}

void Frm_Scrolls::LoadSpellNames()
{
    const QString chosen = m_spell->currentText();
    m_spellNames->setStringList(m_library->Fetch_Spells_List());
    m_spell->setCurrentIndex(chosen.isEmpty() ? -1 : int(m_spellNames->stringList().indexOf(chosen)));
}

void Frm_Scrolls::LoadSchoolNames()
{
    QSet<QString> unchosen;
    for (int row = 0; row < m_schools->count(); ++row) {
        if (!m_schools->item(row)->isSelected())
            unchosen.insert(m_schools->item(row)->text());
    }
    const QStringList schools = m_library->Fetch_Schools_List();
    m_schools->clear();
    for (const QString &school : schools) {
        auto *item = new QListWidgetItem(school, m_schools);
        item->setToolTip(school); // long names are cut short in the narrow list
        item->setSelected(!unchosen.contains(school));
    }
}

void Frm_Scrolls::fillFrequencies()
{
    const QString status = m_library->Fetch_Frequencies();
    if (!status.isEmpty()) {
        Prompt::message(this, status.trimmed());
        return;
    }
    m_frequency->clear();
    // The scale is read back at once: the slot it shares with the scroll list is refilled later.
    if (const OptionalTable scale = m_library->Fetch_Scrolls_Array(); scale && scale->columns() >= 2) {
        for (int row = 0; row < scale->rows(); ++row)
            m_frequency->addItem(scale->at(0, row), scale->at(1, row).toInt());
    }
    m_frequency->setCurrentIndex(-1);
}

void Frm_Scrolls::LoadScrollNames()
{
    m_tree->setUpdatesEnabled(false);
    {
        const QSignalBlocker quiet(m_tree);
        m_tree->clear();
        m_node = nullptr;
        m_scrollLines->rows()->clear();
        m_scrollLines->setDropsAccepted(false);
        m_viewChanged = false;
        m_nextKey = 1;

        // One entry per line, sorted by caster and scroll: repeats fold into one node per scroll.
        try {
            m_library->Fetch_Scrolls_List();
        } catch (const VmError &error) {
            m_tree->setUpdatesEnabled(true);
            refreshStates();
            // The cause follows, so that a locked or damaged library can be told apart.
            Prompt::message(this, QStringLiteral("There was an error retrieving data from the database\n\n") +
                                      error.description.trimmed());
            return;
        }
        const OptionalTable scrolls = m_library->Fetch_Scrolls_Array();
        QList<QTreeWidgetItem *> casters;
        QTreeWidgetItem *casterNode = nullptr;
        QString previousCaster;
        QString previousScroll;
        for (int row = 0; scrolls && row < scrolls->rows(); ++row) {
            const QString &caster = scrolls->at(0, row);
            const QString &scroll = scrolls->at(1, row);
            if (!casterNode || caster != previousCaster) {
                casterNode = new QTreeWidgetItem(QStringList{caster});
                casterNode->setData(0, Qt::UserRole, caster.trimmed());
                ++m_nextKey;
                casters.append(casterNode);
                previousCaster = caster;
            } else if (scroll == previousScroll) {
                continue;
            }
            auto *scrollNode = new QTreeWidgetItem(casterNode, QStringList{scroll});
            scrollNode->setData(0, Qt::UserRole, QString::number(m_nextKey++) + QStringLiteral("Key"));
            previousScroll = scroll;
        }
        m_tree->addTopLevelItems(casters);
        m_tree->setCurrentItem(nullptr);
    }
    m_tree->setUpdatesEnabled(true);
    refreshStates();
}

ListView *Frm_Scrolls::currentList() const
{
    switch (m_tab) {
    case AddTab:
        return m_addLines;
    case GenerateTab:
        return m_generated;
    default:
        return m_scrollLines;
    }
}

bool Frm_Scrolls::isScrollNode(const QTreeWidgetItem *node) const
{
    return node && node->parent();
}

QString Frm_Scrolls::casterOf(const QTreeWidgetItem *node) const
{
    if (!node)
        return {};
    return (node->parent() ? node->parent() : node)->text(0).trimmed();
}

QString Frm_Scrolls::dragSourceName(const ListView *list) const
{
    return objectName() + QLatin1Char('.') + list->objectName();
}

void Frm_Scrolls::refreshStates()
{
    const ListView *list = currentList();
    const bool hasLines = list->rowCount() > 0;
    const bool pickSpells = m_tab == AddTab || hasLines;
    m_spell->setEnabled(pickSpells);
    m_find->setEnabled(pickSpells);
    m_apply->setEnabled(m_tab == GenerateTab);
    for (const QString &key : {QStringLiteral("Add"), QStringLiteral("Replace"), QStringLiteral("Save")})
        m_toolbar->button(key)->setEnabled(pickSpells);
    // A generated scroll is saved once: not again while the dialog that saves it is open.
    if (m_savingGenerated)
        m_toolbar->button(QStringLiteral("Save"))->setEnabled(false);

    const bool nodeChosen = m_tab == ViewTab && m_node;
    for (const QString &key :
         {QStringLiteral("Delete"), QStringLiteral("Print"), QStringLiteral("Export Scroll")})
        m_toolbar->button(key)->setEnabled(nodeChosen);
    const bool scroll = isScrollNode(m_node);
    const QList<QAction *> entries = m_toolbar->buttonMenu(QStringLiteral("Print"))->actions();
    for (QAction *entry : entries) {
        const QString key = entry->data().toString();
        if (!key.isEmpty())
            entry->setEnabled(key.endsWith(QLatin1String("Scroll")) == scroll);
    }
}

void Frm_Scrolls::listGotFocus(ListView *list)
{
    // A list with lines offers the picker; the generated list, empty, takes it away.
    if (list->rowCount() > 0) {
        m_spell->setEnabled(true);
        m_find->setEnabled(true);
    } else if (list == m_generated) {
        m_spell->setEnabled(false);
        m_find->setEnabled(false);
    }
}

void Frm_Scrolls::SSTab1_Click(int tab)
{
    if (tab == m_tab)
        return;
    if (m_tab == ViewTab && !mayLeaveScroll()) {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(ViewTab);
        return;
    }
    m_tab = tab;
    refreshStates();
    if (tab == ViewTab)
        m_tree->setFocus();
    else if (tab == AddTab)
        m_scrollName->setFocus();
    else
        m_count->setFocus();
}

void Frm_Scrolls::selectNode(QTreeWidgetItem *node)
{
    const QSignalBlocker quiet(m_tree);
    m_tree->setCurrentItem(node);
    if (node)
        node->setSelected(true);
}

void Frm_Scrolls::TV_Scrolls_NodeClick(QTreeWidgetItem *node)
{
    if (!node)
        return;
    if (node != m_node && !mayLeaveScroll()) {
        selectNode(m_node); // the user stays with the scroll
        return;
    }
    // The shown scroll read again would lose its changes; they were kept above.
    if (node == m_node && m_viewChanged)
        return;
    m_node = node;
    selectNode(node);
    if (isScrollNode(node))
        showScroll(node);
    else
        showCaster();
}

void Frm_Scrolls::TV_Scrolls_Collapse(QTreeWidgetItem *node)
{
    TV_Scrolls_NodeClick(node);
    if (m_node != node) {
        const QSignalBlocker quiet(m_tree);
        m_tree->expandItem(node);
        return;
    }
    showCaster();
}

void Frm_Scrolls::TV_Scrolls_Expand(QTreeWidgetItem *node)
{
    TV_Scrolls_NodeClick(node);
    if (m_node != node) {
        const QSignalBlocker quiet(m_tree);
        m_tree->collapseItem(node);
    }
}

void Frm_Scrolls::showScroll(QTreeWidgetItem *node)
{
    m_scrollLines->setUpdatesEnabled(false);
    m_scrollLines->rows()->clear();
    m_viewChanged = false;
    try {
        m_library->Fetch_Scroll_Details(node->text(0).trimmed(), casterOf(node));
    } catch (const VmError &error) {
        m_scrollLines->setDropsAccepted(false);
        m_scrollLines->setUpdatesEnabled(true);
        refreshStates();
        m_toolbar->button(QStringLiteral("Print"))->setEnabled(false);
        Prompt::message(this, error.description.trimmed());
        return;
    }
    // A scroll gone meanwhile reads as one empty cell: it has no lines to show.
    if (const OptionalTable lines = m_library->Fetch_Scrolls_Array(); lines && lines->columns() == 5) {
        QList<QString> cells;
        cells.reserve(qsizetype(lines->rows()) * 5);
        for (int row = 0; row < lines->rows(); ++row) {
            for (int column = 0; column < 5; ++column)
                cells.append(lines->at(column, row));
        }
        m_scrollLines->rows()->setCells(std::move(cells));
    }
    m_scrollLines->setDropsAccepted(true);
    m_scrollLines->setUpdatesEnabled(true);
    refreshStates();
}

void Frm_Scrolls::showCaster()
{
    m_scrollLines->rows()->clear();
    m_scrollLines->setDropsAccepted(false);
    m_viewChanged = false;
    refreshStates();
}

bool Frm_Scrolls::mayLeaveScroll()
{
    if (!m_viewChanged || !isScrollNode(m_node))
        return true;
    const QString question = QStringLiteral("The changes to Scroll ") + m_node->text(0).trimmed() +
                             QStringLiteral(" of ") + casterOf(m_node) +
                             QStringLiteral(" have not been saved.\n\nDo you want to save them?");
    switch (Prompt::askToSave(this, question)) {
    case Prompt::Choice::Save:
        return saveShownScroll();
    case Prompt::Choice::Discard:
        // The scroll reads as the library holds it, should the user come back to it.
        showScroll(m_node);
        return true;
    case Prompt::Choice::Cancel:
        break;
    }
    return false;
}

bool Frm_Scrolls::saveShownScroll()
{
    if (!isScrollNode(m_node))
        return false;
    QString status;
    {
        BusyCursor busy;
        status = m_library->UpdateScroll(casterOf(m_node), m_node->text(0).trimmed(), rowsOf(m_scrollLines));
    }
    if (!status.isEmpty()) {
        Prompt::message(this, status.trimmed());
        return false;
    }
    m_viewChanged = false;
    Prompt::message(this, QStringLiteral("Scroll saved"));
    return true;
}

void Frm_Scrolls::closeEvent(QCloseEvent *event)
{
    if (!mayLeaveScroll()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Frm_Scrolls::keyPressEvent(QKeyEvent *event)
{
    // Only drawing a scroll has a button of its own; elsewhere Enter presses a focused button.
    if (!ChildDialog::handleKey(this, event, m_tab == GenerateTab ? m_apply : nullptr))
        QWidget::keyPressEvent(event);
}

void Frm_Scrolls::Cmd_Cancel_Click()
{
    // The sub-window closes with its window, and asks it first.
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(parentWidget()))
        subWindow->close();
    else
        close();
}

void Frm_Scrolls::TB_ButtonClick(const QString &key)
{
    if (key == QStringLiteral("Add"))
        addLine();
    else if (key == QStringLiteral("Replace"))
        replaceLine();
    else if (key == QStringLiteral("Save"))
        saveCurrent();
    else if (key == QStringLiteral("Delete"))
        deleteNode();
    else if (key == QStringLiteral("Export Scroll"))
        exportScroll();
}

void Frm_Scrolls::TB_ButtonMenuClick(const QString &key)
{
    printScrolls(key);
}

void Frm_Scrolls::linesChanged(ListView *list)
{
    if (list == m_scrollLines)
        m_viewChanged = true;
    refreshStates();
}

bool Frm_Scrolls::readLine(const QString &name, VM_Spell &spell)
{
    bool read = false;
    {
        BusyCursor busy;
        read = spell.Set_Spell_Details(name);
    }
    // A library that cannot be read is not a spell that left it.
    if (!read) {
        Prompt::message(this, name + QStringLiteral(" could not be read from the library"));
        return false;
    }
    if (trimBlanks(spell.Fetch_Spell_Name()).isEmpty()) {
        Prompt::message(this, name + QStringLiteral(" is no longer in the library"));
        return false;
    }
    return true;
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

void Frm_Scrolls::saveNewScroll()
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
        return;

    if (!Frm_ScrollSaver::nameIsFree(this, *m_library, name, caster, m_scrollName))
        return;
    QString status;
    {
        BusyCursor busy;
        status = m_library->SaveScroll(name, caster, rowsOf(m_addLines));
    }
    if (!status.isEmpty()) {
        Prompt::message(this, status.trimmed());
        return;
    }
    LoadScrollNames();
    m_scrollName->clear();
    reloadReporting([this] { LoadCasterNames(); });
    m_casterName->setEditText(QString());
    m_addLines->rows()->clear();
    refreshStates();
    Prompt::message(this, QStringLiteral("Scroll saved"));
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
    if (!status.isEmpty()) {
        Prompt::message(this, status.trimmed());
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
    if (!status.isEmpty())
        Prompt::message(this, status.trimmed());
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
