#include "BrowserFixture.h"
#include "browse/LevelCountDelegate.h"
#include "widgets/ReadableColour.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QActionGroup>
#include <QCheckBox>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>

namespace {

// The windows a user opens from the frame and from a browser, with the control each starts in.
struct Opening
{
    const char *window;
    const char *command; // a frame menu entry, or a button of the browser
    const char *startsIn;
};

const Opening kOpenings[] = {
    {"Frm_ManageSpellbooks", "Main_Tools_Spellbooks", "Cmbo_Names"},
    {"Frm_ManageSchools", "Main_Tools_Schools", "Cmbo_Names"},
    {"Frm_ManageSpells", "Main_Tools_Spells", "Txt_New"},
    {"Frm_Scrolls", "Main_Tools_Scrolls", "TV_Scrolls"},
    {"Frm_Search", "Main_Manage_Search", "Txt_Search"},
    {"Frm_Import", "Main_File_Import", "LV_Spells"},
    {"Frm_Unlearned", "Unlearned Spells", "LV_Spells"},
    {"Frm_Memorized", "Memorized Spells", "TV_Memorized"},
    {"Frm_Spell", "View Spell", "SSTab1"},
};

class AccessibilityTest : public BrowserTest
{
protected:
    void activateFrame()
    {
        frame().show();
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    }

    QWidget *activeWindow() { return frame().area()->activeSubWindow()->widget(); }

    // Opens a window the way the table says, from the frame or from the browser.
    QWidget *open(const Opening &opening, Frm_Browser *browser)
    {
        if (QString(opening.command).startsWith("Main_"))
            chooseMenuEntry(&frame(), opening.command);
        else {
            selectSpells(browser, {"Bramble Gate"});
            pressButton(browser, opening.command);
        }
        return activeWindow();
    }

    // The name of the focused control, or of the control a focused part belongs to.
    static QString focused()
    {
        QWidget *widget = QApplication::focusWidget();
        if (qobject_cast<QTabBar *>(widget))
            widget = widget->parentWidget();
        return widget ? widget->objectName() : QStringLiteral("(none)");
    }

    // Every window of the table open, the browser first.
    QList<QWidget *> openEveryWindow()
    {
        Frm_Browser *browser = openBrowser("Bryn");
        QList<QWidget *> windows{browser};
        for (const Opening &opening : kOpenings) {
            frame().area()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(browser->parentWidget()));
            windows.append(open(opening, browser));
        }
        return windows;
    }
};

// The access key of a caption, or none.
QChar accessKey(const QString &caption)
{
    const qsizetype at = QString(caption).replace("&&", "__").indexOf('&');
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toLower() : QChar();
}

// "key|first|second" for each access key two captions of the list share.
QStringList clashes(const QStringList &captions)
{
    QStringList found;
    QHash<QChar, QString> owner;
    for (const QString &caption : captions) {
        const QChar key = accessKey(caption);
        if (key.isNull())
            continue;
        if (owner.contains(key))
            found.append(QString(key) + '|' + owner.value(key) + '|' + caption);
        owner.insert(key, caption);
    }
    return found;
}

// Whether a control is one of Qt's own parts of another (a combo box's list, a tab bar's arrows).
bool isPartOfAnother(const QWidget *widget, const QWidget *window)
{
    for (const QWidget *up = widget->parentWidget(); up && up != window; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox *>(up) || qobject_cast<const QTabBar *>(up) ||
            qobject_cast<const QLineEdit *>(up) ||
            (qobject_cast<const QToolBar *>(up) && widget->objectName().isEmpty()))
            return true;
    }
    return qobject_cast<const QHeaderView *>(widget) || qobject_cast<const QTabBar *>(widget) ||
           qobject_cast<const QTabWidget *>(widget) || widget->objectName().startsWith("qt_");
}

} // namespace

TEST_F(AccessibilityTest, EveryWindowStartsInItsMainControlAndGetsItBackWhenTheUserReturns)
{
    activateFrame();
    Frm_Browser *browser = openBrowser("Bryn");
    EXPECT_EQ(focused(), "LV_Spells");
    // Tab runs from the list through each filter list followed by its own All and None.
    QStringList order;
    for (int press = 0; press < 6; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(focused());
    }
    EXPECT_EQ(order, (QStringList{"Lst_Levels", "Opt_Levels_All", "Opt_Levels_None", "Lst_Schools",
                                  "Opt_Schools_All", "Opt_Schools_None"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(focused(), "Lst_Schools");

    for (const Opening &opening : kOpenings) {
        QWidget *window = open(opening, browser);
        EXPECT_EQ(window->objectName(), opening.window);
        EXPECT_EQ(focused(), opening.startsIn) << opening.window;
        EXPECT_TRUE(window->isAncestorOf(QApplication::focusWidget())) << opening.window;
        // Back in the browser, the user is where they left it.
        frame().area()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(browser->parentWidget()));
        EXPECT_EQ(focused(), "Lst_Schools") << "after " << opening.window;
    }

    // Esc puts a card away and gives the keys back to the list it was opened from.
    browser->findChild<QWidget *>("LV_Spells")->setFocus();
    QWidget *card = open(kOpenings[8], browser);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(OpenWindows::all<QWidget>(frame().area()).contains(card));
    EXPECT_EQ(QApplication::focusWidget(), browser->findChild<QWidget *>("LV_Spells"));

    // The scroll manager is entered like any other window, and Esc closes it.
    QWidget *scrolls = open(kOpenings[3], browser);
    ASSERT_EQ(focused(), "TV_Scrolls");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(OpenWindows::all<QWidget>(frame().area()).contains(scrolls));
}

TEST_F(AccessibilityTest, AccessKeysAreGivenOnceInEachWindowAndMenu)
{
    activateFrame();
    const QList<QWidget *> windows = openEveryWindow();
    for (QWidget *window : windows) {
        const std::string name = window->objectName().toStdString();
        // Labels of fields, tabs and option buttons each have a key. The tabs and buttons in view
        // have keys of their own; a label may share one when its letters run out (pressed again,
        // the key moves on), but never with a button or a tab.
        QStringList own;
        QList<QChar> labelKeys;
        for (const QLabel *label : window->findChildren<QLabel *>()) {
            if (label->buddy()) {
                EXPECT_FALSE(accessKey(label->text()).isNull()) << name << " " << label->text().toStdString();
                if (label->isVisible())
                    labelKeys.append(accessKey(label->text()));
            }
        }
        for (const QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
            for (int index = 0; index < tabs->count(); ++index) {
                EXPECT_FALSE(accessKey(tabs->tabText(index)).isNull()) << name;
                own.append(tabs->tabText(index));
            }
        }
        for (const QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            if (qobject_cast<const QRadioButton *>(button) || qobject_cast<const QCheckBox *>(button)) {
                EXPECT_FALSE(accessKey(button->text()).isNull())
                    << name << " " << button->text().toStdString();
            } else if (!qobject_cast<const QToolButton *>(button) && button->isVisible()) {
                own.append(button->text());
            }
        }
        EXPECT_EQ(clashes(own), QStringList()) << name;
        for (const QString &caption : std::as_const(own))
            EXPECT_FALSE(labelKeys.contains(accessKey(caption))) << name << " " << caption.toStdString();
    }
    // Every menu of the frame and of the windows, the popups and drop-downs too.
    QList<QMenu *> menus = frame().findChildren<QMenu *>();
    for (const QMenuBar *bar : frame().findChildren<QMenuBar *>()) {
        QStringList titles;
        for (const QAction *menu : bar->actions())
            titles.append(menu->text());
        EXPECT_EQ(clashes(titles), QStringList()) << bar->objectName().toStdString();
    }
    for (const QMenu *menu : std::as_const(menus))
        EXPECT_EQ(clashes(menuTexts(menu)), QStringList()) << menu->objectName().toStdString();
    EXPECT_EQ(menuTexts(frame().menu("Main_File")).mid(0, 4),
              (QStringList{"Import &File", "&Open Spellbook", "&Print", "-"}));

    // Alt+A in Manage Schools presses its own Apply, not the frame's About menu.
    QWidget *schools = windows.at(2);
    frame().area()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(schools->parentWidget()));
    schools->findChild<QComboBox *>("Cmbo_Names")->setCurrentIndex(1);
    QSignalSpy applied(schools->findChild<QPushButton *>("Cmd_Apply"), &QPushButton::clicked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(applied.size(), 1);
    EXPECT_FALSE(QApplication::activePopupWidget());

    // Alt+F in the import window opens its own File menu, not the frame's.
    QWidget *import = windows.at(6);
    frame().area()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(import->parentWidget()));
    ASSERT_EQ(QApplication::focusWidget(), import->findChild<QWidget *>("LV_Spells"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), import->findChild<QMenu *>("Menu_File"));
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

TEST_F(AccessibilityTest, SaveAddAndTabKeysReachTheirCommandsInTheWindowWithTheFocus)
{
    activateFrame();
    Frm_Browser *browser = openBrowser("Bryn");
    QWidget *spells = open(kOpenings[2], browser);
    auto *toolbar = spells->findChild<ButtonToolBar *>("Toolbar1");
    QSignalSpy pressed(toolbar, &ButtonToolBar::buttonClicked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClicks(spells->findChild<QLineEdit *>("Txt_New"), "Opal Gate");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(pressed.size(), 2);
    EXPECT_EQ(pressed.value(0).value(0).toString(), "Add");
    EXPECT_EQ(pressed.value(1).value(0).toString(), "Save");

    // Ctrl+Tab turns the tabs the focus is in; elsewhere it goes to the next window.
    auto *tabs = spells->findChild<QTabWidget *>("SSTab1");
    spells->findChild<QWidget *>("Cmbo_Levels")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(activeWindow(), spells);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    spells->findChild<QWidget *>("Txt_New")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(activeWindow(), browser);

    // The Window menu names the keys as they are pressed, and its list of windows is one choice.
    EXPECT_EQ(frame().menuEntry("Main_Window_Previous")->shortcut().toString(QKeySequence::NativeText),
              "Ctrl+Shift+Tab");
    QMenu *windowMenu = frame().menu("Main_Window");
    emit windowMenu->aboutToShow();
    const QList<QAction *> entries = windowMenu->actions().mid(8);
    ASSERT_EQ(entries.size(), 2);
    for (const QAction *entry : entries) {
        ASSERT_TRUE(entry->actionGroup());
        EXPECT_TRUE(entry->actionGroup()->isExclusive());
    }
    EXPECT_EQ(entries.at(0)->actionGroup(), entries.at(1)->actionGroup());

    // A spellbook opens from the File menu.
    QMenu *spellbooks = frame().menu("Main_File")->actions().at(1)->menu();
    ASSERT_TRUE(spellbooks);
    emit spellbooks->aboutToShow();
    for (QAction *entry : spellbooks->actions()) {
        if (entry->text() == "Corwin")
            entry->trigger();
    }
    EXPECT_EQ(activeWindow()->windowTitle(), "Browsing Spellbook Corwin");
}

TEST_F(AccessibilityTest, EveryListAndIconOnlyControlHasANameAndADescription)
{
    activateFrame();
    for (QWidget *window : openEveryWindow()) {
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            if (isPartOfAnother(widget, window))
                continue;
            const auto *button = qobject_cast<QToolButton *>(widget);
            const bool list = qobject_cast<QAbstractItemView *>(widget);
            const bool iconOnly = button && (button->toolButtonStyle() == Qt::ToolButtonIconOnly);
            const bool field =
                (widget->focusPolicy() & Qt::TabFocus) && !qobject_cast<QAbstractButton *>(widget);
            if (!list && !iconOnly && !field)
                continue;
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
            ASSERT_TRUE(accessible);
            const std::string where = (window->objectName() + '/' + widget->objectName() + " (" +
                                       widget->metaObject()->className() + ')')
                                          .toStdString();
            EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty()) << where;
            if (list || iconOnly) {
                EXPECT_FALSE(accessible->text(QAccessible::Description).trimmed().isEmpty()) << where;
            }
        }
    }
}

TEST_F(AccessibilityTest, WarningColoursReadOnLightAndDarkPalettesAndOverCapacityIsMarked)
{
    library.db().exec("UPDATE SpellCasters SET Second = '0' WHERE Spellbook = 'Bryn'");
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x6f, 0xa8));
    dark.setColor(QPalette::HighlightedText, Qt::white);

    for (const QPalette &palette : {light, dark}) {
        QApplication::setPalette(palette);
        MDI_Main shown;
        ASSERT_TRUE(shown.MDIForm_Load());
        shown.show();
        // The area behind the windows, and the text a minimized window shows on it.
        const QColor area = shown.area()->viewport()->grab().toImage().pixelColor(2, 2);
        EXPECT_GE(ReadableColour::contrast(area, palette.color(QPalette::WindowText)), 4.5);

        // The 2nd level holds Bramble Gate against no room: its count is drawn in a red that reads,
        // selected and not, and marked besides.
        chooseEntry(&shown, "Browser", "Bryn");
        auto *browser = OpenWindows::all<Frm_Browser>(shown.area()).value(0);
        ASSERT_TRUE(browser);
        auto *levels = control<QListWidget>(browser, "Lst_Levels");
        QListWidgetItem *second = levels->item(1);
        ASSERT_TRUE(second->data(Qt::ForegroundRole).isValid());
        EXPECT_TRUE(second->data(Qt::AccessibleTextRole).toString().endsWith("over capacity"));
        for (const bool selected : {true, false}) {
            second->setSelected(selected);
            const QImage cell = levels->viewport()->grab(levels->visualItemRect(second)).toImage();
            const QColor background = palette.color(selected ? QPalette::Highlight : QPalette::Base);
            // The right half of the cell holds the count alone: its ink reads on the cell.
            double best = 0;
            int marked = 0;
            for (int y = 0; y < cell.height(); ++y) {
                for (int x = cell.width() / 2; x < cell.width(); ++x) {
                    const double contrast = ReadableColour::contrast(cell.pixelColor(x, y), background);
                    best = std::max(best, contrast);
                    marked += contrast > 1.5 ? 1 : 0;
                }
            }
            EXPECT_GT(marked, 10) << "selected " << selected;
            EXPECT_GE(best, 4.5) << "selected " << selected;
        }
    }
    QApplication::setPalette(light);

    // The colours the windows take their warnings from keep their hue and only move in lightness.
    const QColor red(0xb0, 0x20, 0x20);
    EXPECT_EQ(ReadableColour::against(red, Qt::white), red);
    const QColor onDark = ReadableColour::against(red, QColor(0x1e, 0x1e, 0x1e));
    EXPECT_GE(ReadableColour::contrast(onDark, QColor(0x1e, 0x1e, 0x1e)), 4.5);
    EXPECT_NEAR(onDark.hslHueF(), red.hslHueF(), 0.02);
}

TEST_F(AccessibilityTest, TheFrameOpensInsideASmallScreen)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect opened = frame().geometry();
    EXPECT_LE(opened.width(), available.width() * 9 / 10 + 1);
    EXPECT_LE(opened.height(), available.height() * 9 / 10 + 1);
    EXPECT_TRUE(available.contains(opened));
}
