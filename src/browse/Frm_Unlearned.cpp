// The failed-spells window: the caster's failed spells, with their commands and drops.
// Its controls are in Frm_Unlearned_Controls.cpp.

#include "browse/Frm_Unlearned.h"

#include "browse/VM_DragDropAssistant.h"
#include "store/CasterCapacity.h"
#include "store/Names.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
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
#include <QLabel>
#include <QMenu>
#include <QSet>

Frm_Unlearned::~Frm_Unlearned() = default;

bool Frm_Unlearned::Initialize(Workspace &workspace, const QString &caster)
{
    m_workspace = &workspace;
    m_list->setDropTarget([this] { LV_Spells_OLEDragDrop(); });
    followCasters();
    if (!LoadCasters())
        return false;
    showCaster(caster);
    return true;
}

void Frm_Unlearned::ResetCurrent(const QString &caster)
{
    m_caster = caster;
}

QString Frm_Unlearned::ResetCurrent() const
{
    return m_caster.trimmed();
}

bool Frm_Unlearned::LoadCasters()
{
    const std::optional<QStringList> read = FormControls::spellbookNames(this, m_workspace->library());
    const QStringList names = read.value_or(QStringList());
    const QSignalBlocker quiet(m_casters);
    m_casters->hide();
    m_casters->clear();
    for (const QString &name : std::as_const(names)) {
        if (name.trimmed() != kReservedSpellbook)
            m_casters->addItem(name.trimmed());
    }
    m_casters->setCurrentIndex(m_casters->findText(ResetCurrent(), Qt::MatchExactly));
    m_casters->show();
    return read.has_value();
}

void Frm_Unlearned::showCaster(const QString &caster)
{
    {
        const QSignalBlocker quiet(m_casters);
        m_casters->setCurrentIndex(m_casters->findText(caster.trimmed(), Qt::MatchExactly));
    }
    Cmbo_Casters_Click();
}

void Frm_Unlearned::Cmbo_Casters_Click()
{
    BusyCursor busy;
    ResetCurrent(m_casters->currentText().trimmed());
    // Spells dropped with no caster chosen would belong to nobody.
    m_list->setDropsAccepted(!ResetCurrent().isEmpty());
    reloadList();
}

void Frm_Unlearned::reloadList(bool keepPlace)
{
    ListRows failed;
    if (!ResetCurrent().isEmpty()) {
        try {
            m_workspace->library().LoadSpellList(ResetCurrent(), failed);
        } catch (const VmError &error) {
            Prompt::report(this, error);
        }
    }
    QSet<QString> chosen;
    if (keepPlace) {
        for (const ListRow &row : selectedRowsOf(m_list))
            chosen.insert(row.text);
        for (ListRow &row : failed)
            row.selected = chosen.contains(row.text);
    }
    const auto reload = [&] {
        const QSignalBlocker quiet(m_list);
        m_list->rows()->clear();
        appendRows(m_list, failed);
        m_sort->forget();
    };
    if (keepPlace)
        m_sort->keepAcross(reload);
    else
        reload();
    m_panels->showCounts(m_list->rowCount(), 0);
    // A reloaded list has no selection to count: the panel stays empty until the user clicks.
    if (keepPlace && !chosen.isEmpty())
        m_panels->showSelected(selectedCount(m_list));
    else
        m_panels->panel(2)->clear();
}

void Frm_Unlearned::LV_Spells_Click()
{
    m_panels->showSelected(selectedCount(m_list));
}

void Frm_Unlearned::LV_Spells_ColumnClick(int column)
{
    m_sort->sortBy(column);
}

void Frm_Unlearned::LV_Spells_DblClick()
{
    U_Menu_View_Click();
}

void Frm_Unlearned::LV_Spells_MouseDown(const QPoint &position)
{
    m_workspace->menu(QStringLiteral("Private_Menu_Unlearned"))
        ->popup(m_list->viewport()->mapToGlobal(position));
}

bool Frm_Unlearned::hasSelection()
{
    if (firstSelectedRow(m_list) >= 0)
        return true;
    Prompt::message(this, QStringLiteral("No spells are selected"));
    return false;
}

void Frm_Unlearned::U_Menu_View_Click()
{
    if (hasSelection())
        m_workspace->viewSpell(firstSelectedName(m_list), this);
}

void Frm_Unlearned::U_Menu_Manage_Click()
{
    if (hasSelection())
        m_workspace->manageSpell(firstSelectedName(m_list), this);
}

void Frm_Unlearned::LV_Spells_OLEDragDrop()
{
    VM_DragDropAssistant &assistant = m_workspace->dragDropAssistant();
    if (ResetCurrent().isEmpty() || !assistant.Validate_Drop())
        return;
    BusyCursor busy;
    const QString status = assistant.Unpack_To_Unlearned(m_casters->currentText().trimmed());
    const int added = assistant.NumberAdded();
    if (Prompt::failed(this, status)) {
        // Spells that were still in the library went in all the same.
        if (added == 0)
            return;
    }
    reloadList();
    m_panels->showTransient(QString::number(added) + QStringLiteral(" spells added"));
}

void Frm_Unlearned::U_Menu_Read_Click()
{
    if (!hasSelection())
        return;
    const QString caster = ResetCurrent();
    const ListRows chosen = selectedRowsOf(m_list);
    try {
        QStringList spells;
        for (const ListRow &row : chosen)
            spells.append(row.text);
        const QString question = CasterCapacity().joiningQuestion({caster}, spells);
        if (!question.isEmpty() && !Prompt::ask(this, question))
            return;
        BusyCursor busy;
        m_workspace->library().Learn_Failed_Spells(caster, chosen);
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    emit m_workspace->events().spellbookChanged(caster);
    reloadList();
    Prompt::message(this, QStringLiteral("Selected Spells have been removed and added to Spellbook"));
}

void Frm_Unlearned::U_Menu_Remove_Click()
{
    if (!hasSelection())
        return;
    try {
        BusyCursor busy;
        m_workspace->library().Remove_Spells_From_Failed(ResetCurrent(), selectedRowsOf(m_list));
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    reloadList();
    Prompt::message(this, QStringLiteral("Selected Spells have been removed but not added to Spellbook"));
}

void Frm_Unlearned::followCasters()
{
    LibraryEvents &events = m_workspace->events();
    // A caster deleted or renamed elsewhere is not left chosen: its list empties.
    connect(&events, &LibraryEvents::castersChanged, this, [this] {
        LoadCasters();
        if (m_casters->currentIndex() < 0 && !ResetCurrent().isEmpty())
            Cmbo_Casters_Click();
    });
    // A failed spell whose spell has left the library is no longer listed.
    // A change made elsewhere leaves the user's selection and sort as they were.
    connect(&events, &LibraryEvents::spellDeleted, this, [this] { reloadList(true); });
    connect(&events, &LibraryEvents::spellsChanged, this, [this] { reloadList(true); });
    // An undo or redo may have changed the failed spells themselves.
    connect(&events, &LibraryEvents::libraryRestored, this, [this] { reloadList(true); });
}
