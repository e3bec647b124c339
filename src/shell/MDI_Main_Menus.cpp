// The frame's menus and the list of open windows in the Window menu.

#include "shell/MDI_Main.h"

#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

// The menu bar and the four hidden popup menus. An entry without a handler stays disabled, and
// so do the buttons of every window that follow it.

QMenu *MDI_Main::addMenu(QWidget *owner, const QString &name, const QString &caption)
{
    auto *menu = new QMenu(caption, owner);
    menu->setObjectName(name);
    if (auto *bar = qobject_cast<QMenuBar *>(owner))
        bar->addMenu(menu);
    else if (auto *parentMenu = qobject_cast<QMenu *>(owner))
        parentMenu->addMenu(menu);
    return menu;
}

QAction *MDI_Main::addEntry(QMenu *menu, const QString &name, const QString &caption, Handler handler)
{
    QAction *entry = menu ? menu->addAction(caption) : new QAction(caption, this);
    entry->setObjectName(name);
    if (handler)
        connect(entry, &QAction::triggered, this, handler);
    else
        entry->setEnabled(false);
    return entry;
}

QAction *MDI_Main::addToggle(QMenu *menu, const QString &name, const QString &caption, Handler handler)
{
    QAction *entry = menu->addAction(caption);
    entry->setObjectName(name);
    entry->setCheckable(true);
    entry->setChecked(true);
    // The handler owns the check mark: undo the toggle the click already made, so a click and a
    // direct call of the handler do the same.
    connect(entry, &QAction::triggered, this, [this, entry, handler] {
        entry->setChecked(!entry->isChecked());
        (this->*handler)();
    });
    return entry;
}

void MDI_Main::addDivider(QMenu *menu, const QString &name)
{
    menu->addSeparator()->setObjectName(name);
}

QMenu *MDI_Main::menu(const QString &name)
{
    return findChild<QMenu *>(name);
}

QAction *MDI_Main::menuEntry(const QString &name)
{
    return findChild<QAction *>(name);
}

void MDI_Main::createMenus()
{
    QMenuBar *bar = menuBar();

    QMenu *file = addMenu(bar, QStringLiteral("Main_File"), QStringLiteral("&File"));
    addEntry(file, QStringLiteral("Main_File_Import"), QStringLiteral("Import &File"),
             &MDI_Main::Main_File_Import_Click);
    addEntry(file, QStringLiteral("Main_File_Print"), QStringLiteral("&Print"),
             &MDI_Main::Main_File_Print_Click)
        ->setShortcut(QKeySequence::Print);
    addDivider(file, QStringLiteral("Main_Tools_Divider3"));
    QMenu *preview =
        addMenu(file, QStringLiteral("Main_File_PreviewOptions"), QStringLiteral("Print Pre&view Options"));
    addToggle(preview, QStringLiteral("Main_File_PreviewOptions_Max"), QStringLiteral("Previews &Maximized"),
              &MDI_Main::Main_File_PreviewOptions_Max_Click);
    addDivider(file, QStringLiteral("PPDivider"));
    addEntry(file, QStringLiteral("Main_File_Exit"), QStringLiteral("&Exit"), &MDI_Main::Main_File_Exit_Click)
        ->setShortcut(QKeySequence::Quit);

    QMenu *tools = addMenu(bar, QStringLiteral("Main_Tools"), QStringLiteral("&Tools"));
    addEntry(tools, QStringLiteral("Main_Tools_Spellbooks"), QStringLiteral("&Manage Spellbooks"),
             &MDI_Main::Main_Tools_Spellbooks_Click);
    addEntry(tools, QStringLiteral("Main_Tools_Schools"), QStringLiteral("M&anage Schools"),
             &MDI_Main::Main_Tools_Schools_Click);
    addEntry(tools, QStringLiteral("Main_Tools_Spells"), QStringLiteral("Manage S&pells"),
             &MDI_Main::Main_Tools_Spells_Click);
    addDivider(tools, QStringLiteral("Main_Tools_Divider4"));
    addEntry(tools, QStringLiteral("Main_Tools_Scrolls"), QStringLiteral("Manage S&crolls"),
             &MDI_Main::Main_Tools_Scrolls_Click);
    addDivider(tools, QStringLiteral("Main_Tools_Divider5"));
    addEntry(tools, QStringLiteral("Main_Manage_Search"), QStringLiteral("&Search"),
             &MDI_Main::Main_Manage_Search_Click)
        ->setShortcut(QKeySequence::Find);

    createEditMenu();

    m_windowMenu = addMenu(bar, QStringLiteral("Main_Window"), QStringLiteral("&Window"));
    addEntry(m_windowMenu, QStringLiteral("Main_Window_Title"), QStringLiteral("&Tile"),
             &MDI_Main::Main_Window_Title_Click);
    addDivider(m_windowMenu, QStringLiteral("Main_Window_Divider"));
    addEntry(m_windowMenu, QStringLiteral("Main_Window_Cascade"), QStringLiteral("&Cascade"),
             &MDI_Main::Main_Window_Cascade_Click);
    addDivider(m_windowMenu, QStringLiteral("Main_Window_Divider2"));
    addEntry(m_windowMenu, QStringLiteral("Main_Window_Close"), QStringLiteral("C&lose"),
             &MDI_Main::Main_Window_Close_Click)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    addEntry(m_windowMenu, QStringLiteral("Main_Window_Next"), QStringLiteral("Ne&xt"),
             &MDI_Main::Main_Window_Next_Click)
        ->setShortcut(QKeySequence::NextChild);
    // Shown as the keys are pressed: Ctrl+Shift+Tab, not the "Backtab" Qt names it by.
    QList<QKeySequence> previous{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)};
    for (const QKeySequence &key : QKeySequence::keyBindings(QKeySequence::PreviousChild)) {
        if (!previous.contains(key))
            previous.append(key);
    }
    addEntry(m_windowMenu, QStringLiteral("Main_Window_Previous"), QStringLiteral("Pre&vious"),
             &MDI_Main::Main_Window_Previous_Click)
        ->setShortcuts(previous);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MDI_Main::fillWindowList);

    QMenu *about = addMenu(bar, QStringLiteral("Main_About"), QStringLiteral("&About"));
    addEntry(about, QStringLiteral("Main_About_Help"), QStringLiteral("&Help Topics"),
             &MDI_Main::Main_About_Help_Click)
        ->setShortcut(QKeySequence::HelpContents);
    addDivider(about, QStringLiteral("Main_About_Divider1"));
    addEntry(about, QStringLiteral("Main_About_About"), QStringLiteral("&About Vellumar"),
             &MDI_Main::Main_About_About_Click);

    // The popup menus of the list windows. The frame answers the browser's; the search window,
    // the scroll manager and the failed-spells window answer their own.
    QMenu *browser =
        addMenu(this, QStringLiteral("Private_Menu_Browser"), QStringLiteral("Private Menu for Browser"));
    // The popups' keys are the list's own (Enter, Delete); shown here, never taken here.
    QAction *view = addEntry(browser, QStringLiteral("Private_Browser_View"), QStringLiteral("&View Spell"),
                             &MDI_Main::Private_Browser_View_Click);
    view->setShortcut(QKeySequence(Qt::Key_Return));
    view->setShortcutContext(Qt::WidgetShortcut);
    addEntry(browser, QStringLiteral("Private_Browser_Manage"), QStringLiteral("&Manage Spell"),
             &MDI_Main::Private_Browser_Manage_Click);
    // Opens the failed-spells window; it has no menu of its own, so the browsers' buttons
    // follow this hidden entry.
    addEntry(nullptr, QStringLiteral("Main_Tools_Unlearned"), QStringLiteral("&Unlearned Spells"),
             &MDI_Main::Main_Tools_Unlearned_Click);
    // The memorized spells of the browser's caster, for the browsers' buttons to follow.
    addEntry(nullptr, QStringLiteral("Main_Tools_Memorized"), QStringLiteral("Me&morized Spells"),
             &MDI_Main::Main_Tools_Memorized_Click);
    addDivider(browser, QStringLiteral("Private_Browser_Divider"));
    QAction *remove =
        addEntry(browser, QStringLiteral("Private_Browser_Remove"), QStringLiteral("&Remove Selected Spells"),
                 &MDI_Main::Private_Browser_Remove_Click);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    addDivider(browser, QStringLiteral("Private_Browser_Divider2"));
    addEntry(browser, QStringLiteral("Private_Browser_Export"), QStringLiteral("&Export Selected Spells"),
             &MDI_Main::Private_Browser_Export_Click);
    addEntry(browser, QStringLiteral("Private_Browser_Deck"), QStringLiteral("Print &Deck\u2026"),
             &MDI_Main::Private_Browser_Deck_Click);
    addDivider(browser, QStringLiteral("Private_Browser_Divider3"));
    addToggle(browser, QStringLiteral("Private_Browser_Tooltip"), QStringLiteral("&Toggle Tooltip"),
              &MDI_Main::Private_Browser_Tooltip_Click);

    QMenu *search =
        addMenu(this, QStringLiteral("Private_Menu_Search"), QStringLiteral("Private Menu for Search"));
    addEntry(search, QStringLiteral("Private_Search_View"), QStringLiteral("&View Spell"),
             &MDI_Main::Private_Search_View_Click);
    addEntry(search, QStringLiteral("Private_Search_Manage"), QStringLiteral("&Manage Spell"),
             &MDI_Main::Private_Search_Manage_Click);
    addDivider(search, QStringLiteral("Private_Search_Divider"));
    addEntry(search, QStringLiteral("Private_Search_Export"), QStringLiteral("&Export Selected Spells"),
             &MDI_Main::Private_Search_Export_Click);
    addEntry(search, QStringLiteral("Private_Search_Deck"), QStringLiteral("Print &Deck\u2026"),
             &MDI_Main::Private_Search_Deck_Click);

    QMenu *scrolls =
        addMenu(this, QStringLiteral("Private_Menu_Scrolls"), QStringLiteral("Private Menu for Scrolls"));
    addEntry(scrolls, QStringLiteral("Private_Scroll_View"), QStringLiteral("&View Spell"),
             &MDI_Main::Private_Scroll_View_Click);
    addEntry(scrolls, QStringLiteral("Private_Scroll_Manage"), QStringLiteral("&Manage Spell"),
             &MDI_Main::Private_Scroll_Manage_Click);
    addDivider(scrolls, QStringLiteral("Private_Scroll_Divider"));
    addEntry(scrolls, QStringLiteral("Private_Scroll_Remove"),
             QStringLiteral("&Remove selected spell from Scroll"), &MDI_Main::Private_Scroll_Remove_Click);

    QMenu *unlearned =
        addMenu(this, QStringLiteral("Private_Menu_Unlearned"), QStringLiteral("Private Menu for Unlearned"));
    addEntry(unlearned, QStringLiteral("Private_Unlearned_View"), QStringLiteral("&View Spell"),
             &MDI_Main::Private_Unlearned_View_Click);
    addEntry(unlearned, QStringLiteral("Private_Unlearned_Manage"), QStringLiteral("&Manage Spell"),
             &MDI_Main::Private_Unlearned_Manage_Click);
    addDivider(unlearned, QStringLiteral("Divider_Unlearned_1"));
    addEntry(unlearned, QStringLiteral("Private_Unlearned_Remove"), QStringLiteral("&Remove Selected Spells"),
             &MDI_Main::Private_Unlearned_Remove_Click);
    addDivider(unlearned, QStringLiteral("Divider_Unlearned_2"));
    addEntry(unlearned, QStringLiteral("Private_Unlearned_Learned"),
             QStringLiteral("Mark Selected Spells as &Learned"), &MDI_Main::Private_Unlearned_Learned_Click);

    // Managing a spell from a list works exactly when the manage-spells window does.
    QAction *manageSpells = menuEntry(QStringLiteral("Main_Tools_Spells"));
    for (const QString &name :
         {QStringLiteral("Private_Browser_Manage"), QStringLiteral("Private_Search_Manage"),
          QStringLiteral("Private_Unlearned_Manage"), QStringLiteral("Private_Scroll_Manage")}) {
        QAction *manageFromList = menuEntry(name);
        manageFromList->setEnabled(manageSpells->isEnabled());
        connect(manageSpells, &QAction::enabledChanged, manageFromList, &QAction::setEnabled);
    }
}

void MDI_Main::fillWindowList()
{
    // The open child windows follow the fixed entries, the active one checked.
    qDeleteAll(m_windowList);
    m_windowList.clear();
    const QList<QMdiSubWindow *> windows = m_area->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowList.append(m_windowMenu->addSeparator());
    // One window is the active one: the list is a radio group.
    auto *group = new QActionGroup(m_windowList.constFirst());
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *window = windows.at(i);
        const QString title = QString(window->windowTitle()).replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *entry =
            m_windowMenu->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title);
        entry->setCheckable(true);
        entry->setActionGroup(group);
        entry->setChecked(window == m_area->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, window] { m_area->setActiveSubWindow(window); });
        m_windowList.append(entry);
    }
}
