// The main window: the frame with its tool bar and status bar, the spellbook drop-down, the
// commands routed to the active browser, and closing. Menus, child windows and the lists' popup
// commands are in MDI_Main_*.cpp.

#include "shell/MDI_Main.h"

#include "browse/Frm_Browser.h"
#include "browse/Frm_Memorized.h"
#include "browse/Frm_Spell.h"
#include "browse/VM_DragDropAssistant.h"
#include "import/Frm_Import.h"
#include "maintain/Frm_ManageSchools.h"
#include "maintain/Frm_ManageSpellbooks.h"
#include "maintain/Frm_ManageSpells.h"
#include "scrolls/Frm_Scrolls.h"
#include "shell/Frm_About.h"
#include "shell/ShellArt.h"
#include "store/AppFolder.h"
#include "store/Blanks.h"
#include "store/Names.h"
#include "store/SessionChain.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/Constants.h"
#include "widgets/LibraryEvents.h"
#include "widgets/OpenWindows.h"
#include "widgets/PrintableWindow.h"
#include "widgets/Prompt.h"
#include "widgets/ReadableColour.h"
#include "widgets/ToolIcons.h"
#include "widgets/UnsavedWork.h"
#include "widgets/WindowArrangement.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

MDI_Main::MDI_Main(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MDI_Main"));
    setWindowIcon(ShellArt::windowIcon());
    m_events = new LibraryEvents(this);
    connect(m_events, &LibraryEvents::castersChanged, this, [this] {
        // A failure here must not escape through the signal: the drop-down keeps its entries.
        try {
            Load_Spellbook_ButtonMenus();
        } catch (const VmError &error) {
            Prompt::report(this, error);
        }
    });

    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("MDIClient"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A warm grey behind the windows, as dark as the palette's text still reads on it.
    m_area->setBackground(
        ReadableColour::against(QColor(0x8a, 0x84, 0x78), palette().color(QPalette::WindowText)));
    setCentralWidget(m_area);

    createMenus();
    createToolBar();
    createStatusBar();

    // Small enough for any screen, large enough that the menus and the tool bar stay whole.
    setMinimumSize(640, 360);
    resize(1180, 780);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        // On a small screen the frame takes at most nine tenths of it, status bar in sight.
        resize(size().boundedTo(available.size() * 9 / 10).expandedTo(minimumSize()));
        move(available.center() - rect().center());
    }
}

MDI_Main::~MDI_Main()
{
    // Child windows go while the library they were given still exists.
    const QList<QMdiSubWindow *> windows = m_area->subWindowList();
    qDeleteAll(windows);
}

bool MDI_Main::MDIForm_Load()
{
    try {
        m_library = std::make_unique<VM_Library>();
        m_assistant = std::make_unique<VM_DragDropAssistant>();
        Load_Spellbook_ButtonMenus();
    } catch (const VmError &error) {
        m_assistant.reset();
        m_library.reset();
        Prompt::report(nullptr, error);
        return false;
    }
    // What opening the library did besides (a log set aside) is said once, before the frame.
    for (const QString &notice : takeLibraryNotices())
        Prompt::message(nullptr, notice);
    UndoHistory::instance().clear();
    setWindowTitle(QStringLiteral("  Vellumar, Version ") + Constants::versionNumber());
    Constants::Previews_Maximized = true;
    menuEntry(QStringLiteral("Main_File_PreviewOptions_Max"))->setChecked(true);
    Constants::Browser_Tooltip_Text = Constants::browserTooltip();
    menuEntry(QStringLiteral("Private_Browser_Tooltip"))->setChecked(true);
    return true;
}

void MDI_Main::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("SB_Main"));
    m_panel1 = new QLabel(bar);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setMinimumWidth(140);
    m_panel2 = new QLabel(bar);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    // Names from the library, shown as typed.
    m_panel1->setTextFormat(Qt::PlainText);
    m_panel2->setTextFormat(Qt::PlainText);
    bar->addWidget(m_panel1);
    bar->addWidget(m_panel2, 1);
}

QLabel *MDI_Main::statusPanel(int panel) const
{
    return panel == 1 ? m_panel1 : m_panel2;
}

void MDI_Main::createToolBar()
{
    m_toolBar = new ButtonToolBar(QStringLiteral("TB_Main"), this);
    m_toolBar->setWindowTitle(QStringLiteral("Main"));
    QToolButton *spellbooks = m_toolBar->addMenuButton(
        QStringLiteral("Browser"), QStringLiteral("Spellbooks"), ToolIcons::icon(ToolIcons::Spellbooks));
    spellbooks->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->addDivider(QStringLiteral("Divider1"));
    m_toolBar->addButton(QStringLiteral("Manage Spellbooks"), QStringLiteral("Manage Spellbooks"),
                         ToolIcons::icon(ToolIcons::ManageSpellbooks));
    m_toolBar->addButton(QStringLiteral("Manage Schools"), QStringLiteral("Manage Schools"),
                         ToolIcons::icon(ToolIcons::ManageSchools));
    m_toolBar->addButton(QStringLiteral("Manage Spells"), QStringLiteral("Manage Spells"),
                         ToolIcons::icon(ToolIcons::ManageSpells));
    m_toolBar->addButton(QStringLiteral("Manage Scrolls"), QStringLiteral("Manage Scrolls"),
                         ToolIcons::icon(ToolIcons::ManageScrolls));
    m_toolBar->addButton(QStringLiteral("Import Spells"), QStringLiteral("Import Vellumar Files"),
                         ToolIcons::icon(ToolIcons::Import));
    m_toolBar->addButton(QStringLiteral("Search"), QStringLiteral("Search"),
                         ToolIcons::icon(ToolIcons::Search));
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    // The drop-down is a menu entry as well, for whoever opens a spellbook from the keyboard.
    QMenu *spellbookMenu = m_toolBar->buttonMenu(QStringLiteral("Browser"));
    spellbookMenu->setTitle(QStringLiteral("&Open Spellbook"));
    menu(QStringLiteral("Main_File"))
        ->insertMenu(menuEntry(QStringLiteral("Main_File_Print")), spellbookMenu);

    // A button works exactly when the menu command it stands for does.
    const QStringList keys = {QStringLiteral("Manage Spellbooks"), QStringLiteral("Manage Schools"),
                              QStringLiteral("Manage Spells"),     QStringLiteral("Manage Scrolls"),
                              QStringLiteral("Import Spells"),     QStringLiteral("Search")};
    const QStringList commands = {
        QStringLiteral("Main_Tools_Spellbooks"), QStringLiteral("Main_Tools_Schools"),
        QStringLiteral("Main_Tools_Spells"),     QStringLiteral("Main_Tools_Scrolls"),
        QStringLiteral("Main_File_Import"),      QStringLiteral("Main_Manage_Search")};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QToolButton *button = m_toolBar->button(keys.at(i));
        QAction *command = menuEntry(commands.at(i));
        button->setProperty("command", commands.at(i));
        button->setEnabled(command->isEnabled());
        connect(command, &QAction::enabledChanged, button, &QWidget::setEnabled);
    }
    connect(m_toolBar, &ButtonToolBar::buttonClicked, this, &MDI_Main::TB_Main_ButtonClick);
    connect(m_toolBar, &ButtonToolBar::buttonMenuClicked, this, &MDI_Main::TB_Main_ButtonMenuClick);
    connect(m_toolBar, &ButtonToolBar::buttonMenuContext, this, &MDI_Main::TB_Main_ButtonMenuContext);
}

void MDI_Main::TB_Main_ButtonClick(const QString &key)
{
    // The spellbook button has no action of its own; its drop-down does the work.
    const QToolButton *button = m_toolBar->button(key);
    const QString command = button ? button->property("command").toString() : QString();
    if (QAction *entry = command.isEmpty() ? nullptr : menuEntry(command))
        entry->trigger();
}

void MDI_Main::TB_Main_ButtonMenuClick(const QString &key)
{
    mSpellbook(key);
    if (Frm_Browser *browser = browserShowing(m_selectedSpellbook))
        OpenWindows::bringToFront(browser);
    else
        Show_Spell_Book();
}

void MDI_Main::TB_Main_ButtonMenuContext(const QString &key, const QPoint &globalPos)
{
    // What a spellbook of the drop-down offers besides opening it: a caster's memorized spells.
    const QString spellbook = trimBlanks(key);
    auto *offer = new QMenu(this);
    offer->setObjectName(QStringLiteral("Spellbook Context"));
    offer->setAttribute(Qt::WA_DeleteOnClose);
    connect(offer->addAction(QStringLiteral("&Open Spellbook")), &QAction::triggered, this,
            [this, spellbook] { TB_Main_ButtonMenuClick(spellbook); });
    QAction *memorized = offer->addAction(QStringLiteral("&Memorized Spells"));
    memorized->setEnabled(spellbook != kReservedSpellbook);
    connect(memorized, &QAction::triggered, this, [this, spellbook] { showMemorized(spellbook); });
    offer->popup(globalPos);
}

void MDI_Main::Load_Spellbook_ButtonMenus()
{
    const QStringList names = m_library->Get_Exisiting_Spellbook_Names();
    QList<ButtonToolBar::Entry> entries;
    for (const QString &name : names)
        entries.append({trimBlanks(name), trimBlanks(name)});
    m_toolBar->setEntries(QStringLiteral("Browser"), entries);
    m_panel1->setText(names.size() == 1 ? QStringLiteral("1 spellbook")
                                        : QString::number(names.size()) + QStringLiteral(" spellbooks"));
}

void MDI_Main::mSpellbook(const QString &name)
{
    m_selectedSpellbook = trimBlanks(name);
}

void MDI_Main::Show_Spell_Book()
{
    if (Frm_Browser *browser = browserShowing(m_selectedSpellbook)) {
        OpenWindows::bringToFront(browser);
        return;
    }
    auto browser = std::make_unique<Frm_Browser>();
    BusyCursor busy(m_panel2, QStringLiteral("Retrieving Data for Spellbook ") + m_selectedSpellbook +
                                  QStringLiteral("..."));
    // A browser that could not read its spellbook is not left open: choosing the spellbook
    // again, once the trouble is over, reads it afresh.
    if (!browser->Initialize(*this, m_selectedSpellbook))
        return;
    showChild(browser.release());
}

void MDI_Main::Refresh_From_Import(const QString &name)
{
    // The drop-down and every window's list of spellbooks reload; the imported spellbook's
    // browsers re-query.
    emit m_events->castersChanged();
    emit m_events->spellbookChanged(trimBlanks(name));
}

void MDI_Main::Main_File_Import_Click()
{
    // One import window at a time: asking again brings it forward.
    if (auto *open = OpenWindows::all<Frm_Import>(m_area).value(0)) {
        OpenWindows::bringToFront(open);
        return;
    }
    auto window = std::make_unique<Frm_Import>();
    if (!window->Initialize(*this))
        return;
    showChild(window.release());
}

Frm_Browser *MDI_Main::browserShowing(const QString &spellbook) const
{
    const QString caption = Frm_Browser::kCaptionPrefix + spellbook;
    return OpenWindows::find<Frm_Browser>(
        m_area, [&caption](const Frm_Browser *browser) { return browser->windowTitle() == caption; });
}

bool MDI_Main::isSpellbookOpen(const QString &caster)
{
    const QString name = caster.trimmed();
    return OpenWindows::find<Frm_Browser>(m_area, [&name](const Frm_Browser *browser) {
               return browser->tag().trimmed() == name;
           }) != nullptr;
}

Frm_Browser *MDI_Main::activeBrowser() const
{
    const QString active = trimBlanks(Constants::Active_Browser_Name);
    return OpenWindows::find<Frm_Browser>(
        m_area, [&active](const Frm_Browser *browser) { return trimBlanks(browser->tag()) == active; });
}

void MDI_Main::routeToActiveBrowser(void (Frm_Browser::*command)())
{
    if (Frm_Browser *browser = activeBrowser())
        (browser->*command)();
}

void MDI_Main::Private_Browser_View_Click()
{
    routeToActiveBrowser(&Frm_Browser::B_Menu_View_Click);
}

void MDI_Main::Private_Browser_Manage_Click()
{
    routeToActiveBrowser(&Frm_Browser::B_Menu_Manage_Click);
}

void MDI_Main::Private_Browser_Remove_Click()
{
    routeToActiveBrowser(&Frm_Browser::B_Menu_Remove_Click);
}

void MDI_Main::Private_Browser_Export_Click()
{
    routeToActiveBrowser(&Frm_Browser::B_Menu_Export_Click);
}

void MDI_Main::Private_Browser_Deck_Click()
{
    routeToActiveBrowser(&Frm_Browser::B_Menu_Deck_Click);
}

void MDI_Main::Private_Browser_Tooltip_Click()
{
    // Every browser decides from the check mark as it is before the toggle, so all of them
    // switch together. The text is set here as well: with no browser open, none would set it,
    // and the browsers opened later read it.
    QAction *toggle = menuEntry(QStringLiteral("Private_Browser_Tooltip"));
    const bool on = !toggle->isChecked();
    const QList<Frm_Browser *> browsers = OpenWindows::all<Frm_Browser>(m_area);
    for (Frm_Browser *browser : browsers)
        browser->B_Menu_Tooltip_Click();
    Constants::Browser_Tooltip_Text = on ? Constants::browserTooltip() : QString();
    toggle->setChecked(on);
}

void MDI_Main::Main_File_PreviewOptions_Max_Click()
{
    QAction *toggle = menuEntry(QStringLiteral("Main_File_PreviewOptions_Max"));
    toggle->setChecked(!toggle->isChecked());
    Constants::Previews_Maximized = toggle->isChecked();
}

void MDI_Main::Main_File_Exit_Click()
{
    // Through closing, so that a window with changes not yet saved can keep the program open.
    if (close())
        QCoreApplication::quit();
}

void MDI_Main::Main_Window_Title_Click()
{
    WindowArrangement::tile(m_area);
}

void MDI_Main::Main_Window_Cascade_Click()
{
    WindowArrangement::cascade(m_area);
}

void MDI_Main::Main_Window_Close_Click()
{
    m_area->closeActiveSubWindow();
}

void MDI_Main::Main_Window_Next_Click()
{
    m_area->activateNextSubWindow();
}

void MDI_Main::Main_Window_Previous_Click()
{
    m_area->activatePreviousSubWindow();
}

void MDI_Main::Main_File_Print_Click()
{
    QMdiSubWindow *active = m_area->activeSubWindow();
    if (auto *window = active ? dynamic_cast<PrintableWindow *>(active->widget()) : nullptr)
        window->printMain();
}

void MDI_Main::showReadMe(const QString &path)
{
    // Shown by the program itself: a desktop viewer started for it may fail without a word (no
    // viewer for text files), and the user would see nothing.
    if (auto *open = findChild<QPlainTextEdit *>(QStringLiteral("ReadMe"))) {
        OpenWindows::bringToFront(open);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Prompt::message(this, QStringLiteral("The file %1 could not be read: %2")
                                  .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    auto *view = new QPlainTextEdit;
    view->setObjectName(QStringLiteral("ReadMe"));
    view->setWindowTitle(QStringLiteral("Read Me"));
    view->setReadOnly(true);
    view->setPlainText(QString::fromUtf8(file.readAll()));
    view->resize(720, 520);
    showChild(view);
}

void MDI_Main::Main_About_Help_Click()
{
    Prompt::message(this, QStringLiteral("Sorry, Help Topics not yet implemented.\n\n"
                                         "The Read Me may have some useful information."));
    const QString readMe = QDir(appFolder()).filePath(QStringLiteral("Read Me.txt"));
    if (!QFileInfo::exists(readMe)) {
        Prompt::message(this,
                        QStringLiteral("The file %1 was not found.").arg(QDir::toNativeSeparators(readMe)));
        return;
    }
    showReadMe(readMe);
}

void MDI_Main::Main_About_About_Click()
{
    if (!m_about) {
        m_about = new Frm_About(this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MDI_Main::closeEvent(QCloseEvent *event)
{
    // Every window with changes not yet saved (a spell, a scroll) asks first, in front, before any
    // window closes: Cancel on any keeps the program and every window as they were. Closing the
    // frame ends the program and takes its windows along, asking nothing more: with the about box
    // gone too, the frame was the last window.
    const QList<QMdiSubWindow *> windows = m_area->subWindowList();
    for (QMdiSubWindow *window : windows) {
        auto *work = dynamic_cast<UnsavedWork *>(window->widget());
        if (!work || !work->hasUnsavedWork())
            continue;
        OpenWindows::bringToFront(window->widget());
        if (!work->mayClose()) {
            event->ignore();
            return;
        }
    }
    if (m_about)
        m_about->close();
    // The history belongs to this run of the library.
    UndoHistory::instance().clear();
    event->accept();
}
