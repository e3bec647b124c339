// The spellbook browser's controls and their layout, and how they fit the window as it is resized.

#include "browse/Frm_Browser.h"

#include "browse/LevelCountDelegate.h"
#include "browse/ReportEngine.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/CSplitter.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/FormScrollArea.h"
#include "widgets/LevelGrid.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/ListView.h"
#include "widgets/ToolIcons.h"
#include "widgets/WindowArrangement.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

// The browser's controls and where they sit.

namespace {

// The window is laid out at 9000 x 6195 twips; the list is 6615 twips wide.
// It opens larger, where spell names and schools can be read whole.
constexpr int kWindowWidth = 9000 / 15;
constexpr int kWindowHeight = 6195 / 15;
constexpr QSize kOpeningSize(900, 580);
// Widths that show every column in the list's laid-out width; "Page" takes the rest.
constexpr int kColumnWidths[] = {122, 40, 102, 80, 36, 36};
constexpr int kListWidth = 6615 / 15;
constexpr int kMargin = 6;
constexpr int kMinPane = 120;

} // namespace

Frm_Browser::Frm_Browser(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Browser"));
    setWindowIcon(ToolIcons::icon(ToolIcons::Spellbooks));
    createControls();
    placeControls();
}

Frm_Browser::~Frm_Browser() = default;

QSize Frm_Browser::sizeHint() const
{
    return kOpeningSize;
}

void Frm_Browser::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_columnsFitted)
        return;
    m_columnsFitted = true;
    // Once the window has its opening size, the width the list gained over its laid-out size goes
    // to the two columns that need it; later the user's own column widths are left alone.
    QTimer::singleShot(0, this, &Frm_Browser::fitColumns);
}

void Frm_Browser::fitColumns()
{
    // The filters get room for the longest school name, as far as the list can spare it.
    int schoolWidth = 0;
    for (int row = 0; row < m_schoolsList->count(); ++row)
        schoolWidth = std::max(
            schoolWidth, m_schoolsList->fontMetrics().horizontalAdvance(m_schoolsList->item(row)->text()));
    const int wanted = std::min(schoolWidth + 2 * m_schoolsList->frameWidth() +
                                    m_schoolsList->verticalScrollBar()->sizeHint().width() + 12,
                                width() / 3);
    m_filtersWanted = wanted;
    widenFilters(wanted);

    // The last column stretches to the edge, so it counts at its laid-out width.
    int used = kColumnWidths[5];
    for (int column = 0; column < 5; ++column)
        used += m_list->columnWidth(column);
    const int extra = m_list->viewport()->width() - used;
    if (extra > 0) {
        m_list->setColumnWidth(0, m_list->columnWidth(0) + extra * 2 / 5);
        m_list->setColumnWidth(2, m_list->columnWidth(2) + extra * 3 / 5);
    }
}

void Frm_Browser::widenFilters(int wanted)
{
    if (wanted <= m_filterPane->width())
        return;
    const int room = m_list->width() - std::max(kMinPane, kListWidth * 3 / 4);
    if (room > 0)
        m_splitter->MoveBar(m_splitter->barPosition() - std::min(room, wanted - m_filterPane->width()));
}

void Frm_Browser::shareWidth()
{
    // The splitter gives a narrower window's loss to the list alone: tiled small, the spells
    // would vanish beside filters that can scroll.
    const int listWidth = m_list->width();
    const int filtersWidth = m_filterPane->width();
    if (listWidth < filtersWidth)
        m_splitter->MoveBar(m_splitter->barPosition() + (filtersWidth - listWidth + 1) / 2);
    else
        widenFilters(m_filtersWanted);
}

void Frm_Browser::keepListInWidth(int width)
{
    // The splitter refuses a resize that would take the list below nothing, and leaves every
    // control where it was, cut off by the smaller window. The filters give up the width first.
    const int lastWidth = m_filterPane->geometry().right() + 1 + kMargin;
    const int listAfter = m_list->width() + width - lastWidth;
    if (listAfter < kMinPane / 2) {
        const int give = std::min(kMinPane / 2 - listAfter, m_filterPane->width());
        m_splitter->MoveBar(m_splitter->barPosition() + give);
    }
}

void Frm_Browser::fitLevelsHeight()
{
    // Counts widen the cells, and a narrow filter pane wraps the nine levels into more than
    // three rows: the height follows the rows the list really lays out.
    m_levels->doItemsLayout();
    m_levels->scrollToTop();
    int bottom = 0;
    for (int row = 0; row < m_levels->count(); ++row)
        bottom = std::max(bottom, m_levels->visualItemRect(m_levels->item(row)).bottom());
    const int height = bottom + 1 + m_levels->spacing() + 2 * m_levels->frameWidth() + 2;
    if (height != m_levels->height())
        m_levels->setFixedHeight(height);
}

bool Frm_Browser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_levels && event->type() == QEvent::Resize)
        fitLevelsHeight();
    else if (watched == this && event->type() == QEvent::Resize)
        keepListInWidth(static_cast<QResizeEvent *>(event)->size().width());
    return QWidget::eventFilter(watched, event);
}

void Frm_Browser::createControls()
{
    m_toolbar = new ButtonToolBar(QStringLiteral("Toolbar1"), this);
    m_toolbar->addButton(QStringLiteral("View Spell"), QStringLiteral("View Spell"),
                         ToolIcons::icon(ToolIcons::ViewSpell));
    m_toolbar->addButton(QStringLiteral("Manage Spell"), QStringLiteral("Manage Spell"),
                         ToolIcons::icon(ToolIcons::ManageSpell));
    m_toolbar->addMenuButton(
        QStringLiteral("Print Spellbook"), QStringLiteral("Print"), ToolIcons::icon(ToolIcons::Print),
        {{QStringLiteral("Print Spellbook"), QStringLiteral("Print Spellbook")},
         {QStringLiteral("Preview Spellbook"), QStringLiteral("Preview Spellbook")},
         {},
         {QStringLiteral("Print Filtered"), QStringLiteral("Print Filtered")},
         {QStringLiteral("Preview Filtered"), QStringLiteral("Preview Filtered")},
         {},
         {QStringLiteral("Print Selected Spells"), QStringLiteral("Print Selected Spells")},
         {},
         {QStringLiteral("Print Deck"), QStringLiteral("Print Deck\u2026")}});
    m_toolbar->addDivider(QStringLiteral("Divider1"));
    m_toolbar->addButton(QStringLiteral("Unlearned Spells"), QStringLiteral("Unlearned Spells"),
                         ToolIcons::icon(ToolIcons::Unlearned));
    m_toolbar->addButton(QStringLiteral("Fill Spellbook"), QStringLiteral("Fill Spellbook\u2026"),
                         ToolIcons::icon(ToolIcons::ManageSpellbooks));
    m_toolbar->addButton(QStringLiteral("Memorized Spells"), QStringLiteral("Memorized Spells"),
                         ToolIcons::icon(ToolIcons::Spellbooks));
    m_toolbar->addDivider(QStringLiteral("Divider2"));
    m_toolbar->addButton(QStringLiteral("Export Selected Spells"), QStringLiteral("Export Selected Spells"),
                         ToolIcons::icon(ToolIcons::ExportSelected));
    m_toolbar->addMenuButton(QStringLiteral("Export Spellbook"), QStringLiteral("Export Spellbook"),
                             ToolIcons::icon(ToolIcons::ExportSpellbook),
                             {{QStringLiteral("Full"), QStringLiteral("Full Spellbook")},
                              {},
                              {QStringLiteral("Filtered"), QStringLiteral("Filtered Only")}});
    m_toolbar->addButton(QStringLiteral("Requery"), QStringLiteral("Requery"),
                         ToolIcons::icon(ToolIcons::Requery));
    m_crystal = new ReportEngine(this);
    connect(m_toolbar, &ButtonToolBar::buttonClicked, this, &Frm_Browser::Toolbar1_ButtonClick);
    connect(m_toolbar, &ButtonToolBar::buttonMenuClicked, this, &Frm_Browser::Toolbar1_ButtonMenuClick);

    m_list = new ListView(QStringLiteral("LV_Spells"),
                          {QStringLiteral("Spell Name"), QStringLiteral("Level"), QStringLiteral("Schools"),
                           QStringLiteral("Frequency"), QStringLiteral("Book"), QStringLiteral("Page")},
                          this);
    m_list->header()->setMinimumSectionSize(24);
    // No header loses letters to the sort arrow.
    for (int column = 0; column < 6; ++column)
        m_list->setColumnWidth(column, std::max(kColumnWidths[column], m_list->headerWidth(column)));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_sort = new ColumnSortToggle(m_list);
    connect(m_list, &ListView::rowSelectionChanged, this, &Frm_Browser::LV_Spells_Click);
    connect(m_list, &ListView::rowDoubleClicked, this, &Frm_Browser::LV_Spells_DblClick);
    connect(m_list, &ListView::focusReceived, this, &Frm_Browser::LV_Spells_GotFocus);
    connect(m_list, &QWidget::customContextMenuRequested, this, &Frm_Browser::LV_Spells_MouseDown);
    connect(m_list, &ListView::rowActivated, this, &Frm_Browser::LV_Spells_DblClick);
    connect(m_list, &ListView::deleteRequested, this, &Frm_Browser::B_Menu_Remove_Click);
    m_list->setAccessibleName(QStringLiteral("Spells"));
    m_list->setAccessibleDescription(
        QStringLiteral("The spells of the spellbook at the levels and schools chosen"));
    m_list->setFocus();
    // F5 filters afresh, as the Requery button does, in whichever browser the user is in.
    auto *requery = new QShortcut(QKeySequence::Refresh, this, this,
                                  [this] { m_toolbar->button(QStringLiteral("Requery"))->click(); });
    requery->setContext(Qt::WidgetWithChildrenShortcut);

    m_filterPane = new FormScrollArea(createFilters(), this);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("SB_Browser"));
    m_statusBar->setSizeGripEnabled(false);
    m_panels = new ListStatusPanels(m_statusBar, this);

    // The splitter bar between the list and the filters, and its ghost while dragging.
    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("Image1"));
    m_ghost = new QWidget(this);
    m_ghost->setObjectName(QStringLiteral("Picture1"));
    m_ghost->setAutoFillBackground(true);
    QPalette ghostPalette = m_ghost->palette();
    ghostPalette.setColor(QPalette::Window, palette().color(QPalette::Mid));
    m_ghost->setPalette(ghostPalette);
}

QPushButton *Frm_Browser::addFilterButton(const QString &name, const QString &caption,
                                          void (Frm_Browser::*handler)())
{
    auto *button = new QPushButton(caption, m_filters);
    button->setObjectName(name);
    button->setAutoDefault(false);
    // A push button asks for a width of its own, wider than "All" and "None" need: at that width
    // the pair would widen the filters past the room the list leaves them.
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(caption) +
                            2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) + 8);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

QWidget *Frm_Browser::createFilters()
{
    m_filters = new QWidget(this);
    m_filters->setObjectName(QStringLiteral("Frame_Filters"));

    m_levels = LevelGrid::create(m_filters);
    m_levels->setItemDelegate(new LevelCountDelegate(m_levels));
    // The list is always as tall as its rows; a scroll bar would only narrow it into more rows.
    m_levels->setFixedHeight(LevelGrid::threeByThree(m_levels).height());
    m_levels->installEventFilter(this);

    m_schoolsList = new QListWidget(m_filters);
    m_schoolsList->setObjectName(QStringLiteral("Lst_Schools"));
    m_schoolsList->setSelectionMode(QAbstractItemView::MultiSelection);
    m_schoolsList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_schoolsList->setTextElideMode(Qt::ElideRight);
    m_schoolsList->setAccessibleName(QStringLiteral("Schools"));
    m_schoolsList->setAccessibleDescription(QStringLiteral("The schools whose spells are listed"));

    auto buttons = [this](QPushButton *all, QPushButton *none) {
        auto *row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(all);
        row->addWidget(none);
        return row;
    };
    auto *levelsLabel = new QLabel(QStringLiteral("Levels"), m_filters);
    auto *schoolsLabel = new QLabel(QStringLiteral("Schools"), m_filters);
    levelsLabel->setBuddy(m_levels);
    schoolsLabel->setBuddy(m_schoolsList);
    // Each list is followed by its own All and None, as they read on screen.
    QPushButton *levelsAll = addFilterButton(QStringLiteral("Opt_Levels_All"), QStringLiteral("All"),
                                             &Frm_Browser::Opt_Levels_All_Click);
    QPushButton *levelsNone = addFilterButton(QStringLiteral("Opt_Levels_None"), QStringLiteral("None"),
                                              &Frm_Browser::Opt_Levels_None_Click);
    QPushButton *schoolsAll = addFilterButton(QStringLiteral("Opt_Schools_All"), QStringLiteral("All"),
                                              &Frm_Browser::Opt_Schools_All_Click);
    QPushButton *schoolsNone = addFilterButton(QStringLiteral("Opt_Schools_None"), QStringLiteral("None"),
                                               &Frm_Browser::Opt_Schools_None_Click);
    QWidget *order[] = {m_list, m_levels, levelsAll, levelsNone, m_schoolsList, schoolsAll, schoolsNone};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    auto *layout = new QVBoxLayout(m_filters);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(levelsLabel);
    layout->addWidget(m_levels);
    layout->addLayout(buttons(levelsAll, levelsNone));
    layout->addSpacing(6);
    layout->addWidget(schoolsLabel);
    layout->addWidget(m_schoolsList, 1);
    layout->addLayout(buttons(schoolsAll, schoolsNone));
    return m_filters;
}

void Frm_Browser::placeControls()
{
    // Controls sit at fixed places; the splitter stretches and moves them with the window.
    resize(kWindowWidth, kWindowHeight);
    const int toolbarHeight = m_toolbar->sizeHint().height();
    const int statusHeight = m_statusBar->sizeHint().height();
    const int top = toolbarHeight + 2;
    const int height = kWindowHeight - statusHeight - 4 - top;
    const int barLeft = kMargin + kListWidth;
    const int filtersLeft = barLeft + CSplitter::kBarThickness;

    m_toolbar->setGeometry(0, 0, kWindowWidth, toolbarHeight);
    m_list->setGeometry(kMargin, top, kListWidth, height);
    m_bar->setGeometry(barLeft, top, CSplitter::kBarThickness, height);
    m_filterPane->setGeometry(filtersLeft, top, kWindowWidth - kMargin - filtersLeft, height);
    m_statusBar->setGeometry(0, kWindowHeight - statusHeight, kWindowWidth, statusHeight);

    m_splitter = new CSplitter(this);
    m_splitter->Init(m_bar, m_ghost, CSplitter::kVertical, kMinPane);
    m_splitter->SetMinFormSize(WindowArrangement::kSmallestWindow.width(),
                               WindowArrangement::kSmallestWindow.height());
    m_splitter->ResizeOnResize(CSplitter::kWidth, {m_list, m_toolbar, m_statusBar});
    m_splitter->ResizeOnResize(CSplitter::kHeight, {m_list, m_bar, m_filterPane});
    m_splitter->MoveOnResize(CSplitter::kWidth, {m_bar, m_filterPane});
    m_splitter->MoveOnResize(CSplitter::kHeight, {m_statusBar});
    m_splitter->ResizeOnDrag(1, {m_list});
    m_splitter->ResizeOnDrag(2, {m_filterPane});
    m_splitter->MoveOnDrag(2, {m_filterPane});
    connect(m_splitter, &CSplitter::AfterResize, this, &Frm_Browser::shareWidth);
    // Installed after the splitter's, so it sees a resize first.
    installEventFilter(this);
}
