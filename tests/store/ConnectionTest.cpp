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
    const QString path = dir.filePath(QStringLiteral("Spells.mdb"));

    // Missing: an error, and no empty database is left behind.
    VmError missing = openError();
    EXPECT_TRUE(missing.description.contains(QStringLiteral("could not be found")))
        << missing.description.toStdString();
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
    EXPECT_TRUE(wrongKey.description.contains(QStringLiteral("password is wrong")))
        << wrongKey.description.toStdString();
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
        EXPECT_TRUE(foreign.description.contains(QStringLiteral("not a Vellumar library")))
            << foreign.description.toStdString();
        QFile check(path);
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        EXPECT_EQ(check.readAll(), content) << "a foreign file must be left untouched";
    }
    setAppFolder(QString());
}

TEST(Connection, CreateLibraryRefusesAnExistingPathAndBuildsTheFixedRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Spells.mdb"));
    createLibrary(path);
    EXPECT_THROW(createLibrary(path), VmError);

    Connection connection(path);
    Statement frequencies(connection, "SELECT Frequency, FrequencyID FROM Frequency ORDER BY FrequencyID");
    QStringList seen;
    while (frequencies.step())
        seen.append(frequencies.text(0) + QLatin1Char('=') + frequencies.text(1));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Common=1"), QStringLiteral("UnCommon=2"),
                                 QStringLiteral("Rare=3"), QStringLiteral("Very Rare=4"),
                                 QStringLiteral("Unique=5"), QStringLiteral("Restricted=6")}));
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
    EXPECT_EQ(lib.Add_New_School(QStringLiteral("Runes")), QString());
    EXPECT_EQ(lib.Add_New_School(QStringLiteral("Glyphs")), QString());
    EXPECT_EQ(lib.Delete_New_School(QStringLiteral("Glyphs")), QString());
    EXPECT_EQ(lib.Add_New_School(QStringLiteral("Sigils")), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Sphere_Name, Auto FROM [Sphere Names] ORDER BY Auto")),
              (QStringList{QStringLiteral("Abjuration|1"), QStringLiteral("Alteration|2"),
                           QStringLiteral("Runes|50"), QStringLiteral("Sigils|52")}));
    EXPECT_EQ(lib.Fetch_User_Schools_List(),
              (QStringList{QStringLiteral("Runes"), QStringLiteral("Sigils")}));
}

TEST_F(LibraryTest, SavedQueryKeepsSpellsWithoutSchools)
{
    library.addSpell(QStringLiteral("Lonely"), QStringLiteral("1"), {});
    library.addSpell(QStringLiteral("Paired"), QStringLiteral("2"),
                     {QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name, Sphere FROM AddSpheres ORDER BY Name, Sphere")),
              (QStringList{QStringLiteral("Lonely|<null>"), QStringLiteral("Paired|A"),
                           QStringLiteral("Paired|B")}));
}

TEST_F(LibraryTest, ManyStoreObjectsSeeEachOthersCommittedRows)
{
    VM_Library first;
    VM_Library second;
    VM_Spell spell;
    spell.Set_Spell_Name(QStringLiteral("Shared Sight"));
    spell.Set_Spell_Level(QStringLiteral("3"));
    spell.Set_Spell_Schools_Collection({QStringLiteral("Divination")});
    ASSERT_EQ(spell.Add_New_Spell(), QString());
    EXPECT_EQ(first.Fetch_Spells_List(), QStringList{QStringLiteral("Shared Sight")});
    EXPECT_EQ(second.Fetch_Spells_List(), QStringList{QStringLiteral("Shared Sight")});
}
