// The memorized window's commands: cast, forget, rest, clear, memorize by drop, and the tool
// bar that asks for them.

#include "browse/Frm_Memorized.h"

#include "browse/MemorizedSlotsView.h"
#include "browse/PrintCommand.h"
#include "browse/ReportEngine.h"
#include "browse/VM_DragDropAssistant.h"
#include "store/Blanks.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/Prompt.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString spells(int count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" spell") : QStringLiteral(" spells"));
}

} // namespace

void Frm_Memorized::report(const QString &status)
{
    Prompt::message(this, status.trimmed());
    Load_Memorized();
}

void Frm_Memorized::Cmd_Cast_Click(int level, int index)
{
    MemorizedSlot *slot = slotAt(level, index);
    if (!slot)
        return;
    const MemorizedSlot chosen = *slot;
    const QString status = m_day.Update_Memorized_Cast(m_caster, chosen, !chosen.cast);
    if (!status.isEmpty()) {
        report(status);
        return;
    }
    // Only this slot changed: the rows stay, and so does the user's place in them.
    slot->cast = !chosen.cast;
    if (QTreeWidgetItem *row = slotItem(level, index))
        showSlot(row, *slot);
    showTotals();
    m_view->fitColumns();
    m_panels->showTransient(chosen.cast ? chosen.spell + QStringLiteral(" is ready again")
                                        : chosen.spell + QStringLiteral(" cast"));
}

void Frm_Memorized::Cmd_Forget_Click(int level, int index)
{
    const MemorizedSlot *slot = slotAt(level, index);
    if (!slot)
        return;
    const MemorizedSlot chosen = *slot;
    const QString status = m_day.Remove_Memorized_Slot(m_caster, chosen);
    if (!status.isEmpty()) {
        report(status);
        return;
    }
    Load_Memorized();
    m_panels->showTransient(chosen.spell + QStringLiteral(" forgotten"));
}

void Frm_Memorized::Cmd_Rest_Click()
{
    int cast = 0;
    for (const MemorizedSlot &slot : std::as_const(m_slots))
        cast += slot.cast ? 1 : 0;
    const QString status = m_day.Update_Memorized_Rest(m_caster);
    if (!status.isEmpty()) {
        report(status);
        return;
    }
    int index = 0;
    int level = 0;
    for (MemorizedSlot &slot : m_slots) {
        index = slot.level == level ? index + 1 : 0;
        level = slot.level;
        if (!slot.cast)
            continue;
        slot.cast = false;
        if (QTreeWidgetItem *row = slotItem(slot.level, index))
            showSlot(row, slot);
    }
    showTotals();
    m_view->fitColumns();
    m_panels->showTransient(QStringLiteral("Rested: %1 ready again").arg(spells(cast)));
}

void Frm_Memorized::Cmd_ClearAll_Click()
{
    if (!Prompt::ask(
            this,
            QStringLiteral("Are you sure you want to forget every spell %1 has memorized?").arg(m_caster)))
        return;
    const QString status = m_day.Remove_All_Memorized(m_caster);
    if (!status.isEmpty()) {
        report(status);
        return;
    }
    Load_Memorized();
    m_panels->showTransient(QStringLiteral("Every memorized spell forgotten"));
}

void Frm_Memorized::TV_Memorized_DblClick(QTreeWidgetItem *item)
{
    if (!item || item->data(0, MemorizedSlotsView::IndexRole).toInt() < 0)
        return;
    const MemorizedSlot *slot = slotAt(item->data(0, MemorizedSlotsView::LevelRole).toInt(),
                                       item->data(0, MemorizedSlotsView::IndexRole).toInt());
    if (slot)
        m_workspace->viewSpell(slot->spell, this);
}

void Frm_Memorized::TV_Memorized_OLEDragDrop(int level)
{
    VM_DragDropAssistant &assistant = m_workspace->dragDropAssistant();
    if (!assistant.Validate_Drop())
        return;
    QString status;
    int added = 0;
    {
        BusyCursor busy;
        status = assistant.Unpack_To_Memorized(m_caster, level);
        added = assistant.NumberAdded();
    }
    Prompt::failed(this, status);
    Load_Memorized();
    if (added > 0)
        m_panels->showTransient(QStringLiteral("%1 memorized").arg(spells(added)));
}

void Frm_Memorized::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QStringLiteral("View Spell"))
        TV_Memorized_DblClick(m_view->currentItem());
    else if (key == QStringLiteral("Rest"))
        Cmd_Rest_Click();
    else if (key == QStringLiteral("Clear All"))
        Cmd_ClearAll_Click();
}

void Frm_Memorized::Toolbar1_ButtonMenuClick(const QString &key)
{
    if (key == QStringLiteral("Print Memorized"))
        printSheet(false);
    else if (key == QStringLiteral("Preview Memorized"))
        printSheet(true);
}
