// The scroll manager: its tree of casters and scrolls, the tabs and what they show, and how it
// follows the library. Editing, drawing, printing and controls are in Frm_Scrolls_*.cpp.

#include "scrolls/Frm_Scrolls.h"

#include "browse/SpellDrag.h"
#include "browse/VM_DragDropAssistant.h"
#include "scrolls/Frm_ScrollSaver.h"
#include "store/Blanks.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ChildDialog.h"
#include "widgets/FormControls.h"
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

void Frm_Scrolls::reloadReporting(const std::function<void()> &reload)
{
    try {
        reload();
    } catch (const VmError &error) {
        Prompt::report(this, error);
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
        Prompt::report(this, error);
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
        FormControls::addEntry(m_schools, school)->setSelected(!unchosen.contains(school));
    }
}

void Frm_Scrolls::fillFrequencies()
{
    Prompt::failed(this, FormControls::fillFrequencies(m_frequency, *m_library));
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
                casters.append(casterNode);
                previousCaster = caster;
            } else if (scroll == previousScroll) {
                continue;
            }
            new QTreeWidgetItem(casterNode, QStringList{scroll});
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
        Prompt::report(this, error);
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
    if (Prompt::failed(this, status)) {
        return false;
    }
    m_viewChanged = false;
    Prompt::message(this, QStringLiteral("Scroll saved"));
    return true;
}

bool Frm_Scrolls::hasUnsavedWork() const
{
    return (m_viewChanged && isScrollNode(m_node)) || m_addLines->rowCount() > 0;
}

bool Frm_Scrolls::mayClose()
{
    return mayLeaveScroll() && mayDropNewScroll();
}

void Frm_Scrolls::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
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
    ChildDialog::closeWindow(this);
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
