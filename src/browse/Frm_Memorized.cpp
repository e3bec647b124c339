// The memorized window: the day's slots per level, filled from the library and kept up to date.
// Its commands are in Frm_Memorized_Commands.cpp.

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
#include "widgets/ChildDialog.h"
#include "widgets/FormControls.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/Prompt.h"
#include "widgets/ReadableColour.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The two pictures of this window's own commands, in the tool bar's style: a crescent moon for
// the rest, a slate wiped clean for clearing the day.
QIcon paintedIcon(bool moon)
{
    return ToolIcons::paintedOnGrid([moon](QPainter &painter) {
        painter.setPen(IconPalette::inkPen(1.2));
        if (moon) {
            QPainterPath disc;
            disc.addEllipse(QRectF(3, 3, 18, 18));
            QPainterPath bite;
            bite.addEllipse(QRectF(8, 1, 16, 16));
            painter.setBrush(IconPalette::kBrass);
            painter.drawPath(disc.subtracted(bite));
        } else {
            painter.setBrush(IconPalette::kParchment);
            painter.drawRoundedRect(QRectF(3, 4, 18, 16), 2, 2);
            painter.setPen(QPen(IconPalette::kWax, 2.4, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(8, 8), QPointF(16, 16));
            painter.drawLine(QPointF(16, 8), QPointF(8, 16));
        }
    });
}

} // namespace

Frm_Memorized::Frm_Memorized(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Memorized"));
    setWindowIcon(ToolIcons::icon(ToolIcons::Spellbooks));

    m_toolbar = new ButtonToolBar(QStringLiteral("Toolbar1"), this);
    m_toolbar->addButton(QStringLiteral("View Spell"), QStringLiteral("View Spell"),
                         ToolIcons::icon(ToolIcons::ViewSpell));
    m_toolbar->addDivider(QStringLiteral("Divider1"));
    m_toolbar->addButton(QStringLiteral("Rest"), QStringLiteral("Rest: every cast spell is ready again"),
                         paintedIcon(true));
    m_toolbar->addButton(QStringLiteral("Clear All"),
                         QStringLiteral("Clear All: forget every memorized spell"), paintedIcon(false));
    m_toolbar->addDivider(QStringLiteral("Divider2"));
    m_toolbar->addMenuButton(
        QStringLiteral("Print"), QStringLiteral("Print"), ToolIcons::icon(ToolIcons::Print),
        {{QStringLiteral("Print Memorized"), QStringLiteral("Print Memorized Sheet")},
         {QStringLiteral("Preview Memorized"), QStringLiteral("Preview Memorized Sheet")}});
    m_toolbar->addDivider(QStringLiteral("Divider3"));
    // A plan is chosen or named in the box, then loaded or kept with one press.
    m_plans = new QComboBox(this);
    m_plans->setObjectName(QStringLiteral("Cbo_Plan"));
    m_plans->setAccessibleName(QStringLiteral("Plan"));
    m_plans->setAccessibleDescription(QStringLiteral("The name of a saved day of memorized spells"));
    m_plans->setEditable(true);
    m_plans->setInsertPolicy(QComboBox::NoInsert);
    m_plans->setMinimumContentsLength(8);
    m_plans->lineEdit()->setPlaceholderText(QStringLiteral("Plan name"));
    m_plans->setToolTip(QStringLiteral("A named plan of the day: choose one to load, or type a name to "
                                       "keep the day's spells under it"));
    m_toolbar->addWidget(m_plans);
    m_toolbar->addButton(QStringLiteral("Load Plan"),
                         QStringLiteral("Load Plan: the day's slots filled from the plan"),
                         ToolIcons::icon(ToolIcons::Spellbooks));
    m_toolbar->addButton(QStringLiteral("Save Plan"),
                         QStringLiteral("Save Plan: keep the day's spells under the plan's name"),
                         ToolIcons::icon(ToolIcons::SaveSpell));
    m_toolbar->addButton(QStringLiteral("Delete Plan"), QStringLiteral("Delete Plan"),
                         ToolIcons::icon(ToolIcons::DeleteSpell));

    // The two commands of the day are read as well as seen.
    for (const QString &key : {QStringLiteral("Rest"), QStringLiteral("Clear All")}) {
        m_toolbar->button(key)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        m_toolbar->button(key)->setText(key);
    }
    m_crystal = new ReportEngine(this);
    connect(m_toolbar, &ButtonToolBar::buttonClicked, this, &Frm_Memorized::Toolbar1_ButtonClick);
    connect(m_toolbar, &ButtonToolBar::buttonMenuClicked, this, &Frm_Memorized::Toolbar1_ButtonMenuClick);

    m_view = new MemorizedSlotsView(this);
    // Anywhere on the window, the list of slots included, takes a drop: each spell goes to its own
    // level.
    setAcceptDrops(true);
    // A double click, or Enter, on a slot: the view reports both as an activation.
    connect(m_view, &QTreeWidget::itemActivated, this, &Frm_Memorized::TV_Memorized_DblClick);
    m_view->setAccessibleName(QStringLiteral("Memorized spells"));
    m_view->setAccessibleDescription(QStringLiteral("The caster's slots by level, with the spell in each"));
    m_view->setFocus();

    auto *statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("SB_Memorized"));
    statusBar->setSizeGripEnabled(false);
    m_panels = new ListStatusPanels(statusBar, this);
    m_panels->panel(2)->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(6, 4, 6, 2);
    body->addWidget(m_view, 1);
    layout->addLayout(body, 1);
    layout->addWidget(statusBar);
}

Frm_Memorized::~Frm_Memorized() = default;

QSize Frm_Memorized::sizeHint() const
{
    return QSize(560, 600);
}

bool Frm_Memorized::Initialize(Workspace &workspace, const QString &caster)
{
    m_workspace = &workspace;
    m_caster = trimBlanks(caster);
    setWindowTitle(kCaptionPrefix + m_caster);
    m_view->setToolTip(FormControls::plainToolTip(
        QStringLiteral("Drag spells from the browser of %1's spellbook onto this window to "
                       "memorize them; double-click a spell to read its card")
            .arg(m_caster)));
    // The caster may have gone since the browser it was chosen in was used last.
    try {
        if (!casterExists()) {
            Prompt::message(this, QStringLiteral("There is no caster named %1 in the library").arg(m_caster));
            return false;
        }
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return false;
    }
    if (!Load_Memorized())
        return false;
    listPlans();
    followLibrary();
    return true;
}

bool Frm_Memorized::casterExists() const
{
    const QStringList names = m_workspace->library().Get_Exisiting_Spellbook_Names();
    return std::any_of(names.cbegin(), names.cend(),
                       [this](const QString &name) { return trimBlanks(name) == m_caster; });
}

bool Frm_Memorized::Load_Memorized()
{
    try {
        m_slotsPerLevel = m_day.Fetch_Slots_Per_Level(m_caster);
        m_slots = m_day.Fetch_Memorized_Slots(m_caster);
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return false;
    }
    fill();
    return true;
}

QString Frm_Memorized::levelCaption(int level) const
{
    int memorized = 0;
    int cast = 0;
    for (const MemorizedSlot &slot : m_slots) {
        if (slot.level == level) {
            ++memorized;
            cast += slot.cast ? 1 : 0;
        }
    }
    const int capacity = m_slotsPerLevel[level - 1];
    if (capacity == 0 && memorized == 0)
        return SpellLevels::ordinal(level) + QStringLiteral(": no slots");
    QString caption = QStringLiteral("%1: %2 of %3 memorized, %4 cast")
                          .arg(SpellLevels::ordinal(level))
                          .arg(memorized)
                          .arg(capacity)
                          .arg(cast);
    if (memorized > capacity)
        caption += QStringLiteral(" (%1 more than the day's slots)").arg(memorized - capacity);
    return caption;
}

void Frm_Memorized::fill()
{
    // Where the user was, kept across the rebuild.
    const QTreeWidgetItem *current = m_view->currentItem();
    const int currentLevel = current ? current->data(0, MemorizedSlotsView::LevelRole).toInt() : 0;
    const int currentIndex = current ? current->data(0, MemorizedSlotsView::IndexRole).toInt() : -1;
    QTreeWidgetItem *restore = nullptr;

    m_view->setUpdatesEnabled(false);
    m_view->clear();
    for (int level = 1; level <= SpellLevels::kCount; ++level) {
        auto *group = new QTreeWidgetItem(m_view);
        group->setData(0, MemorizedSlotsView::LevelRole, level);
        group->setData(0, MemorizedSlotsView::IndexRole, -1);
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        if (level == currentLevel && currentIndex < 0)
            restore = group;
        auto *slotsBox = new QSpinBox;
        slotsBox->setObjectName(QStringLiteral("Txt_Slots"));
        slotsBox->setAccessibleName(SpellLevels::ordinal(level) + QStringLiteral("-level slots"));
        slotsBox->setAccessibleDescription(
            QStringLiteral("How many spells of this level the caster memorizes a day"));
        slotsBox->setRange(0, VM_Memorized::kMostSlots);
        slotsBox->setValue(m_slotsPerLevel[level - 1]);
        slotsBox->setSuffix(QStringLiteral(" slots"));
        // Written when the user is done typing (or steps with the arrows), not at every key.
        slotsBox->setKeyboardTracking(false);
        slotsBox->setToolTip(
            FormControls::plainToolTip(QStringLiteral("How many %1-level spells %2 memorizes a day")
                                           .arg(SpellLevels::ordinal(level), m_caster)));
        connect(slotsBox, &QSpinBox::valueChanged, this,
                [this, level](int slotCount) { Txt_Slots_Change(level, slotCount); });
        m_view->setItemWidget(group, 2, slotsBox);

        int index = 0;
        for (const MemorizedSlot &slot : std::as_const(m_slots)) {
            if (slot.level != level)
                continue;
            auto *row = new QTreeWidgetItem(group, {slot.spell});
            row->setData(0, MemorizedSlotsView::LevelRole, level);
            row->setData(0, MemorizedSlotsView::IndexRole, index);
            auto *castButton = new QToolButton;
            castButton->setObjectName(QStringLiteral("Cmd_Cast"));
            connect(castButton, &QToolButton::clicked, this,
                    [this, level, index] { Cmd_Cast_Click(level, index); });
            auto *forgetButton = new QToolButton;
            forgetButton->setObjectName(QStringLiteral("Cmd_Forget"));
            forgetButton->setText(QStringLiteral("Forget"));
            forgetButton->setToolTip(QStringLiteral("Forget the spell: its slot is free again"));
            connect(forgetButton, &QToolButton::clicked, this,
                    [this, level, index] { Cmd_Forget_Click(level, index); });
            m_view->setItemWidget(row, 2, castButton);
            m_view->setItemWidget(row, 3, forgetButton);
            showSlot(row, slot);
            if (level == currentLevel && index == currentIndex)
                restore = row;
            ++index;
        }
        // The free slots of a level are one row: a level can have many.
        if (const int free = m_slotsPerLevel[level - 1] - index; free > 0) {
            auto *row = new QTreeWidgetItem(group, {free == 1 ? QStringLiteral("1 free slot")
                                                              : QStringLiteral("%1 free slots").arg(free)});
            row->setData(0, MemorizedSlotsView::LevelRole, level);
            row->setData(0, MemorizedSlotsView::IndexRole, -2);
            row->setFirstColumnSpanned(true);
            row->setForeground(0, palette().color(QPalette::Disabled, QPalette::Text));
            QFont italic = row->font(0);
            italic.setItalic(true);
            row->setFont(0, italic);
            row->setFlags(row->flags() & ~Qt::ItemIsSelectable);
        }
        group->setExpanded(true);
    }
    showTotals();
    m_view->fitColumns();
    m_view->setUpdatesEnabled(true);
    if (restore)
        m_view->setCurrentItem(restore);
}

void Frm_Memorized::showSlot(QTreeWidgetItem *row, const MemorizedSlot &slot)
{
    const int index = row->data(0, MemorizedSlotsView::IndexRole).toInt();
    QStringList notes;
    if (slot.cast)
        notes.append(QStringLiteral("cast"));
    if (!slot.inSpellbook)
        notes.append(QStringLiteral("no longer in the spellbook"));
    else if (slot.movedLevel())
        notes.append(
            QStringLiteral("now a %1-level spell").arg(SpellLevels::ordinal(slot.spellLevel.toInt())));
    if (index >= m_slotsPerLevel[slot.level - 1])
        notes.append(QStringLiteral("beyond the day's slots"));
    row->setText(1, notes.join(QStringLiteral("; ")));

    // A cast slot is greyed; a mark on a ready one stands out.
    const QColor spent = palette().color(QPalette::Disabled, QPalette::Text);
    const QColor plain = palette().color(QPalette::Active, QPalette::Text);
    row->setForeground(0, slot.cast ? spent : plain);
    row->setForeground(1, slot.cast ? spent
                                    : ReadableColour::against(QColor(0x9a, 0x2a, 0x1a),
                                                              m_view->palette().color(QPalette::Base)));

    if (auto *castButton = qobject_cast<QToolButton *>(m_view->itemWidget(row, 2))) {
        castButton->setText(slot.cast ? QStringLiteral("Undo Cast") : QStringLiteral("Cast"));
        castButton->setToolTip(slot.cast ? QStringLiteral("Not cast after all: the slot is ready again")
                                         : QStringLiteral("Cast the spell: its slot is spent until a rest"));
    }
}

void Frm_Memorized::showTotals()
{
    int memorized = 0;
    int cast = 0;
    int capacity = 0;
    for (const MemorizedSlot &slot : std::as_const(m_slots)) {
        ++memorized;
        cast += slot.cast ? 1 : 0;
    }
    for (int level = 1; level <= SpellLevels::kCount; ++level) {
        capacity += m_slotsPerLevel[level - 1];
        if (QTreeWidgetItem *group = m_view->topLevelItem(level - 1))
            group->setText(0, levelCaption(level));
    }
    m_panels->panel(1)->setText(
        QStringLiteral("%1 of %2 slots memorized, %3 cast").arg(memorized).arg(capacity).arg(cast));
    m_toolbar->button(QStringLiteral("Rest"))->setEnabled(cast > 0);
    m_toolbar->button(QStringLiteral("Clear All"))->setEnabled(memorized > 0);
}

MemorizedSlot *Frm_Memorized::slotAt(int level, int index)
{
    int seen = 0;
    for (MemorizedSlot &slot : m_slots) {
        if (slot.level != level)
            continue;
        if (seen++ == index)
            return &slot;
    }
    return nullptr;
}

QTreeWidgetItem *Frm_Memorized::slotItem(int level, int index) const
{
    if (level < 1 || level > m_view->topLevelItemCount())
        return nullptr;
    QTreeWidgetItem *group = m_view->topLevelItem(level - 1);
    for (int child = 0; child < group->childCount(); ++child) {
        if (group->child(child)->data(0, MemorizedSlotsView::IndexRole).toInt() == index)
            return group->child(child);
    }
    return nullptr;
}

void Frm_Memorized::printMain()
{
    printSheet(false);
}

void Frm_Memorized::printSheet(bool preview)
{
    PrintCommand command(this, m_workspace->progressPanel());
    if (!preview)
        command.showProgress(QStringLiteral("Printing Memorized Spells of ") + m_caster +
                             QStringLiteral("..."));
    command.run([&] {
        const QString status = m_workspace->library().Set_Caster_Hold(m_caster, QString());
        if (!status.isEmpty()) {
            command.tell(status);
            return;
        }
        m_crystal->run({QStringLiteral("memorized.rpt"),
                        preview ? ReportEngine::Destination::Window : ReportEngine::Destination::Printer,
                        QStringLiteral("Previewing Memorized Spells of ") + m_caster});
    });
}

void Frm_Memorized::followLibrary()
{
    LibraryEvents &events = m_workspace->events();
    // Spells leaving the book are marked, not dropped: the caster still has them in mind.
    connect(&events, &LibraryEvents::spellbookChanged, this, [this](const QString &caster) {
        if (trimBlanks(caster) == m_caster)
            Load_Memorized();
    });
    connect(&events, &LibraryEvents::spellsChanged, this, [this] { Load_Memorized(); });
    connect(&events, &LibraryEvents::spellDeleted, this, [this] { Load_Memorized(); });
    // A changed record changes the slots; a deleted caster takes the day along, and the window.
    connect(&events, &LibraryEvents::castersChanged, this, [this] {
        bool exists = true;
        try {
            exists = casterExists();
        } catch (const VmError &error) {
            Prompt::report(this, error);
            return;
        }
        if (!exists) {
            ChildDialog::closeWindow(this);
            return;
        }
        Load_Memorized();
    });
}
