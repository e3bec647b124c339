#include "Files.h"
#include "Peer.h"
#include "ProcessLocks.h"
#include "Raised.h"

#include "exchange/ExchangeReader.h"
#include "exchange/SafeSave.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/PrivateLocks.h"
#include "store/Schema.h"
#include "store/SessionChain.h"
#include "store/VM_Library.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

void addSpell(Connection &connection, const QString &name)
{
    Transaction change(connection);
    Statement insert(connection, "INSERT INTO Spells (Name, Lvl) VALUES (?, '1')");
    insert.bind(1, name).run();
    change.commit();
}

QStringList column(Connection &connection, const char *sql)
{
    QStringList values;
    Statement select(connection, sql);
    while (select.step())
        values.append(select.text(0));
    return values;
}

// Each scenario has a library of its own in a folder of its own, where the peers find it.
class SharedLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setAppFolder(dir.path());
        path = libraryPath();
        createLibrary(path);
    }
    void TearDown() override { setAppFolder(QString()); }

    QTemporaryDir dir;
    QString path;
};

} // namespace

// Other programs that open and close the library (a second Vellumar, the SQLCipher shell) must
// not take away the changes this program goes on making, however many store objects it has.
TEST_F(SharedLibrary, ChangesSurviveOtherProgramsOpeningAndClosingTheLibrary)
{
    QStringList expected;
    {
        VM_Library frame; // the first program's start-up
        frame.Get_Exisiting_Spellbook_Names();
        Connection first(path);
        addSpell(first, QStringLiteral("Opened first"));
        expected << QStringLiteral("Opened first");

        const QList<std::function<QString()>> others = {
            [&] { return runShell(path, "SELECT count(*) FROM Spells;"); },
            [&] { return runPeer({QStringLiteral("startup")}, dir.path()); },
        };
        for (int round = 0; round < others.size(); ++round) {
            Connection second(path); // another store object's first statement
            addSpell(second, QStringLiteral("Before %1").arg(round));
            EXPECT_TRUE(others[round]().startsWith(QStringLiteral("exit 0"))) << round;
            addSpell(first, QStringLiteral("After %1 in the first").arg(round));
            addSpell(second, QStringLiteral("After %1 in the second").arg(round));
            Connection third(path);
            addSpell(third, QStringLiteral("After %1 in a new one").arg(round));
            expected << QStringLiteral("Before %1").arg(round)
                     << QStringLiteral("After %1 in the first").arg(round)
                     << QStringLiteral("After %1 in the second").arg(round)
                     << QStringLiteral("After %1 in a new one").arg(round);
        }
        // The other program changes too, while this one keeps its connections.
        EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("From the peer")}, dir.path()), "exit 0: ");
        addSpell(first, QStringLiteral("Last"));
        expected << QStringLiteral("From the peer") << QStringLiteral("Last");
    }
    Connection check(path);
    EXPECT_EQ(column(check, "PRAGMA integrity_check"), QStringList{"ok"});
    QStringList stored = column(check, "SELECT Name FROM Spells");
    stored.sort();
    expected.sort();
    EXPECT_EQ(stored, expected);
}

// Anything else in the program that opens and closes the library's files (a file dialog sniffing
// their type, a plug-in, a drag of the file) must leave the program's locks as they were: without
// them, another program takes itself to be alone, rebuilds the shared index under this one's
// feet and removes the log it writes to.
TEST_F(SharedLibrary, HandlesOnTheLibrarysFilesOpenedAndClosedElsewhereDropNoLock)
{
    EXPECT_TRUE(usePrivateLocks());
    const QStringList files = {path, path + "-wal", path + "-shm"};
    {
        Connection first(path);
        Connection report(path, Connection::Access::ReadOnly);
        addSpell(first, QStringLiteral("Before"));
        {
            Statement reading(report, "SELECT Name FROM Spells"); // a read transaction, as a list holds
            ASSERT_TRUE(reading.step());
            const QStringList locks = heldLocks(files);
            ASSERT_FALSE(locks.isEmpty());
            for (const QString &file : files) {
                QFile sniffed(file);
                ASSERT_TRUE(sniffed.open(QIODevice::ReadOnly)) << file.toStdString();
                sniffed.read(4096);
                sniffed.close();
                ::close(::open(QFile::encodeName(file).constData(), O_RDWR | O_CLOEXEC));
            }
            EXPECT_EQ(heldLocks(files), locks);
            EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("From the peer")}, dir.path()),
                      "exit 0: ");
        }
        addSpell(first, QStringLiteral("After the peer"));
        EXPECT_EQ(runPeer({QStringLiteral("checkpoint"), QStringLiteral("Checkpointed")}, dir.path()),
                  "exit 0: ");
        addSpell(first, QStringLiteral("Last"));
        EXPECT_EQ(column(report, "SELECT count(*) FROM Spells"), QStringList{"5"});
    }
    EXPECT_EQ(heldLocks(files), QStringList()); // all gone with the last connection
    Connection check(path);
    EXPECT_EQ(column(check, "PRAGMA integrity_check"), QStringList{"ok"});
    QStringList stored = column(check, "SELECT Name FROM Spells");
    stored.sort();
    EXPECT_EQ(stored, (QStringList{"After the peer", "Before", "Checkpointed", "From the peer", "Last"}));
}

TEST_F(SharedLibrary, TheOpenLibraryAndItsJournalsAreNeitherReadAsFilesNorWrittenOver)
{
    Connection open(path);
    addSpell(open, QStringLiteral("Kept"));
    for (const QString &file : {path, path + "-wal", path + "-shm"}) {
        EXPECT_TRUE(
            raised([&] { ExchangeReader::load(file); }).contains("the library file that Vellumar has open"))
            << file.toStdString();
        EXPECT_TRUE(saveWhole(file, "For Vellumar Use Only\r\n0\r\n").contains("it is the library file"))
            << file.toStdString();
    }
    EXPECT_EQ(column(open, "SELECT Name FROM Spells"), QStringList{"Kept"});
    EXPECT_EQ(column(open, "PRAGMA integrity_check"), QStringList{"ok"});
}

// The logs a library's opening set aside in its folder, with what each holds.
QList<QByteArray> logsSetAside(const QString &folder)
{
    QList<QByteArray> logs;
    for (const QString &name :
         QDir(folder).entryList({QStringLiteral("Spells.mdb-wal.set-aside-*")}, QDir::Files, QDir::Name))
        logs.append(fileBytes(QDir(folder).filePath(name)));
    return logs;
}

QStringList spellNames(const QString &path)
{
    Connection reader(path, Connection::Access::ReadOnly);
    QStringList names = column(reader, "SELECT Name FROM Spells");
    names.sort();
    return names;
}

// A log beside the library is folded into it by the first connection that may write. One left
// by a crash of this library is the library's last changes, and is replayed.
TEST_F(SharedLibrary, ALogLeftByACrashIsReplayed)
{
    for (const char *name : {"First crash", "Second crash"}) {
        EXPECT_EQ(runPeer({QStringLiteral("abandon"), QString::fromLatin1(name)}, dir.path()), "exit 0: ");
        ASSERT_TRUE(QFile::exists(path + "-wal"));
    }
    {
        VM_Library library; // the crashed program's own log: its changes are there
        EXPECT_EQ(spellNames(path), (QStringList{"First crash", "Second crash"}));
    }
    EXPECT_FALSE(QFile::exists(path + "-wal"));
    EXPECT_TRUE(logsSetAside(dir.path()).isEmpty());
    EXPECT_TRUE(takeLibraryNotices().isEmpty());
}

// A sync tool or a restored backup puts back a log from before the library's later changes:
// replaying it would take them back for good, and the library would still read as sound.
TEST_F(SharedLibrary, AnOlderLogOfTheSameLibraryIsSetAside)
{
    const QString log = path + "-wal";
    EXPECT_EQ(runPeer({QStringLiteral("abandon"), QStringLiteral("Stale A")}, dir.path()), "exit 0: ");
    const QByteArray oldLog = fileBytes(log);
    ASSERT_FALSE(oldLog.isEmpty());
    EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("Later B")}, dir.path()), "exit 0: ");
    EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("Later C")}, dir.path()), "exit 0: ");
    ASSERT_FALSE(QFile::exists(log));
    writeFile(dir.path(), QStringLiteral("Spells.mdb-wal"), oldLog);

    const QString started = runPeer({QStringLiteral("startup")}, dir.path());
    EXPECT_TRUE(started.startsWith("exit 0: ")) << started.toStdString(); // Qt may warn first
    EXPECT_TRUE(started.contains("The log " + QDir::toNativeSeparators(log) + " beside the library file " +
                                 QDir::toNativeSeparators(path) +
                                 " was not used: it is older than the library"))
        << started.toStdString();
    EXPECT_TRUE(started.contains("Nothing was deleted")) << started.toStdString();
    EXPECT_EQ(logsSetAside(dir.path()), QList<QByteArray>{oldLog});
    EXPECT_TRUE(started.contains(QDir::toNativeSeparators(path) + "-wal.set-aside-"))
        << started.toStdString();
    EXPECT_EQ(spellNames(path), (QStringList{"Later B", "Later C", "Stale A"}));
    // The next start has nothing to say.
    const QString again = runPeer({QStringLiteral("startup")}, dir.path());
    EXPECT_TRUE(again.startsWith("exit 0: ") && !again.contains("The log")) << again.toStdString();
    EXPECT_EQ(spellNames(path), (QStringList{"Later B", "Later C", "Stale A"}));
}

// Another library's log would ruin this one at the first checkpoint.
TEST_F(SharedLibrary, ALogFromAnotherLibraryIsSetAsideAndChangesNothing)
{
    const QString log = path + "-wal";
    EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("Own")}, dir.path()), "exit 0: ");

    // Another library, and a copy of this one that went its own way (same key, other sessions).
    const QString otherFolder = dir.filePath("other");
    const QString copyFolder = dir.filePath("copy");
    QDir().mkpath(otherFolder);
    QDir().mkpath(copyFolder);
    createLibrary(otherFolder + "/Spells.mdb");
    ASSERT_TRUE(QFile::copy(path, copyFolder + "/Spells.mdb"));
    const QList<std::function<void()>> openers = {
        [] { VM_Library frame; },
        [&] { Connection reader(path, Connection::Access::ReadOnly); },
        [&] { Connection writer(path); },
    };
    for (const QString &folder : {otherFolder, copyFolder}) {
        EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("Elsewhere")}, folder), "exit 0: ");
        EXPECT_EQ(runPeer({QStringLiteral("abandon"), QStringLiteral("Foreign")}, folder), "exit 0: ");
        const QByteArray foreignLog = fileBytes(folder + "/Spells.mdb-wal");
        for (const auto &open : openers) {
            writeFile(dir.path(), QStringLiteral("Spells.mdb-wal"), foreignLog);
            EXPECT_EQ(raised(open), "");
            const QStringList notices = takeLibraryNotices();
            ASSERT_EQ(notices.size(), 1);
            EXPECT_TRUE(notices.constFirst().contains(
                "it belongs to another library, or to another copy of this one"))
                << notices.constFirst().toStdString();
            EXPECT_NE(fileBytes(log), foreignLog); // none, or the library's own new one
            EXPECT_EQ(logsSetAside(dir.path()).value(0), foreignLog);
            EXPECT_EQ(spellNames(path), QStringList{"Own"});
            for (const QString &name :
                 QDir(dir.path()).entryList({QStringLiteral("Spells.mdb-wal.set-aside-*")}))
                QFile::remove(dir.filePath(name));
        }
    }
    Connection reopened(path);
    EXPECT_EQ(column(reopened, "PRAGMA integrity_check"), QStringList{"ok"});
    EXPECT_EQ(column(reopened, "SELECT Name FROM Spells"), QStringList{"Own"});
}

// Two imports at once: the second waits for the first, and when that takes longer than it waits,
// it says so in words, and what it had imported stays.
TEST_F(SharedLibrary, AnImportWhileAnotherChangesTheLibrarySaysSoInWords)
{
    const QString file =
        writeFile(dir.path(), QStringLiteral("one.sbok"),
                  "For Vellumar Use Only\r\n1\r\nMira||7||Elf||Mage||4||3||2||1||0||0||0||0||0\r\n"
                  "Lone||1||Rare||||PHB||9||V||Touch||1 round||One||Round(s)||1||None||A spell.||Me||"
                  "A~~B\r\n");
    Connection other(path);
    other.exec("BEGIN IMMEDIATE;"); // the first import, in the middle of a batch
    const QString second = runPeer({QStringLiteral("import"), file}, dir.path());
    other.exec("ROLLBACK;");
    EXPECT_EQ(second, "exit 1: The library file " + QDir::toNativeSeparators(path) +
                          " is in use by another program that is changing it (another Vellumar importing, "
                          "perhaps), and it was not done within 5 seconds, so this change was not made. Try "
                          "again once the other program is done. The import stopped there: 0 spells had "
                          "already been imported and are kept. Import the file again to bring in the rest.");
}
