#include "FileSizeLimit.h"
#include "TestLibrary.h"

#include "store/AppFolder.h"
#include "store/BackgroundCheckpoint.h"
#include "store/PrivateLocks.h"
#include "store/VM_Spell.h"

#include <QFileInfo>

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

// Runs SQL on a file as a plain SQLCipher tool does, the key given in the SQL. Its locks are taken
// as the program's connections take theirs: a lock this process took otherwise would be its own
// and no other program's.
void runTool(const QString &path, const char *sql)
{
    usePrivateLocks();
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(raw);
}

QString firstValue(Connection &connection, const char *sql)
{
    Statement select(connection, sql);
    return select.step() ? select.text(0) : QStringLiteral("<no row>");
}

} // namespace

TEST(Connection, MissingWrongOrForeignFilesAreClearErrorsAndNeverCreateALibrary)
{
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = dir.filePath("Spells.mdb");
    const auto openLibrary = [] { VM_Library library; };

    // Missing: an error, and no empty database is left behind.
    EXPECT_TRUE(raised(openLibrary).contains("could not be found")) << raised(openLibrary).toStdString();
    EXPECT_FALSE(QFile::exists(path));

    runTool(path, "PRAGMA key = 'not-the-password'; CREATE TABLE Spells (Name TEXT);");
    EXPECT_TRUE(raised(openLibrary).contains("password is wrong")) << raised(openLibrary).toStdString();
    try {
        openLibrary();
    } catch (const VmError &error) {
        EXPECT_STREQ(error.what(), error.description.toUtf8().constData());
    }

    // Not a database at all, and a file too short to hold a salt: both left untouched.
    for (const QByteArray &content :
         {QByteArray("This is a note, not a spell library. It is long enough."), QByteArray("x")}) {
        QFile::remove(path);
        writeFile(dir.path(), "Spells.mdb", content);
        EXPECT_TRUE(raised(openLibrary).contains("not a Vellumar library"))
            << raised(openLibrary).toStdString();
        EXPECT_EQ(fileBytes(path), content);
    }

    // Something that cannot be read is not taken for a wrong password.
    QFile::remove(path);
    ASSERT_TRUE(QDir(dir.path()).mkdir("Spells.mdb"));
    EXPECT_TRUE(raised(openLibrary).contains("could not be opened: ")) << raised(openLibrary).toStdString();
    EXPECT_FALSE(raised(openLibrary).contains("password")) << raised(openLibrary).toStdString();
    QDir(dir.path()).rmdir("Spells.mdb");

    // A library that cannot be changed is refused at once, and leaves no journal files behind
    // (root can write to anything, so only other users see this).
    if (geteuid() != 0) {
        createLibrary(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        EXPECT_TRUE(raised(openLibrary).contains("is read-only")) << raised(openLibrary).toStdString();
        EXPECT_FALSE(QFile::exists(path + "-shm"));
        Connection reader(path, Connection::Access::ReadOnly); // reports still read it
    }
    setAppFolder(QString());
}

TEST(Connection, NoChangeGoesToALibraryFileMovedAwayWhileOpen)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Spells.mdb");
    createLibrary(path);
    Connection library(path);
    ASSERT_TRUE(QFile::rename(path, dir.filePath("Elsewhere.mdb")));
    EXPECT_TRUE(raised([&] { Transaction change(library); }).contains("has been moved or deleted"));
    ASSERT_TRUE(QFile::rename(dir.filePath("Elsewhere.mdb"), path));
    Transaction change(library);
    change.commit();
}

TEST(Connection, LibrariesWithEitherPageSizeOpenWithThePasswordAfterAnyWriterAndNoneIsCreatedEmpty)
{
    QTemporaryDir dir;
    // One made by a plain SQLCipher tool with nothing but the password ...
    const QString plain = dir.filePath("plain.mdb");
    runTool(plain,
            "PRAGMA key = 'wyvern4'; CREATE TABLE Spells (Name TEXT); INSERT INTO Spells VALUES ('Plain');");
    // A library another program is writing is waited for from the first read: the plain tool's
    // library keeps a rollback journal, whose writer shuts readers out entirely.
    sqlite3 *writer = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(plain).constData(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "PRAGMA key = 'wyvern4'; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread finisher([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(writer, "COMMIT;", nullptr, nullptr, nullptr);
    });
    const QString error = raised([&] {
        Connection waiting(plain);
        EXPECT_EQ(firstValue(waiting, "SELECT Name FROM Spells"), "Plain");
    });
    finisher.join();
    sqlite3_close(writer);
    EXPECT_EQ(error, QString());
    // ... and one of ours, whose larger pages the tool is told about with one more setting.
    const QString ours = dir.filePath("ours.mdb");
    createLibrary(ours);
    EXPECT_THROW(createLibrary(ours), VmError);
    runTool(ours, "PRAGMA key = 'wyvern4'; PRAGMA cipher_page_size = 4096; SELECT count(*) FROM Frequency;");
    for (int round = 0; round < 2; ++round) { // the second round uses the remembered page size
        Connection plainConnection(plain);
        EXPECT_EQ(firstValue(plainConnection, "SELECT Name FROM Spells"), "Plain");
        Connection ourConnection(ours);
        EXPECT_EQ(firstValue(ourConnection,
                             "SELECT (SELECT count(*) FROM Spells) + (SELECT count(*) FROM [Sphere Names])"),
                  "0");
    }

    // Read-only opens a library nobody else has open (no WAL index yet) and never creates one.
    const QString missing = dir.filePath("missing.mdb");
    EXPECT_THROW(Connection(missing, Connection::Access::ReadOnly), VmError);
    EXPECT_FALSE(QFile::exists(missing));
    Connection reader(ours, Connection::Access::ReadOnly);
    EXPECT_EQ(firstValue(reader, "SELECT count(*) FROM Frequency"), "6");
}

TEST_F(LibraryTest, ReadOnlyConnectionsReadCommittedRowsAndRefuseEveryChange)
{
    library.addSpell("Light", "1", {"Alteration"});
    Connection reader(library.path(), Connection::Access::ReadOnly);
    Statement select(reader, "SELECT Name AS [Spell Name], Lvl FROM Spells WHERE Lvl = :Lvl");
    EXPECT_EQ(select.columnName(0), "Spell Name");
    ASSERT_EQ(select.parameterCount(), 1);
    EXPECT_EQ(select.parameterName(1), ":Lvl");
    select.bind(1, "1");
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.text(0), "Light");
    select.reset();

    EXPECT_THROW(reader.exec("DELETE FROM Spells;"), VmError);
    EXPECT_THROW(reader.exec("CREATE TABLE Notes (Text TEXT);"), VmError);
    EXPECT_EQ(library.count("SELECT count(*) FROM Spells"), 1);

    // A row committed by another connection, or another store object, is seen by the next statement.
    library.addSpell("Mending", "1", {"Alteration"});
    EXPECT_EQ(firstValue(reader, "SELECT count(*) FROM Spells"), "2");
    VM_Library first;
    VM_Spell spell;
    spell.Set_Spell_Name("Shared Sight");
    ASSERT_EQ(spell.Add_New_Spell(), QString());
    EXPECT_EQ(first.Fetch_Spells_List(), (QStringList{"Light", "Mending", "Shared Sight"}));
}

// While a long change commits batch after batch, a thread of its own moves what is committed
// into the library file. The log starts over once it is long, so it never holds the whole
// change, and the connection gets its own checkpoints back at the end.
TEST_F(LibraryTest, ABackgroundCheckpointMovesCommittedBatchesIntoTheFileAndKeepsTheLogShort)
{
    Connection &db = library.db();
    db.exec("PRAGMA wal_autocheckpoint = 2;"); // a log of more than thirty-two pages is long
    const qint64 before = QFileInfo(library.path()).size();
    constexpr int kBatches = 8;
    constexpr int kBatchBytes = 50 * 2000;
    {
        BackgroundCheckpoint checkpoint(db);
        for (int batch = 0; batch < kBatches; ++batch) {
            checkpoint.beforeBatch();
            db.exec("BEGIN IMMEDIATE;");
            library.rows(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 49) "
                "INSERT INTO Spells (Name, Lvl, Description) SELECT printf('Batch %d-%d', ?, i), '1', "
                "zeroblob(2000) FROM n",
                {QString::number(batch)});
            db.exec("COMMIT;");
            checkpoint.committed();
        }
        EXPECT_LT(QFileInfo(library.path() + "-wal").size(), kBatches * kBatchBytes / 2);
    }
    EXPECT_GT(QFileInfo(library.path()).size(), before);
    EXPECT_EQ(library.rows("PRAGMA wal_autocheckpoint"), QStringList{"2"});
    EXPECT_EQ(library.rows("PRAGMA journal_size_limit"), QStringList{"16777216"});
    Connection reader(library.path(), Connection::Access::ReadOnly);
    EXPECT_EQ(firstValue(reader, "SELECT count(*) FROM Spells WHERE Name LIKE 'Batch %'"),
              QString::number(kBatches * 50));

    // A log that grew long in one change is cut back when it starts over.
    constexpr qint64 kLogLimit = 16 << 20;
    library.rows("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 4999) "
                 "INSERT INTO Spells (Name, Lvl, Description) SELECT printf('Long %d', i), '1', "
                 "zeroblob(4000) FROM n");
    EXPECT_GT(QFileInfo(library.path() + "-wal").size(), kLogLimit);
    library.rows("UPDATE Spells SET Lvl = '2' WHERE Name = 'Long 0'");
    EXPECT_LE(QFileInfo(library.path() + "-wal").size(), kLogLimit);
}

TEST_F(LibraryTest, SchoolCounterKeepsBuiltInsBelowFiftyAndGivesEveryUserSchoolFiftyOrMore)
{
    // Built-in schools are loaded with explicit numbers, as the library tool does.
    library.db().exec(
        "INSERT INTO [Sphere Names] (Auto, Sphere_Name) VALUES (1, 'Abjuration'), (2, 'Alteration');");
    VM_Library lib;
    EXPECT_EQ(lib.Add_New_School("Runes"), QString());
    EXPECT_EQ(lib.Add_New_School("Glyphs"), QString());
    EXPECT_EQ(lib.Delete_New_School("Glyphs"), QString());
    EXPECT_EQ(lib.Add_New_School("Sigils"), QString());
    EXPECT_EQ(library.rows("SELECT Sphere_Name, Auto FROM [Sphere Names] ORDER BY Auto"),
              (QStringList{"Abjuration|1", "Alteration|2", "Runes|50", "Sigils|52"}));
    EXPECT_EQ(lib.Fetch_User_Schools_List(), (QStringList{"Runes", "Sigils"}));
}

TEST_F(LibraryTest, SavedQueryKeepsSpellsWithoutSchools)
{
    library.addSpell("Lonely", "1", {});
    library.addSpell("Paired", "2", {"A", "B"});
    EXPECT_EQ(library.rows("SELECT Name, Sphere FROM AddSpheres ORDER BY Name, Sphere"),
              (QStringList{"Lonely|<null>", "Paired|A", "Paired|B"}));
}

TEST(Connection, ALibraryWithoutOurIndexesGetsThemWhenOpenedToWriteAndDrawsScrolls)
{
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = dir.filePath("Spells.mdb");
    runTool(path, "PRAGMA key = 'wyvern4';"
                  "CREATE TABLE Spells (Name TEXT, Lvl TEXT, Frequency TEXT, Book TEXT, Page TEXT);"
                  "CREATE TABLE SpellandSphere (Name TEXT, Sphere TEXT);"
                  "CREATE TABLE Frequency (Frequency TEXT, FrequencyID INTEGER);"
                  "INSERT INTO Frequency VALUES ('Common', 1);"
                  "INSERT INTO Spells VALUES ('Spark', '1', 'Common', 'PHB', '9');"
                  "INSERT INTO SpellandSphere VALUES ('Spark', 'Fire');");
    const char *const indexes = "SELECT group_concat(name, ',') FROM "
                                "(SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name)";

    // Reading only changes nothing.
    EXPECT_EQ(firstValue(*std::make_unique<Connection>(path, Connection::Access::ReadOnly), indexes),
              QString());

    // The indexes of the tables the file has, made once however often it is opened; tables it
    // lacks are no obstacle.
    for (int round = 0; round < 2; ++round) {
        Connection connection(path);
        EXPECT_EQ(firstValue(connection, indexes),
                  "MemorizedPlans_ByCaster,MemorizedSlots_Once,Memorized_ByCaster,Memorized_BySpell,"
                  "SpellandSphere_ByName,SpellandSphere_Ordered,"
                  "Spells_ByName,Spells_Ordered");
    }
    VM_Library library;
    EXPECT_EQ(library.CreateScroll({"1"}, {"Fire"}, 1, 2, 1), QString());
    ASSERT_TRUE(library.Fetch_LibScrolls_Array());
    EXPECT_EQ(library.Fetch_LibScrolls_Array()->at(0, 1), "Spark");
}

TEST(Connection, AFullDiskAndADamagedLibraryAreToldPlainlyAndChangeNothing)
{
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = dir.filePath("Spells.mdb");
    createLibrary(path);
    {
        Connection filler(path);
        filler.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                    "INSERT INTO Spells (Name, Lvl, Description) SELECT 'Spell ' || i, '1', "
                    "printf('%.300c', 'x') FROM n;");
    }
    const QByteArray intact = fileBytes(path);
    const auto startUp = [] {
        VM_Library library;
        library.Get_Exisiting_Spellbook_Names();
    };
    {
        // Starting needs room for the journal files beside the library.
        FileSizeLimit full(0);
        ASSERT_TRUE(full.active());
        const QString error = raised(startUp);
        EXPECT_TRUE(error.contains("The disk that holds the library file " + QDir::toNativeSeparators(path) +
                                   " is full, so nothing was changed."))
            << error.toStdString();
    }
    EXPECT_EQ(fileBytes(path), intact);
    EXPECT_EQ(raised(startUp), QString());

    // A page in the middle of the file overwritten, as a failing disk or a bad copy does.
    QByteArray damaged = intact;
    damaged.replace(damaged.size() / 2, 4096, QByteArray(4096, '\x5a'));
    QFile::remove(path);
    writeFile(dir.path(), "Spells.mdb", damaged);
    const QString error = raised([&] {
        Connection library(path);
        Statement read(library, "SELECT max(Description) FROM Spells NOT INDEXED");
        read.step();
    });
    EXPECT_TRUE(error.contains("The library file " + QDir::toNativeSeparators(path) + " is damaged"))
        << error.toStdString();
    EXPECT_TRUE(error.contains(
        "Restore it from a backup: close Vellumar, then copy the backup over the damaged file."))
        << error.toStdString();
    setAppFolder(QString());
}
