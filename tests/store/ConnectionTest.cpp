#include "TestLibrary.h"

#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"

#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

VmError openError()
{
    try {
        VM_Library library;
    } catch (const VmError &error) {
        return error;
    }
    ADD_FAILURE() << "the library opened";
    return {};
}

} // namespace

TEST(Connection, MissingWrongOrForeignFilesAreClearErrorsAndNeverCreateALibrary)
{
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = dir.filePath("Spells.mdb");

    // Missing: an error, and no empty database is left behind.
    VmError missing = openError();
    EXPECT_TRUE(missing.description.contains("could not be found")) << missing.description.toStdString();
    EXPECT_FALSE(QFile::exists(path));

    // Encrypted with another password.
    {
        sqlite3 *raw = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, "PRAGMA key = 'not-the-password'; CREATE TABLE Spells (Name TEXT);",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    }
    VmError wrongKey = openError();
    EXPECT_TRUE(wrongKey.description.contains("password is wrong")) << wrongKey.description.toStdString();
    EXPECT_STREQ(wrongKey.what(), wrongKey.description.toUtf8().constData());

    // Not a database at all, and a file too short to hold a salt.
    for (const QByteArray &content :
         {QByteArray("This is a note, not a spell library. It is long enough."), QByteArray("x")}) {
        QFile::remove(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        VmError foreign = openError();
        EXPECT_TRUE(foreign.description.contains("not a Vellumar library"))
            << foreign.description.toStdString();
        QFile check(path);
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        EXPECT_EQ(check.readAll(), content) << "a foreign file must be left untouched";
    }
    setAppFolder(QString());
}

TEST(Connection, LibrariesWithEitherPageSizeOpenWithThePassword)
{
    QTemporaryDir dir;
    // One made by a plain SQLCipher tool with nothing but the password ...
    const QString plain = dir.filePath("plain.mdb");
    {
        sqlite3 *raw = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(plain).constData(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw,
                               "PRAGMA key = 'wyvern4'; CREATE TABLE Spells (Name TEXT); "
                               "INSERT INTO Spells VALUES ('Plain');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    }
    // ... and one of ours, whose larger pages the tool is told about with one more setting.
    const QString ours = dir.filePath("ours.mdb");
    createLibrary(ours);
    {
        sqlite3 *raw = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(ours).constData(), &raw), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(raw,
                               "PRAGMA key = 'wyvern4'; PRAGMA cipher_page_size = 4096; "
                               "SELECT count(*) FROM Frequency;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    }
    for (int round = 0; round < 2; ++round) { // the second round uses the remembered page size
        Connection plainConnection(plain);
        Statement select(plainConnection, "SELECT Name FROM Spells");
        ASSERT_TRUE(select.step());
        EXPECT_EQ(select.text(0), "Plain");
        Connection ourConnection(ours);
        Statement count(ourConnection, "SELECT count(*) FROM Frequency");
        ASSERT_TRUE(count.step());
        EXPECT_EQ(count.integer(0), 6);
    }
}

TEST(Connection, CreateLibraryRefusesAnExistingPathAndBuildsTheFixedRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Spells.mdb");
    createLibrary(path);
    EXPECT_THROW(createLibrary(path), VmError);

    Connection connection(path);
    Statement frequencies(connection, "SELECT Frequency, FrequencyID FROM Frequency ORDER BY FrequencyID");
    QStringList seen;
    while (frequencies.step())
        seen.append(frequencies.text(0) + QLatin1Char('=') + frequencies.text(1));
    EXPECT_EQ(seen,
              (QStringList{"Common=1", "UnCommon=2", "Rare=3", "Very Rare=4", "Unique=5", "Restricted=6"}));
    Statement empty(connection,
                    "SELECT (SELECT count(*) FROM Spells) + (SELECT count(*) FROM [Sphere Names])");
    ASSERT_TRUE(empty.step());
    EXPECT_EQ(empty.integer(0), 0);
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

TEST_F(LibraryTest, ManyStoreObjectsSeeEachOthersCommittedRows)
{
    VM_Library first;
    VM_Library second;
    VM_Spell spell;
    spell.Set_Spell_Name("Shared Sight");
    spell.Set_Spell_Level("3");
    spell.Set_Spell_Schools_Collection({"Divination"});
    ASSERT_EQ(spell.Add_New_Spell(), QString());
    EXPECT_EQ(first.Fetch_Spells_List(), QStringList{"Shared Sight"});
    EXPECT_EQ(second.Fetch_Spells_List(), QStringList{"Shared Sight"});
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

    // A row committed by another connection is seen by the next statement.
    library.addSpell("Mending", "1", {"Alteration"});
    Statement count(reader, "SELECT count(*) FROM Spells");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 2);
}

TEST(Connection, ReadOnlyOpensALibraryNobodyElseHasOpenAndNeverCreatesOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Spells.mdb");
    EXPECT_THROW(Connection(path, Connection::Access::ReadOnly), VmError);
    EXPECT_FALSE(QFile::exists(path));

    // With no writer open there is no WAL index yet; the reader must cope.
    createLibrary(path);
    Connection reader(path, Connection::Access::ReadOnly);
    Statement count(reader, "SELECT count(*) FROM Frequency");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 6);
}
