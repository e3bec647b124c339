#include "Files.h"
#include "Peer.h"
#include "Raised.h"

#include "exchange/ExchangeReader.h"
#include "exchange/SafeSave.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/VM_Library.h"

#include <QDir>
#include <QTemporaryDir>
#include <sqlite3.h>

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

// The plain SQLCipher shell, as a user or a backup tool would run it on the library.
QString runShell(const QString &path, const QByteArray &sql)
{
    return runProgram(QStringLiteral("sqlcipher"), {path}, QString(),
                      "PRAGMA key = 'wyvern4';\nPRAGMA cipher_page_size = 4096;\n" + sql + "\n");
}

} // namespace

// Other programs that open and close the library (a second Vellumar, the SQLCipher shell) must
// not take away the changes this program goes on making, however many store objects it has.
TEST(SharedLibrary, ChangesSurviveOtherProgramsOpeningAndClosingTheLibrary)
{
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = libraryPath();
    createLibrary(path);
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
    setAppFolder(QString());
}

TEST(SharedLibrary, TheOpenLibraryAndItsJournalsAreNeitherReadAsFilesNorWrittenOver)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Spells.mdb");
    createLibrary(path);
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

// A log beside the library is folded into it by the first connection that may write. One left
// by a crash of this library is the library's last changes; one from elsewhere would ruin it.
TEST(SharedLibrary, ALogFromAnotherLibraryIsRefusedAndChangesNothing)
{
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = libraryPath();
    const QString log = path + "-wal";
    createLibrary(path);
    EXPECT_EQ(runPeer({QStringLiteral("abandon"), QStringLiteral("Saved before the crash")}, dir.path()),
              "exit 0: ");
    ASSERT_TRUE(QFile::exists(log));
    {
        VM_Library library; // the crashed program's own log: its change is there
        Connection reader(path);
        EXPECT_EQ(column(reader, "SELECT Name FROM Spells"), QStringList{"Saved before the crash"});
    }
    ASSERT_FALSE(QFile::exists(log));

    const QString otherFolder = dir.filePath("other");
    QDir().mkpath(otherFolder);
    createLibrary(otherFolder + "/Spells.mdb");
    EXPECT_EQ(runPeer({QStringLiteral("abandon"), QStringLiteral("Foreign")}, otherFolder), "exit 0: ");
    ASSERT_TRUE(QFile::copy(otherFolder + "/Spells.mdb-wal", log));
    const QByteArray library = fileBytes(path);
    const QByteArray foreignLog = fileBytes(log);
    const QList<std::function<void()>> openers = {
        [] { VM_Library frame; },
        [&] { Connection reader(path, Connection::Access::ReadOnly); },
        [&] { Connection writer(path); },
    };
    for (const auto &open : openers) {
        const QString error = raised(open);
        EXPECT_TRUE(
            error.contains(QDir::toNativeSeparators(log) + " beside it does not belong to this library"))
            << error.toStdString();
        EXPECT_TRUE(error.contains("Move " + QDir::toNativeSeparators(log) + " out of that folder"))
            << error.toStdString();
        EXPECT_EQ(fileBytes(path), library);
        EXPECT_EQ(fileBytes(log), foreignLog);
    }

    ASSERT_TRUE(QFile::remove(log));
    Connection reopened(path);
    EXPECT_EQ(column(reopened, "PRAGMA integrity_check"), QStringList{"ok"});
    EXPECT_EQ(column(reopened, "SELECT Name FROM Spells"), QStringList{"Saved before the crash"});
    setAppFolder(QString());
}
