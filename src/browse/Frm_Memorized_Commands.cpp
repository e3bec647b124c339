// The memorized window's commands: cast, forget, rest, clear, memorize by drop, the day's slots,
// plans, and the tool bar that asks for them.

#include "browse/Frm_Memorized.h"

#include "browse/MemorizedSlotsView.h"
#include "browse/PrintCommand.h"
#include "browse/ReportEngine.h"
#include "browse/VM_DragDropAssistant.h"
#include "store/Blanks.h"
#include "store/SpellLevels.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/ListView.h"
#include "widgets/Prompt.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
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

void Frm_Memorized::TV_Memorized_OLEDragDrop()
{
    VM_DragDropAssistant &assistant = m_workspace->dragDropAssistant();
    if (!assistant.Validate_Drop())
        return;
    QString status;
    int added = 0;
    {
        BusyCursor busy;
        status = assistant.Unpack_To_Memorized(m_caster);
        added = assistant.NumberAdded();
    }
    Prompt::failed(this, status);
    Load_Memorized();
    if (added > 0)
        m_panels->showTransient(QStringLiteral("%1 memorized").arg(spells(added)));
}

namespace {

bool carriesSpells(const QDropEvent *event)
{
    return event->mimeData() && event->mimeData()->hasFormat(ListView::kDragMimeType);
}

} // namespace

void Frm_Memorized::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void Frm_Memorized::dragMoveEvent(QDragMoveEvent *event)
{
    if (carriesSpells(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void Frm_Memorized::dropEvent(QDropEvent *event)
{
    if (!carriesSpells(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    TV_Memorized_OLEDragDrop();
}

void Frm_Memorized::Txt_Slots_Change(int level, int slotCount)
{
    if (Prompt::failed(this, m_day.Update_Slots_Per_Level(m_caster, level, slotCount))) {
        Load_Memorized();
        return;
    }
    m_slotsPerLevel[level - 1] = slotCount;
    // The box that called is part of the rows: they are rebuilt once it has returned, and the
    // new box of the level keeps the keyboard when the old one had it.
    const bool typing = m_view->isAncestorOf(QApplication::focusWidget());
    QTimer::singleShot(0, this, [this, level, typing] {
        fill();
        if (auto *box = m_view->itemWidget(m_view->topLevelItem(level - 1), 2); box && typing)
            box->setFocus();
    });
    m_panels->showTransient(
        QStringLiteral("%1 slots for the %2 level").arg(slotCount).arg(SpellLevels::ordinal(level)));
}

QString Frm_Memorized::planName() const
{
    return m_plans->currentText().trimmed();
}

void Frm_Memorized::listPlans()
{
    const QString typed = m_plans->currentText();
    QStringList names;
    try {
        names = m_day.Fetch_Plan_Names(m_caster);
    } catch (const VmError &error) {
        Prompt::report(this, error);
    }
    m_plans->clear();
    m_plans->addItems(names);
    m_plans->setCurrentText(typed);
    m_toolbar->button(QStringLiteral("Load Plan"))->setEnabled(!names.isEmpty());
    m_toolbar->button(QStringLiteral("Delete Plan"))->setEnabled(!names.isEmpty());
}

void Frm_Memorized::Cmd_SavePlan_Click()
{
    const QString plan = planName();
    if (plan.isEmpty()) {
        Prompt::message(this, QStringLiteral("Type a name for the plan in the plan box first."));
        m_plans->setFocus();
        return;
    }
    if (m_plans->findText(plan) >= 0 &&
        !Prompt::ask(this, QStringLiteral("Replace the plan %1 with the spells memorized now?").arg(plan)))
        return;
    if (Prompt::failed(this, m_day.Save_Plan(m_caster, plan)))
        return;
    listPlans();
    m_plans->setCurrentText(plan);
    m_panels->showTransient(QStringLiteral("Plan %1 saved").arg(plan));
}

void Frm_Memorized::Cmd_LoadPlan_Click()
{
    const QString plan = planName();
    if (m_plans->findText(plan) < 0) {
        Prompt::message(this, plan.isEmpty()
                                  ? QStringLiteral("Choose a plan to load in the plan box first.")
                                  : QStringLiteral("%1 has no plan named %2.").arg(m_caster, plan));
        return;
    }
    QString status;
    {
        BusyCursor busy;
        status = m_day.Load_Plan(m_caster, plan);
    }
    Load_Memorized();
    if (!status.isEmpty())
        Prompt::message(this, status);
    m_panels->showTransient(
        QStringLiteral("Plan %1 loaded: %2 memorized").arg(plan, spells(m_day.NumberMemorized())));
}

void Frm_Memorized::Cmd_DeletePlan_Click()
{
    const QString plan = planName();
    if (m_plans->findText(plan) < 0) {
        Prompt::message(this, QStringLiteral("Choose the plan to delete in the plan box first."));
        return;
    }
    if (!Prompt::ask(this, QStringLiteral("Delete the plan %1?").arg(plan)) ||
        Prompt::failed(this, m_day.Remove_Plan(m_caster, plan)))
        return;
    m_plans->setCurrentText(QString());
    listPlans();
    m_panels->showTransient(QStringLiteral("Plan %1 deleted").arg(plan));
}

void Frm_Memorized::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QStringLiteral("View Spell"))
        TV_Memorized_DblClick(m_view->currentItem());
    else if (key == QStringLiteral("Rest"))
        Cmd_Rest_Click();
    else if (key == QStringLiteral("Clear All"))
        Cmd_ClearAll_Click();
    else if (key == QStringLiteral("Load Plan"))
        Cmd_LoadPlan_Click();
    else if (key == QStringLiteral("Save Plan"))
        Cmd_SavePlan_Click();
    else if (key == QStringLiteral("Delete Plan"))
        Cmd_DeletePlan_Click();
}

void Frm_Memorized::Toolbar1_ButtonMenuClick(const QString &key)
{
    if (key == QStringLiteral("Print Memorized"))
        printSheet(false);
    else if (key == QStringLiteral("Preview Memorized"))
        printSheet(true);
}
