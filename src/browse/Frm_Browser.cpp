#include "browse/Frm_Browser.h"

#include "browse/CSplitter.h"
#include "browse/ColumnSortToggle.h"
#include "browse/Frm_Spell.h"
#include "browse/ListStatusPanels.h"
#include "browse/ListView.h"
#include "browse/ListViewModel.h"
#include "browse/ListViewRows.h"
#include "shell/BusyCursor.h"
#include "shell/ButtonToolBar.h"
#include "shell/Constants.h"
#include "shell/MDI_Main.h"
#include "shell/Prompt.h"
#include "shell/ToolIcons.h"
#include "store/VM_Library.h"
#include "store/VmError.h"

#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kLibrary = QStringLiteral("KXR");

// The window opens at 9000 x 6195 twips and never gets smaller; the list is 6615 twips wide.
constexpr int kWindowWidth = 9000 / 15;
constexpr int kWindowHeight = 6195 / 15;
constexpr int kListWidth = 6615 / 15;
constexpr int kMargin = 6;
constexpr int kMinPane = 120;

const QStringList kLevels = {QStringLiteral("1st"), QStringLiteral("2nd"), QStringLiteral("3rd"),
                             QStringLiteral("4th"), QStringLiteral("5th"), QStringLiteral("6th"),
                             QStringLiteral("7th"), QStringLiteral("8th"), QStringLiteral("9th")};

QStringList selectedTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            texts.append(list->item(row)->text());
    }
    return texts;
}

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
    return QSize(kWindowWidth, kWindowHeight);
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
         {QStringLiteral("Print Selected Spells"), QStringLiteral("Print Selected Spells")}});
    m_toolbar->addDivider(QStringLiteral("Divider1"));
    m_toolbar->addButton(QStringLiteral("Unlearned Spells"), QStringLiteral("Unlearned Spells"),
                         ToolIcons::icon(ToolIcons::Unlearned));
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
    // Printing arrives with the report windows.
    m_toolbar->button(QStringLiteral("Print Spellbook"))->setEnabled(false);
    connect(m_toolbar, &ButtonToolBar::buttonClicked, this, &Frm_Browser::Toolbar1_ButtonClick);
    connect(m_toolbar, &ButtonToolBar::buttonMenuClicked, this, &Frm_Browser::Toolbar1_ButtonMenuClick);

    m_list = new ListView(QStringLiteral("LV_Spells"),
                          {QStringLiteral("Spell Name"), QStringLiteral("Level"), QStringLiteral("Schools"),
                           QStringLiteral("Frequency"), QStringLiteral("Book"), QStringLiteral("Page")},
                          this);
    // Widths that show every column in the list's opening width; "Page" takes the rest.
    const int widths[] = {130, 40, 108, 66, 36, 36};
    m_list->header()->setMinimumSectionSize(24);
    for (int column = 0; column < 6; ++column)
        m_list->setColumnWidth(column, widths[column]);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_sort = new ColumnSortToggle(m_list);
    connect(m_list, &ListView::rowSelectionChanged, this, &Frm_Browser::LV_Spells_Click);
    connect(m_list, &ListView::rowDoubleClicked, this, &Frm_Browser::LV_Spells_DblClick);
    connect(m_list, &ListView::focusReceived, this, &Frm_Browser::LV_Spells_GotFocus);
    connect(m_list, &QWidget::customContextMenuRequested, this, &Frm_Browser::LV_Spells_MouseDown);

    m_filters = createFilters();

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("SB_Browser"));
    m_statusBar->setSizeGripEnabled(false);
    m_panels = new ListStatusPanels(m_statusBar, this);
    connect(m_panels->timer(), &QTimer::timeout, this, &Frm_Browser::Timer1_Timer);

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
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

QWidget *Frm_Browser::createFilters()
{
    m_filters = new QWidget(this);
    m_filters->setObjectName(QStringLiteral("Frame_Filters"));

    m_levels = new QListWidget(m_filters);
    m_levels->setObjectName(QStringLiteral("Lst_Levels"));
    m_levels->setSelectionMode(QAbstractItemView::MultiSelection);
    // Three columns of three, like a list box with columns.
    m_levels->setFlow(QListView::LeftToRight);
    m_levels->setWrapping(true);
    m_levels->setResizeMode(QListView::Adjust);
    m_levels->setSpacing(1);
    int levelWidth = 0;
    for (const QString &level : kLevels)
        levelWidth = std::max(levelWidth, m_levels->fontMetrics().horizontalAdvance(level));
    const QSize cell(levelWidth + 16, m_levels->fontMetrics().height() + 4);
    for (const QString &level : kLevels)
        (new QListWidgetItem(level, m_levels))->setSizeHint(cell);
    m_levels->setFixedHeight(3 * (cell.height() + 2) + 2 * m_levels->frameWidth() + 4);
    m_levels->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_schoolsList = new QListWidget(m_filters);
    m_schoolsList->setObjectName(QStringLiteral("Lst_Schools"));
    m_schoolsList->setSelectionMode(QAbstractItemView::MultiSelection);
    m_schoolsList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_schoolsList->setTextElideMode(Qt::ElideRight);

    auto buttons = [this](QPushButton *all, QPushButton *none) {
        auto *row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(all);
        row->addWidget(none);
        return row;
    };
    auto *levelsLabel = new QLabel(QStringLiteral("Levels"), m_filters);
    auto *schoolsLabel = new QLabel(QStringLiteral("Schools"), m_filters);

    auto *layout = new QVBoxLayout(m_filters);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(levelsLabel);
    layout->addWidget(m_levels);
    layout->addLayout(buttons(addFilterButton(QStringLiteral("Opt_Levels_All"), QStringLiteral("All"),
                                              &Frm_Browser::Opt_Levels_All_Click),
                              addFilterButton(QStringLiteral("Opt_Levels_None"), QStringLiteral("None"),
                                              &Frm_Browser::Opt_Levels_None_Click)));
    layout->addSpacing(6);
    layout->addWidget(schoolsLabel);
    layout->addWidget(m_schoolsList, 1);
    layout->addLayout(buttons(addFilterButton(QStringLiteral("Opt_Schools_All"), QStringLiteral("All"),
                                              &Frm_Browser::Opt_Schools_All_Click),
                              addFilterButton(QStringLiteral("Opt_Schools_None"), QStringLiteral("None"),
                                              &Frm_Browser::Opt_Schools_None_Click)));
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
    m_filters->setGeometry(filtersLeft, top, kWindowWidth - kMargin - filtersLeft, height);
    m_statusBar->setGeometry(0, kWindowHeight - statusHeight, kWindowWidth, statusHeight);

    m_splitter = new CSplitter(this);
    m_splitter->Init(m_bar, m_ghost, CSplitter::kVertical, kMinPane);
    m_splitter->SetMinFormSize(kWindowWidth, kWindowHeight);
    m_splitter->ResizeOnResize(CSplitter::kWidth, {m_list, m_toolbar, m_statusBar});
    m_splitter->ResizeOnResize(CSplitter::kHeight, {m_list, m_bar, m_filters});
    m_splitter->MoveOnResize(CSplitter::kWidth, {m_bar, m_filters});
    m_splitter->MoveOnResize(CSplitter::kHeight, {m_statusBar});
    m_splitter->ResizeOnDrag(1, {m_list});
    m_splitter->ResizeOnDrag(2, {m_filters});
    m_splitter->MoveOnDrag(2, {m_filters});
}

bool Frm_Browser::isLibrary() const
{
    return m_name == kLibrary;
}

void Frm_Browser::Initialize(VM_Library *library, MDI_Main *frame, VM_DragDropAssistant *assistant,
                             Frm_ManageSpells *manageSpells, const QString &spellbook,
                             Frm_Unlearned *unlearned)
{
    m_library = library;
    m_frame = frame;
    m_assistant = assistant;
    m_manageSpells = manageSpells;
    m_unlearned = unlearned;
    m_name = spellbook.trimmed();
    setWindowTitle(QStringLiteral("Browsing Spellbook ") + m_name);

    // Each command works once the window it needs is part of the program.
    m_toolbar->button(QStringLiteral("Manage Spell"))->setEnabled(m_manageSpells != nullptr);
    m_toolbar->button(QStringLiteral("Unlearned Spells"))->setEnabled(m_unlearned != nullptr);
    m_toolbar->button(QStringLiteral("Export Selected Spells"))->setEnabled(false);
    m_toolbar->button(QStringLiteral("Export Spellbook"))->setEnabled(false);

    if (isLibrary()) {
        m_list->setDropsAccepted(false);
        for (const QString &key :
             {QStringLiteral("Print Spellbook"), QStringLiteral("Export Spellbook"),
              QStringLiteral("Unlearned Spells"), QStringLiteral("Divider1"), QStringLiteral("Divider2")})
            m_toolbar->setItemVisible(key, false);
    }
    m_list->setToolTip(Constants::Browser_Tooltip_Text);

    try {
        m_library->Create_Spell_List_Array(m_name);
        Load_Spell_List();
        Load_Schools_List();
    } catch (const VmError &error) {
        Prompt::message(this, error.description.trimmed());
    }
    Schools_List_Select_All();
    Levels_List_Select_All();
}

void Frm_Browser::Load_Spell_List()
{
    m_spells = m_library->Fetch_Spells_Array();
    m_schools = m_library->Fetch_Schools_Array();

    QList<QString> cells;
    if (m_spells && m_schools) {
        // Each spell gets its own schools, found by its name, in the order the table lists them.
        QHash<QString, QString> schoolsOf;
        schoolsOf.reserve(m_spells->rows());
        for (int row = 0; row < m_schools->rows(); ++row) {
            QString &text = schoolsOf[m_schools->at(0, row)];
            if (!text.isEmpty())
                text += QStringLiteral(", ");
            text += m_schools->at(1, row);
        }
        cells.reserve(qsizetype(m_spells->rows()) * 6);
        for (int row = 0; row < m_spells->rows(); ++row) {
            const QString &name = m_spells->at(0, row);
            cells << name << m_spells->at(1, row) << schoolsOf.value(name) << m_spells->at(2, row)
                  << m_spells->at(3, row) << m_spells->at(4, row);
        }
    }
    {
        const QSignalBlocker quiet(m_list);
        m_list->rows()->setCells(std::move(cells));
        if (m_list->rowCount() > 0)
            m_list->selectOnly(0);
    }

    const int listed = m_list->rowCount();
    m_panels->showCounts(listed, listed > 0 ? 1 : 0);
    setWindowTitle(QStringLiteral("Browsing Spellbook ") + m_name);
}

void Frm_Browser::Load_Schools_List()
{
    const QStringList schools = m_library->Fetch_Schools_List();
    m_schoolsList->hide();
    m_schoolsList->clear();
    for (const QString &school : schools) {
        auto *item = new QListWidgetItem(school, m_schoolsList);
        item->setToolTip(school); // long names are cut short in the narrow list
    }
    m_schoolsList->show();
}

void Frm_Browser::Schools_List_Select_All()
{
    m_schoolsList->selectAll();
}

void Frm_Browser::Schools_List_DeSelect_All()
{
    m_schoolsList->clearSelection();
}

void Frm_Browser::Levels_List_Select_All()
{
    m_levels->selectAll();
}

void Frm_Browser::Levels_List_DeSelect_All()
{
    m_levels->clearSelection();
}

void Frm_Browser::Opt_Levels_All_Click()
{
    Levels_List_Select_All();
}

void Frm_Browser::Opt_Levels_None_Click()
{
    Levels_List_DeSelect_All();
}

void Frm_Browser::Opt_Schools_All_Click()
{
    Schools_List_Select_All();
}

void Frm_Browser::Opt_Schools_None_Click()
{
    Schools_List_DeSelect_All();
}

void Frm_Browser::Requery()
{
    BusyCursor busy;
    QStringList levels;
    const QStringList selectedLevels = selectedTexts(m_levels);
    for (const QString &level : selectedLevels)
        levels.append(level.left(1));
    if (levels.isEmpty()) {
        busy.release();
        Prompt::message(this, QStringLiteral("You must select at least 1 level"));
        return;
    }
    const QStringList schools = selectedTexts(m_schoolsList);
    if (schools.isEmpty()) {
        busy.release();
        Prompt::message(this, QStringLiteral("You must select at least 1 School"));
        return;
    }
    const QString status = m_library->Requery(levels, schools, m_name);
    if (!status.isEmpty()) {
        busy.release();
        Prompt::message(this, status.trimmed());
        return;
    }
    Load_Spell_List();
}

void Frm_Browser::LV_Spells_Click()
{
    m_panels->showSelected(selectedCount(m_list));
}

void Frm_Browser::LV_Spells_ColumnClick(int column)
{
    m_sort->sortBy(column);
}

void Frm_Browser::LV_Spells_GotFocus()
{
    Constants::Active_Browser_Name = m_name;
}

void Frm_Browser::LV_Spells_MouseDown(const QPoint &position)
{
    Constants::Active_Browser_Name = m_name;
    m_frame->menuEntry(QStringLiteral("Private_Browser_Remove"))->setEnabled(!isLibrary());
    m_frame->menu(QStringLiteral("Private_Menu_Browser"))->popup(m_list->viewport()->mapToGlobal(position));
}

void Frm_Browser::LV_Spells_DblClick()
{
    B_Menu_View_Click();
}

void Frm_Browser::B_Menu_View_Click()
{
    const int row = firstSelectedRow(m_list);
    if (row < 0 || m_list->text(row).isEmpty())
        return;
    BusyCursor busy;
    auto *card = new Frm_Spell;
    card->Initialize(m_list->text(row), this, m_manageSpells, m_library, m_frame);
    m_frame->showChild(card);
}

void Frm_Browser::B_Menu_Manage_Click()
{
    // Opens the spell in the manage-spells window once that window is part of the program.
}

void Frm_Browser::B_Menu_Export_Click() {}

void Frm_Browser::B_Menu_Remove_Click()
{
    if (isLibrary()) {
        Prompt::message(this, QStringLiteral("Can not remove spells from KXR"));
        return;
    }
    const QList<int> selected = m_list->selectedRowNumbers();
    if (selected.isEmpty())
        return;
    if (!Prompt::ask(this, QStringLiteral("Are you sure you want to remove all of the highlighted\n"
                                          "spells from this Spellbook?")))
        return;

    BusyCursor busy;
    QStringList names;
    for (const int row : selected)
        names.append(m_list->text(row));
    const QString status = m_library->Remove_Spells_From_Spellbook(names, m_name);
    if (!status.isEmpty()) {
        busy.release();
        Prompt::message(this, status.trimmed());
        return;
    }
    {
        const QSignalBlocker quiet(m_list);
        m_list->rows()->removeRowNumbers(selected);
        // The row that took the place of the first one removed is the one selected.
        if (m_list->rowCount() > 0)
            m_list->selectOnly(std::min(selected.constFirst(), m_list->rowCount() - 1));
    }
    const int listed = m_list->rowCount();
    m_panels->showCounts(listed, listed > 0 ? 1 : 0);
    m_panels->showTransient(QString::number(names.size()) + QStringLiteral(" Spell(s) Removed"));
}

void Frm_Browser::B_Menu_Tooltip_Click()
{
    const bool wasOn = m_frame->menuEntry(QStringLiteral("Private_Browser_Tooltip"))->isChecked();
    Constants::Browser_Tooltip_Text = wasOn ? QString() : Constants::browserTooltip();
    m_list->setToolTip(Constants::Browser_Tooltip_Text);
}

void Frm_Browser::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QStringLiteral("View Spell")) {
        B_Menu_View_Click();
    } else if (key == QStringLiteral("Manage Spell")) {
        B_Menu_Manage_Click();
    } else if (key == QStringLiteral("Requery")) {
        BusyCursor progress(m_frame->statusPanel(2),
                            QStringLiteral("Filtering Spellbook ") + m_name + QStringLiteral("..."));
        Requery();
    } else if (key == QStringLiteral("Export Selected Spells")) {
        B_Menu_Export_Click();
    }
}

void Frm_Browser::Toolbar1_ButtonMenuClick(const QString &key)
{
    Q_UNUSED(key);
}

void Frm_Browser::Timer1_Timer()
{
    m_panels->clearTransient();
}
