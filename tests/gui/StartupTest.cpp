#include "shell/Startup.h"
#include "Peer.h"
#include "WindowTest.h"
#include "shell/Frm_Open.h"
#include "store/AppFolder.h"
#include "store/VM_Spell.h"

#include <QThread>

namespace {

template<typename Window>
Window *topLevel(const QString &name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == name && window->isVisible())
            return qobject_cast<Window *>(window);
    }
    return nullptr;
}

// Runs the entry procedure; once its event loop runs, `whileRunning` acts as the user would.
// A loop that does not end within ten seconds ends with 99.
int runProgram(const std::function<void()> &whileRunning)
{
    // Showing the splash may already deliver posted events, before the program's event loop
    // runs: wait for the loop itself.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (QThread::currentThread()->loopLevel() == 0)
            return;
        user.stop();
        whileRunning();
    });
    user.start(10);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    deadline.start(10000);
    return Constants::Main({});
}

} // namespace

TEST(Startup, AnyCommandLineTextEndsTheProgramWithoutAWindow)
{
    ScriptedPrompt prompt;
    const QWidgetList before = QApplication::topLevelWidgets();
    EXPECT_EQ(Constants::Main({"--help"}), 0);
    EXPECT_EQ(QApplication::topLevelWidgets(), before);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

// The splash, then the frame. A second copy of the program started on the same library and
// closed again must not take away the changes the first one goes on making, from store objects
// old and new.
TEST(Startup, SplashShowsTheVersionForThreeSecondsThenTheFrameWhichASecondProgramLeavesItsChanges)
{
    TestLibrary library;
    ScriptedPrompt prompt;
    bool sawSplash = false;
    bool sawFrame = false;
    QStringList added;
    const auto add = [&](VM_Spell &spell, const QString &name) {
        spell.Set_Spell_Name(name);
        spell.Set_Spell_Level(QStringLiteral("1"));
        EXPECT_EQ(spell.Add_New_Spell(), QString()) << name.toStdString();
        added << name;
    };
    const int exitCode = runProgram([&] {
        auto *splash = topLevel<Frm_Open>("Frm_Open");
        ASSERT_NE(splash, nullptr);
        sawSplash = true;
        EXPECT_EQ(splash->findChild<QLabel *>("lblVersion")->text(), "Version 1.0");
        const auto *timer = splash->findChild<QTimer *>("Timer1");
        EXPECT_TRUE(timer->isActive());
        EXPECT_TRUE(timer->isSingleShot());
        EXPECT_EQ(timer->interval(), 3000);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

        letTimerRunOut(splash); // the three seconds are up
        auto *frame = topLevel<MDI_Main>("MDI_Main");
        ASSERT_NE(frame, nullptr);
        sawFrame = true;
        EXPECT_EQ(frame->windowTitle(), "  Vellumar, Version 1.0");
        EXPECT_EQ(topLevel<Frm_Open>("Frm_Open"), nullptr);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(frame->area()->subWindowList().isEmpty());

        VM_Spell kept;
        add(kept, QStringLiteral("Before"));
        for (int round = 0; round < 2; ++round) {
            const QString second = runPeer({QStringLiteral("startup")}, library.folder());
            EXPECT_TRUE(second.startsWith("exit 0: ")) << second.toStdString();
            add(kept, QStringLiteral("After %1").arg(round));
            VM_Spell fresh;
            add(fresh, QStringLiteral("After %1 in a new one").arg(round));
        }
        frame->close();
    });
    EXPECT_TRUE(sawSplash);
    EXPECT_TRUE(sawFrame);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(library.rows("PRAGMA integrity_check"), QStringList{"ok"});
    added.sort();
    EXPECT_EQ(library.rows("SELECT Name FROM Spells ORDER BY Name"), added);
}

TEST(Startup, ALibraryThatCannotBeOpenedIsReportedAndEndsWithAnErrorCode)
{
    QTemporaryDir empty;
    setAppFolder(empty.path());
    ScriptedPrompt prompt;
    const int exitCode = runProgram([] {
        auto *splash = topLevel<Frm_Open>("Frm_Open");
        ASSERT_NE(splash, nullptr);
        letTimerRunOut(splash);
    });
    setAppFolder(QString());

    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_FALSE(prompt.lastMessage().isEmpty());
    EXPECT_EQ(prompt.lastMessage(), prompt.lastMessage().trimmed());
    EXPECT_EQ(topLevel<MDI_Main>("MDI_Main"), nullptr);
}
