#pragma once

#include "store/VM_Memorized.h"
#include "widgets/PrintableWindow.h"

#include <QWidget>

#include <memory>

class ButtonToolBar;
class QComboBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class ListStatusPanels;
class MemorizedSlotsView;
class QTreeWidgetItem;
class ReportEngine;
class Workspace;

// A caster's day: the spells memorized from her spellbook in the day's slots of each level (set
// here; they start from her record's figures), which of them are cast, a rest that makes every
// cast slot ready again, and named plans of a day. One window per caster; spells are memorized by
// dragging them from the caster's own browser anywhere onto the window.
class Frm_Memorized : public QWidget, public PrintableWindow
{
    Q_OBJECT

public:
    static inline const QString kCaptionPrefix = QStringLiteral("Memorized Spells of ");

    explicit Frm_Memorized(QWidget *parent = nullptr);
    ~Frm_Memorized() override;

    // Must run before the window is shown. False when the caster's day could not be read; the
    // user has been told why, and the window is of no use.
    bool Initialize(Workspace &workspace, const QString &caster);

    // The caster's name; the frame finds the window by it.
    QString tag() const { return m_caster; }
    QSize sizeHint() const override;

    // Reads the day and the caster's slots afresh. False when that failed (the user was told).
    bool Load_Memorized();
    // Ctrl+P: the memorized sheet to the printer.
    void printMain() override;

    // The row of a memorized slot, for a level and its place in the list of the level's spells.
    QTreeWidgetItem *slotItem(int level, int index) const;

public slots:
    void Toolbar1_ButtonClick(const QString &key);
    void Toolbar1_ButtonMenuClick(const QString &key);
    void Cmd_Cast_Click(int level, int index);
    void Cmd_Forget_Click(int level, int index);
    void Cmd_Rest_Click();
    void Cmd_ClearAll_Click();
    void TV_Memorized_DblClick(QTreeWidgetItem *item);
    void TV_Memorized_OLEDragDrop();
    void Txt_Slots_Change(int level, int slotCount);
    void Cmd_SavePlan_Click();
    void Cmd_LoadPlan_Click();
    void Cmd_DeletePlan_Click();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Whether the caster is in the library; throws VmError when the library cannot be read.
    bool casterExists() const;
    void fill();
    // Shows a slot's state in its row: notes, grey when cast, the Cast button's text.
    void showSlot(QTreeWidgetItem *row, const MemorizedSlot &slot);
    // The level captions, the counts of the status bar and the commands that need slots.
    void showTotals();
    MemorizedSlot *slotAt(int level, int index);
    QString levelCaption(int level) const;
    void followLibrary();
    // The plans of the caster in the plan box, keeping what is typed there.
    void listPlans();
    QString planName() const;
    void printSheet(bool preview);
    // Shows a failed change, then what the library holds now.
    void report(const QString &status);

    Workspace *m_workspace = nullptr;
    QString m_caster;
    VM_Memorized m_day;
    SlotsPerLevel m_slotsPerLevel{};
    QList<MemorizedSlot> m_slots;

    ButtonToolBar *m_toolbar = nullptr;
    MemorizedSlotsView *m_view = nullptr;
    ListStatusPanels *m_panels = nullptr;
    QComboBox *m_plans = nullptr;
    ReportEngine *m_crystal = nullptr;
};
