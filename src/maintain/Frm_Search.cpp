// The search window: the search asked of the library, the list of spells found and its commands.
// Its controls are in Frm_Search_Controls.cpp.

#include "maintain/Frm_Search.h"

#include "browse/DeckCommand.h"
#include "browse/SpellDrag.h"
#include "browse/SpellExport.h"
#include "browse/VM_DragDropAssistant.h"
#include "exchange/VM_SpellSaver.h"
#include "store/Blanks.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/FormControls.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSet>

namespace {

// The table the search leaves has the schools last; the list shows them after the level.
constexpr int kTableColumnOf[] = {0, 1, 5, 2, 3, 4};

} // namespace

Frm_Search::~Frm_Search() = default;

bool Frm_Search::Initialize(Workspace &workspace)
{
    m_workspace = &workspace;
    m_toolbar->followCommand(QStringLiteral("Manage Spell"),
                             workspace.menuEntry(QStringLiteral("Main_Tools_Spells")));
    m_list->setDragSource([this] { return LV_Search_OLEStartDrag(); },
                          [this] { LV_Search_OLECompleteDrag(); });

    LibraryEvents &events = workspace.events();
    connect(&events, &LibraryEvents::castersChanged, this, &Frm_Search::Load_Type_Combo);
    connect(&events, &LibraryEvents::spellDeleted, this, &Frm_Search::dropSpell);
    // A hit left under its old name could no longer be viewed, managed or dragged.
    connect(&events, &LibraryEvents::spellRenamed, this, &Frm_Search::renameSpell);
    connect(&events, &LibraryEvents::libraryRestored, this, &Frm_Search::dropVanishedSpells);
    return Load_Type_Combo();
}

bool Frm_Search::Load_Type_Combo()
{
    const std::optional<QStringList> read = FormControls::spellbookNames(this, m_workspace->library());
    const QStringList names = read.value_or(QStringList());
    // The user's scope stays while its caster does: a caster added, deleted or edited elsewhere
    // changes the list, not the choice.
    const QString kept = m_scope->currentText();
    m_scope->clear();
    for (const QString &name : std::as_const(names))
        m_scope->addItem(name.trimmed());
    const int index = kept.isEmpty() ? -1 : m_scope->findText(kept, Qt::MatchExactly);
    m_scope->setCurrentIndex(index >= 0 ? index : m_scope->findText(QStringLiteral("KXR"), Qt::MatchExactly));
    return read.has_value();
}

QString Frm_Search::chosenField() const
{
    for (const QRadioButton *field : m_fields) {
        if (field->isChecked())
            return QString(field->text()).remove(QLatin1Char('&')); // without its access key
    }
    return QStringLiteral("Name");
}

void Frm_Search::Cmd_Search_Click()
{
    const QString text = m_text->text().trimmed();
    if (text.isEmpty())
        return;
    BusyCursor busy;
    VM_Library &library = m_workspace->library();
    const QString status =
        library.Search(chosenField(), m_scope->currentText().trimmed(), text,
                       m_starts->isChecked() ? QStringLiteral("Starts") : QStringLiteral("Any"));
    if (Prompt::failed(this, status)) {
        return;
    }

    // The list shows the library's table of hits as it is, shared rather than copied.
    const OptionalTable hits = library.Fetch_Search_Array();
    if (!hits) {
        showQueriedRows(m_list, QList<QString>(), m_sort, m_panels);
        return;
    }
    QList<ListViewModel::CellSource> sources;
    for (const int column : kTableColumnOf)
        sources.append({0, column});
    showQueriedRows(m_list, {ListViewModel::CellBlock{*hits}}, sources, m_sort, m_panels);
}

void Frm_Search::LV_Search_Click()
{
    m_panels->showSelected(selectedCount(m_list));
}

void Frm_Search::LV_Search_DblClick()
{
    S_Menu_View_Click();
}

void Frm_Search::LV_Search_ColumnClick(int column)
{
    m_sort->sortBy(column);
}

void Frm_Search::LV_Search_MouseDown(const QPoint &position)
{
    m_workspace->menu(QStringLiteral("Private_Menu_Search"))
        ->popup(m_list->viewport()->mapToGlobal(position));
}

bool Frm_Search::LV_Search_OLEStartDrag()
{
    return packDraggedSpells(m_workspace->dragDropAssistant(), m_list, QStringLiteral("Search"), this);
}

void Frm_Search::LV_Search_OLECompleteDrag()
{
    m_workspace->dragDropAssistant().Reset_Drag();
}

QString Frm_Search::firstSelectedSpell()
{
    const int row = firstSelectedRow(m_list);
    if (row < 0) {
        Prompt::message(this, QStringLiteral("No spells are selected"));
        return {};
    }
    return m_list->text(row).trimmed();
}

void Frm_Search::S_Menu_View_Click()
{
    const QString spell = firstSelectedSpell();
    if (!spell.isEmpty())
        m_workspace->viewSpell(spell, this);
}

void Frm_Search::S_Menu_Manage_Click()
{
    const QString spell = firstSelectedSpell();
    if (!spell.isEmpty())
        m_workspace->manageSpell(spell, this);
}

void Frm_Search::S_Menu_Export_Click()
{
    if (m_list->rowCount() == 0) {
        Prompt::message(this, QStringLiteral("There are no spells in the Search List to export"));
        return;
    }
    // Asked before the file is chosen: a file name picked for nothing is a wasted question.
    if (firstSelectedRow(m_list) < 0) {
        Prompt::message(this, QStringLiteral("There are no spells selected"));
        return;
    }
    exportSpellFile(this, m_workspace->progressPanel(), QStringLiteral("Spell Files (*.spel)|*.spel"),
                    QStringLiteral("Saving "), trimBlanks(m_text->text()),
                    [this](VM_SpellSaver &saver, const QString &title, const QString &path) {
                        saver.Save2(title, path, selectedRowsOf(m_list));
                    });
}

void Frm_Search::S_Menu_Deck_Click()
{
    DeckCommand::run(this, *m_workspace, m_list, QString());
}

void Frm_Search::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QStringLiteral("View Spell"))
        S_Menu_View_Click();
    else if (key == QStringLiteral("Manage Spell"))
        S_Menu_Manage_Click();
    else if (key == QStringLiteral("Export Selected Spells"))
        S_Menu_Export_Click();
    else if (key == QStringLiteral("Print Deck"))
        S_Menu_Deck_Click();
}

void Frm_Search::dropSpell(const QString &spell)
{
    dropSpellRows(m_list, spell, m_panels);
}

// An undo or redo may have taken spells out of the library: their hits go.
void Frm_Search::dropVanishedSpells()
{
    if (m_list->rowCount() == 0)
        return;
    QStringList names;
    try {
        names = m_workspace->library().Fetch_Spells_List();
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    const QSet<QString> present(names.begin(), names.end());
    dropRowsWhere(
        m_list, [&present](const QString &hit) { return !present.contains(hit); }, m_panels);
}

void Frm_Search::renameSpell(const QString &from, const QString &to)
{
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->text(row).trimmed() == from.trimmed())
            m_list->rows()->setText(row, 0, to.trimmed());
    }
}
