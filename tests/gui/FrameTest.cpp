#include "BrowserFixture.h"
#include "WindowTest.h"
#include "widgets/FormScrollArea.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QUrl>

#include <functional>

namespace {

// Takes the place of the desktop's handler for local files.
class FileOpener : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

// "name|caption" of each entry of a menu and its sub-menus, depth-first.
QStringList menuTree(const QMenu *menu)
{
    QStringList tree{menu->objectName() + QLatin1Char('|') + menu->title()};
    const QList<QAction *> actions = menu->actions();
    for (const QAction *action : actions) {
        if (action->menu())
            tree += menuTree(action->menu());
        else
            tree.append(action->objectName() + QLatin1Char('|') +
                        (action->isSeparator() ? "-" : action->text()));
    }
    return tree;
}

class Frame : public WindowTest
{
protected:
    QStringList spellbookEntries() { return menuTexts(frame().TB_Main()->buttonMenu("Browser")); }
};

} // namespace

TEST_F(Frame, MenusOfferWhatAUserNeedsAndHideThePopups)
{
    // Every command a user reaches from the menu bar is there, under its menu, with its caption.
    QStringList shown;
    const QList<QAction *> titles = frame().menuBar()->actions();
    for (const QAction *title : titles)
        shown += menuTree(title->menu());
    for (const QString &entry :
         QStringList{"Main_File_Import|Import &File", "Main_File_PreviewOptions_Max|Previews &Maximized",
                     "Main_File_Exit|&Exit", "Main_Tools_Spellbooks|&Manage Spellbooks",
                     "Main_Tools_Schools|M&anage Schools", "Main_Tools_Spells|Manage S&pells",
                     "Main_Tools_Scrolls|Manage S&crolls", "Main_Manage_Search|&Search",
                     "Main_Window_Title|&Tile", "Main_Window_Cascade|&Cascade",
                     "Main_About_Help|&Help Topics", "Main_About_About|&About Vellumar"})
        EXPECT_TRUE(shown.contains(entry)) << entry.toStdString();

    // The popup menus exist but never show in the menu bar.
    for (const QString &popup : QStringList{"Private_Menu_Browser", "Private_Menu_Search",
                                            "Private_Menu_Scrolls", "Private_Menu_Unlearned"}) {
        const QMenu *menu = frame().menu(popup);
        ASSERT_NE(menu, nullptr) << popup.toStdString();
        EXPECT_FALSE(titles.contains(menu->menuAction())) << popup.toStdString();
    }
    EXPECT_TRUE(frame().menuEntry("Private_Browser_Tooltip")->isChecked());
    EXPECT_TRUE(frame().menuEntry("Main_File_PreviewOptions_Max")->isChecked());

    // An entry routes to its handler: the window menu's Tile arranges the open windows, the
    // preview option flips with a click.
    chooseMenuEntry(&frame(), "Main_File_PreviewOptions_Max");
    EXPECT_FALSE(frame().menuEntry("Main_File_PreviewOptions_Max")->isChecked());
    EXPECT_FALSE(Constants::Previews_Maximized);
    chooseMenuEntry(&frame(), "Main_File_PreviewOptions_Max");
    EXPECT_TRUE(Constants::Previews_Maximized);
    chooseMenuEntry(&frame(), "Main_About_About");
    EXPECT_NE(frame().findChild<QWidget *>("Frm_About"), nullptr);
}

TEST_F(Frame, ToolBarButtonsHaveIconsAndTipsAndFollowTheirMenuCommands)
{
    QStringList shown; // "name|tip", "no icon" for a button that shows none
    const auto buttons = frame().TB_Main()->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly);
    for (const QToolButton *button : buttons) {
        if (!button->objectName().startsWith("qt_"))
            shown.append(button->objectName() + "|" +
                         (button->icon().isNull() ? "no icon" : button->toolTip()));
    }
    EXPECT_EQ(shown, (QStringList{"Browser|Spellbooks", "Manage Spellbooks|Manage Spellbooks",
                                  "Manage Schools|Manage Schools", "Manage Spells|Manage Spells",
                                  "Manage Scrolls|Manage Scrolls", "Import Spells|Import Vellumar Files",
                                  "Search|Search"}));
    EXPECT_TRUE(frame().TB_Main()->button("Browser")->isEnabled());
    EXPECT_TRUE(frame().TB_Main()->button("Search")->isEnabled());

    // A button is enabled exactly when its command is.
    frame().menuEntry("Main_Manage_Search")->setEnabled(false);
    EXPECT_FALSE(frame().TB_Main()->button("Search")->isEnabled());
    frame().menuEntry("Main_Manage_Search")->setEnabled(true);
    EXPECT_TRUE(frame().TB_Main()->button("Search")->isEnabled());
}

TEST_F(Frame, SpellbooksDropDownListsKXRThenEveryCasterAndFollowsAnImport)
{
    EXPECT_EQ(spellbookEntries(), QStringList{"KXR"});
    EXPECT_EQ(frame().statusPanel(1)->text(), "1 spellbook");

    library.addCaster("Zora");
    library.addCaster("Bryn & Co");
    frame().Load_Spellbook_ButtonMenus();
    EXPECT_EQ(spellbookEntries(), (QStringList{"KXR", "Zora", "Bryn && Co"}));
    EXPECT_EQ(frame().statusPanel(1)->text(), "3 spellbooks");

    // After an import the new spellbook is offered, and only its own open browser re-reads.
    library.addSchool("Sun");
    library.addSpell("Dawn Hymn", "1", {"Sun"});
    Frm_Browser *zora = openBrowser("Zora");
    Frm_Browser *kxr = openBrowser("KXR");
    library.addToSpellbook("Zora", "Dawn Hymn", "1");
    library.addCaster("Ilse");
    library.addSpell("Evening Hymn", "1", {"Sun"});
    frame().Refresh_From_Import(" Zora ");
    EXPECT_EQ(spellbookEntries(), (QStringList{"KXR", "Zora", "Bryn && Co", "Ilse"}));
    EXPECT_EQ(columnTexts(control<ListView>(zora, "LV_Spells")), QStringList{"Dawn Hymn"});
    EXPECT_EQ(columnTexts(control<ListView>(kxr, "LV_Spells")), QStringList{"Dawn Hymn"});
}

TEST_F(Frame, ChoosingASpellbookTwiceBringsItsOneBrowserToTheFront)
{
    library.addCaster("Bryn");
    Frm_Browser *first = openBrowser("Bryn");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle(), "Browsing Spellbook Bryn");
    EXPECT_EQ(frame().area()->activeSubWindow()->widget(), first);
    EXPECT_TRUE(frame().statusPanel(2)->text().isEmpty());

    openBrowser("KXR");
    EXPECT_NE(frame().area()->activeSubWindow()->widget(), first);
    EXPECT_EQ(openBrowser("Bryn"), first);
    EXPECT_EQ(openBrowsers().size(), 2);
    EXPECT_EQ(frame().area()->activeSubWindow()->widget(), first);

    // The same through the operations other windows call.
    frame().mSpellbook("  Bryn ");
    frame().Show_Spell_Book();
    EXPECT_EQ(openBrowsers().size(), 2);

    // A spellbook that cannot be read says why and leaves no useless browser; once the
    // trouble is over, choosing it again opens a working one.
    library.addCaster("Ilse");
    library.addSpell("Dawn Hymn", "1", {});
    library.addToSpellbook("Ilse", "Dawn Hymn", "1");
    frame().Load_Spellbook_ButtonMenus();
    library.db().exec("ALTER TABLE Spellbook RENAME TO Away;");
    chooseEntry(&frame(), "Browser", "Ilse");
    EXPECT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(openBrowsers().size(), 2);
    library.db().exec("ALTER TABLE Away RENAME TO Spellbook;");
    Frm_Browser *ilse = openBrowser("Ilse");
    ASSERT_NE(ilse, nullptr);
    EXPECT_EQ(columnTexts(control<ListView>(ilse, "LV_Spells")), QStringList{"Dawn Hymn"});
}

// A right click on an entry of the spellbook drop-down offers the caster's memorized spells.
TEST_F(Frame, ASpellbookOfTheDropDownOffersItsMemorizedSpellsOnARightClick)
{
    library.addCaster("Bryn");
    frame().Load_Spellbook_ButtonMenus();
    QMenu *spellbooks = control<ButtonToolBar>(&frame(), "TB_Main")->buttonMenu("Browser");
    const auto rightClick = [&](const QString &entry) -> QMenu * {
        spellbooks->popup(frame().mapToGlobal(QPoint(10, 10)));
        QAction *action = nullptr;
        for (QAction *candidate : spellbooks->actions())
            action = candidate->data().toString() == entry ? candidate : action;
        if (!action)
            return nullptr;
        const QPoint at = spellbooks->actionGeometry(action).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, spellbooks->mapToGlobal(at));
        QApplication::sendEvent(spellbooks, &event);
        EXPECT_FALSE(spellbooks->isVisible());
        return frame().findChild<QMenu *>("Spellbook Context");
    };
    const auto offered = [](QMenu *offer, const QString &text) {
        for (QAction *action : offer->actions())
            if (action->text() == text)
                return action;
        return static_cast<QAction *>(nullptr);
    };

    QMenu *offer = rightClick("KXR");
    ASSERT_NE(offer, nullptr);
    EXPECT_FALSE(offered(offer, "&Memorized Spells")->isEnabled());
    offered(offer, "&Open Spellbook")->trigger();
    offer->close();
    EXPECT_EQ(openBrowsers().size(), 1);
    QApplication::processEvents();

    offer = rightClick("Bryn");
    ASSERT_NE(offer, nullptr);
    ASSERT_TRUE(offered(offer, "&Memorized Spells")->isEnabled());
    offered(offer, "&Memorized Spells")->trigger();
    offer->close();
    ASSERT_NE(frame().area()->activeSubWindow(), nullptr);
    EXPECT_EQ(frame().area()->activeSubWindow()->widget()->windowTitle(), "Memorized Spells of Bryn");
    EXPECT_EQ(openBrowsers().size(), 1); // the memorized spells need no browser
}

TEST_F(Frame, PreviewsMaximizedToggleHoldsForTheRunOnly)
{
    frame().Main_File_PreviewOptions_Max_Click();
    EXPECT_FALSE(Constants::Previews_Maximized);
    EXPECT_FALSE(frame().menuEntry("Main_File_PreviewOptions_Max")->isChecked());
    frame().menuEntry("Main_File_PreviewOptions_Max")->trigger(); // a click
    EXPECT_TRUE(Constants::Previews_Maximized);
    frame().Main_File_PreviewOptions_Max_Click();

    MDI_Main restarted;
    ASSERT_TRUE(restarted.MDIForm_Load());
    EXPECT_TRUE(Constants::Previews_Maximized);
    EXPECT_TRUE(restarted.menuEntry("Main_File_PreviewOptions_Max")->isChecked());
}

TEST_F(Frame, HelpTopicsApologisesThenShowsTheReadMeInTheProgramsOwnWindow)
{
    FileOpener opener;
    QDesktopServices::setUrlHandler("file", &opener, "open");
    const QString readMe = QDir(library.folder()).filePath("Read Me.txt");

    frame().Main_About_Help_Click();
    EXPECT_EQ(prompt.messages(),
              (QStringList{"Sorry, Help Topics not yet implemented.\n\n"
                           "The Read Me may have some useful information.",
                           "The file " + QDir::toNativeSeparators(readMe) + " was not found."}));

    // A desktop viewer may fail without a word: the program shows the file itself, once.
    QFile file(readMe);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Welcome to Vellumar.\n");
    file.close();
    prompt.clear();
    for (int press = 0; press < 2; ++press)
        chooseMenuEntry(&frame(), "Main_About_Help");
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(prompt.messages().size(), 2);
    EXPECT_TRUE(opener.opened.isEmpty());
    const QList<QPlainTextEdit *> shown = frame().findChildren<QPlainTextEdit *>("ReadMe");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0]->isReadOnly());
    EXPECT_EQ(shown[0]->toPlainText(), "Welcome to Vellumar.\n");
}

TEST_F(Frame, WindowMenuListsTheOpenWindowsAndArrangesThemWithoutLosingAny)
{
    for (const char *caster : {"Bryn", "Corwin", "Dara", "Eluned"})
        library.addCaster(caster);
    frame().resize(1180, 780);
    openBrowser("KXR");
    openBrowser("Bryn");

    QMenu *windowMenu = frame().menu("Main_Window");
    emit windowMenu->aboutToShow();
    EXPECT_EQ(menuTexts(windowMenu).mid(4),
              (QStringList{"C&lose", "Ne&xt", "Pre&vious", "-", "&1 Browsing Spellbook KXR",
                           "&2 Browsing Spellbook Bryn"}));
    windowMenu->actions().at(8)->trigger();
    EXPECT_EQ(frame().area()->activeSubWindow()->windowTitle(), "Browsing Spellbook KXR");

    // A new window opens whole inside the area, staggered from the last.
    openBrowser("Corwin");
    const QRect area = frame().area()->viewport()->rect();
    QList<QMdiSubWindow *> windows = frame().area()->subWindowList();
    for (const QMdiSubWindow *window : windows)
        EXPECT_TRUE(area.contains(window->geometry())) << window->windowTitle().toStdString();
    EXPECT_NE(windows.at(2)->pos(), windows.at(0)->pos());

    // Tile: none over another, every one whole, the area filled across.
    chooseMenuEntry(&frame(), "Main_Window_Title");
    int right = 0;
    for (int i = 0; i < windows.size(); ++i) {
        EXPECT_GE(windows.at(i)->x(), 0);
        EXPECT_GE(windows.at(i)->y(), 0);
        EXPECT_GE(windows.at(i)->width(), windows.at(i)->minimumSizeHint().width());
        EXPECT_GE(windows.at(i)->height(), windows.at(i)->minimumSizeHint().height());
        right = std::max(right, windows.at(i)->geometry().right() + 1);
        for (int j = i + 1; j < windows.size(); ++j)
            EXPECT_FALSE(windows.at(i)->geometry().intersects(windows.at(j)->geometry())) << i << " " << j;
    }
    EXPECT_GE(right, area.width());
    // A window tiled out of sight comes back into view when it is asked for.
    QMdiSubWindow *lowest = windows.at(0);
    for (QMdiSubWindow *window : windows)
        lowest = window->y() > lowest->y() ? window : lowest;
    chooseEntry(&frame(), "Browser",
                lowest->widget()->windowTitle().mid(QString("Browsing Spellbook ").size()));
    EXPECT_TRUE(area.contains(lowest->geometry()) || lowest->height() > area.height());

    // Cascade with five: every title bar shows.
    openBrowser("Dara");
    openBrowser("Eluned");
    windows = frame().area()->subWindowList();
    frame().area()->setActiveSubWindow(windows.at(1));
    chooseMenuEntry(&frame(), "Main_Window_Cascade");
    const int titleBar = frame().style()->pixelMetric(QStyle::PM_TitleBarHeight);
    QList<QMdiSubWindow *> staggered = frame().area()->subWindowList(QMdiArea::StackingOrder);
    for (int i = 1; i < staggered.size(); ++i)
        EXPECT_GE(staggered.at(i)->y() - staggered.at(i - 1)->y(), titleBar);

    // The window last used stays in front and keeps the keyboard.
    QMdiSubWindow *active = frame().area()->activeSubWindow();
    ASSERT_EQ(active, windows.at(1));
    EXPECT_EQ(frame().area()->subWindowList(QMdiArea::StackingOrder).last(), active);

    // The window keys: Ctrl+W closes the active one, and no other command claims the key.
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    QTest::keyClick(active->widget(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame().area()->subWindowList().contains(active));
}

TEST_F(Frame, StandardKeysReachTheirCommandsAndTheFrameStaysUsable)
{
    const QList<std::pair<const char *, QKeySequence::StandardKey>> keys = {
        {"Main_File_Exit", QKeySequence::Quit},
        {"Main_About_Help", QKeySequence::HelpContents},
        {"Main_File_Print", QKeySequence::Print},
        {"Main_Window_Next", QKeySequence::NextChild},
        {"Main_Window_Previous", QKeySequence::PreviousChild},
        {"Main_Manage_Search", QKeySequence::Find}};
    for (const auto &[entry, key] : keys) {
        const QList<QKeySequence> given = frame().menuEntry(entry)->shortcuts();
        EXPECT_TRUE(QKeySequence(key).isEmpty() || given.contains(QKeySequence(key))) << entry;
    }
    EXPECT_TRUE(
        frame().menuEntry("Main_Window_Close")->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_F4)));

    frame().resize(100, 100);
    EXPECT_GE(frame().width(), 640);
    EXPECT_GE(frame().height(), 360);
}

#include "FrameTest.moc"

TEST_F(Frame, ExitAsksAboutUnsavedEditsInFrontBeforeAnyWindowClosesAndCancelKeepsThemAll)
{
    library.addCaster("Bryn");
    openBrowser("KXR");
    chooseMenuEntry(&frame(), "Main_Tools_Spells");
    QWidget *spells = frame().area()->activeSubWindow()->widget();
    ASSERT_EQ(spells->objectName(), "Frm_ManageSpells");
    QTest::keyClicks(control<QLineEdit>(spells, "Txt_New"), "Frost Lance");
    openBrowser("Bryn");

    QList<QWidget *> inFront;
    prompt.onShow = [&] { inFront.append(frame().area()->activeSubWindow()->widget()); };
    prompt.answerSave(Prompt::Choice::Cancel);
    chooseMenuEntry(&frame(), "Main_File_Exit");
    EXPECT_EQ(prompt.questions(), QStringList{"The new spell has not been saved.\nSave it now?"});
    EXPECT_EQ(inFront, QList<QWidget *>{spells});
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(frame().area()->subWindowList().size(), 3);
    EXPECT_EQ(control<QLineEdit>(spells, "Txt_New")->text(), "Frost Lance");

    prompt.answerSave(Prompt::Choice::Discard);
    chooseMenuEntry(&frame(), "Main_File_Exit");
    EXPECT_FALSE(frame().isVisible());
    EXPECT_EQ(prompt.questions().size(), 2);
    prompt.onShow = nullptr;
}

TEST_F(Frame, TileShowsEveryWindowWholeSideBySideInsideTheAreaAt800x600)
{
    for (const char *caster : {"Bryn", "Corwin", "Dara"})
        library.addCaster(caster);
    // A long school name widens a browser's filters as it opens.
    library.addSpell("Bramble Gate", "2", {"Conjuration of the Long Twilight Hours"});
    library.addToSpellbook("Bryn", "Bramble Gate", "2");
    frame().showNormal();
    QMdiArea *area = frame().area();
    Frm_Browser *bryn = nullptr;
    // A button of Bryn's browser, pressed with Bramble Gate chosen, as the user would.
    const auto fromBryn = [&](const char *button) {
        return [&, button] {
            area->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(bryn->parentWidget()));
            BrowserTest::selectSpells(bryn, {"Bramble Gate"});
            pressButton(bryn, button);
        };
    };
    // One window of every kind, and browsers besides.
    const QList<std::function<void()>> openers = {
        [&] { openBrowser("KXR"); },
        [&] { chooseMenuEntry(&frame(), "Main_Manage_Search"); },
        [&] { bryn = openBrowser("Bryn"); },
        fromBryn("View Spell"),
        fromBryn("Unlearned Spells"),
        fromBryn("Memorized Spells"),
        [&] { chooseMenuEntry(&frame(), "Main_Tools_Spells"); },
        [&] { chooseMenuEntry(&frame(), "Main_Tools_Scrolls"); },
        [&] { chooseMenuEntry(&frame(), "Main_Tools_Spellbooks"); },
        [&] { chooseMenuEntry(&frame(), "Main_Tools_Schools"); },
        [&] { chooseMenuEntry(&frame(), "Main_File_Import"); },
        [&] { openBrowser("Corwin"); },
    };
    // Whether a window shows a scroll bar of a form inside it.
    const auto scrolls = [](const QWidget *window) {
        for (const FormScrollArea *form : window->findChildren<FormScrollArea *>()) {
            if (form->horizontalScrollBar()->isVisible() || form->verticalScrollBar()->isVisible())
                return true;
        }
        return false;
    };
    // The first two controls of a laid-out part of the window that lie over each other, as a
    // layout given less than its minimum places them.
    const auto overlapping = [](const QWidget *window) -> std::string {
        for (const QWidget *part : window->findChildren<QWidget *>()) {
            if (!part->layout() || !part->isVisible())
                continue;
            QList<const QWidget *> controls;
            for (const QWidget *control : part->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (control->isVisible() && !control->isWindow())
                    controls.append(control);
            }
            for (qsizetype i = 0; i < controls.size(); ++i) {
                for (qsizetype j = i + 1; j < controls.size(); ++j) {
                    if (controls.at(i)->geometry().intersects(controls.at(j)->geometry()))
                        return part->objectName().toStdString() + ": " +
                               controls.at(i)->objectName().toStdString() + " and " +
                               controls.at(j)->objectName().toStdString();
                }
            }
        }
        return {};
    };
    for (qsizetype opened = 1; opened <= openers.size(); ++opened) {
        // Each window opens at its own size in a large frame, its form whole without scrolling;
        // then the frame is made small.
        frame().resize(1600, 1000);
        openers.at(opened - 1)();
        QCoreApplication::processEvents();
        const QWidget *newest = area->activeSubWindow()->widget();
        EXPECT_FALSE(scrolls(newest)) << newest->objectName().toStdString();
        frame().resize(800, 600);
        chooseMenuEntry(&frame(), "Main_Window_Title");
        QCoreApplication::processEvents();
        const QList<QMdiSubWindow *> windows = area->subWindowList();
        ASSERT_EQ(windows.size(), opened);
        EXPECT_FALSE(area->horizontalScrollBar()->isVisible()) << opened;
        EXPECT_FALSE(area->verticalScrollBar()->isVisible()) << opened;
        const QRect inside = area->viewport()->rect();
        for (qsizetype i = 0; i < windows.size(); ++i) {
            const QMdiSubWindow *window = windows.at(i);
            const QWidget *shown = window->widget();
            const std::string name = std::to_string(opened) + ": " + shown->objectName().toStdString();
            EXPECT_TRUE(inside.contains(window->geometry())) << name;
            EXPECT_TRUE(window->contentsRect().contains(shown->geometry())) << name;
            // Nothing of the window is squeezed below what it needs: what does not fit scrolls.
            const QSize needed = shown->minimumSizeHint().expandedTo(shown->minimumSize());
            EXPECT_EQ(shown->size().expandedTo(needed), shown->size())
                << name << " needs " << needed.width() << "x" << needed.height() << ", has " << shown->width()
                << "x" << shown->height();
            EXPECT_EQ(overlapping(shown), "") << name;
            for (const QWidget *control : shown->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (control->isVisible() && !control->isWindow()) {
                    EXPECT_TRUE(shown->rect().contains(control->geometry()))
                        << name << ": " << control->objectName().toStdString();
                }
            }
            // A browser's spells keep the larger share beside its filters.
            if (qobject_cast<const Frm_Browser *>(shown)) {
                EXPECT_GE(shown->findChild<const QWidget *>(QStringLiteral("LV_Spells"))->width(),
                          shown->findChild<const FormScrollArea *>()->width())
                    << name;
            }
            for (qsizetype j = i + 1; j < windows.size(); ++j)
                EXPECT_FALSE(window->geometry().intersects(windows.at(j)->geometry())) << opened;
        }
    }
    // Tiled twelve to a screen, the largest form scrolls inside its window.
    EXPECT_TRUE(scrolls(OpenWindows::named<QWidget>(area, "Frm_ManageSpells")));
}
