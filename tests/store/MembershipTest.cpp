#include "TestLibrary.h"

namespace {

ListRow row(const QString &name, const QString &level, bool selected = true)
{
    return ListRow{name, {level, "Common", "KXR", "1"}, selected};
}

} // namespace

TEST_F(LibraryTest, AddingToASpellbookSkipsUnselectedRowsAndSpellsAlreadyThere)
{
    const QString caster = "Ysolde \"Ash\" O'Rourke";
    library.addToSpellbook(caster, "Held", "1");
    VM_Library lib;
    lib.Add_Spells_To_Spellbook(" " + caster, {row(" Held ", "1"), row("New \"One\"", " 2 "),
                                               row("Skipped", "3", false), row("New \"One\"", "2")});
    EXPECT_EQ(library.rows("SELECT Caster, SpellName, SpellLevel FROM Spellbook ORDER BY rowid"),
              (QStringList{caster + "|Held|1", caster + "|New \"One\"|2"}));

    const QStringList before = library.dump();
    lib.Add_Spells_To_Spellbook(caster, {row("Held", "1", false)});
    EXPECT_EQ(library.dump(), before);
}

TEST_F(LibraryTest, AFailedAddRaisesUnderItsOwnNameAndWritesNothing)
{
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Spellbook WHEN NEW.SpellName = 'Boom' "
                      "BEGIN SELECT RAISE(ABORT, 'disk I/O error  '); END;");
    const QStringList before = library.dump();
    VM_Library lib;
    EXPECT_EQ(raised([&] {
                  lib.Add_Spells_To_Spellbook("Bryn", {row("Fine", "1"), row("Boom", "1")});
              }),
              "-1 Add_Spells_To_Spellbook: disk I/O error");
    EXPECT_EQ(library.dump(), before);
}

TEST_F(LibraryTest, RemovingFromASpellbookComparesNamesExactly)
{
    library.addToSpellbook("Bryn", "Alpha");
    library.addToSpellbook("Bryn", "Beta ");
    library.addToSpellbook("Bryn", "Quote \"d\"");
    library.addToSpellbook("Other", "Alpha");
    VM_Library lib;

    EXPECT_EQ(lib.Remove_Spells_From_Spellbook({"Not There"}, "Bryn"), QString());
    EXPECT_EQ(lib.Remove_Spells_From_Spellbook({"Alpha", "Beta", "Quote \"d\""}, "Bryn"), QString());
    EXPECT_EQ(library.rows("SELECT Caster, SpellName FROM Spellbook ORDER BY rowid"),
              (QStringList{"Bryn|Beta ", "Other|Alpha"}));

    EXPECT_EQ(lib.Remove_Spells_From_Spellbook({"Beta "}, "Bryn"), QString());
    EXPECT_EQ(library.count("SELECT count(*) FROM Spellbook WHERE Caster = 'Bryn'"), 0);
    EXPECT_EQ(lib.Remove_Spells_From_Spellbook({"Alpha"}, "Nobody"), QString());

    library.db().exec("DROP TABLE Spellbook;");
    EXPECT_TRUE(lib.Remove_Spells_From_Spellbook({"Alpha"}, "Bryn").contains("no such table"));
}

TEST_F(LibraryTest, RemovingFailedSpellsTakesOneRowPerSelectedItem)
{
    library.addFailed("Bryn", "Twice", "1");
    library.addFailed("Bryn", "Twice", "1");
    library.addFailed("Bryn", "Kept", "2");
    library.addFailed("Other", "Twice", "1");
    VM_Library lib;
    lib.Remove_Spells_From_Failed(" Bryn ", {row("Twice", "1"), row("Kept", "2", false)});
    EXPECT_EQ(library.count("SELECT count(*) FROM FailedSpells WHERE SpellName = 'Twice'"), 2);
    lib.Remove_Spells_From_Failed("Bryn", {row("Twice", "1")});
    EXPECT_EQ(library.rows("SELECT Caster, SpellName FROM FailedSpells ORDER BY rowid"),
              (QStringList{"Bryn|Kept", "Other|Twice"}));

    library.db().exec("DROP TABLE FailedSpells;");
    EXPECT_TRUE(raised([&] {
                    lib.Remove_Spells_From_Failed("Bryn", {row("Kept", "2")});
                }).startsWith("-1 Remove_Spells_From_Failed: no such table"));
}

// Older libraries allowed a spell twice in one spellbook and had no unique index. The first
// connection that may change such a library keeps one row of each and adds the index, even when a
// read-only one (a report) opened it first; a library only read is left as it is.
TEST(Membership, AnOlderLibraryLosesItsDuplicatesWhenOpenedToBeChanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Spells.mdb");
    createLibrary(path);
    {
        Connection older(path);
        older.exec(
            "DROP INDEX Spellbook_Once; CREATE INDEX Spellbook_ByCaster ON Spellbook (Caster, SpellName);"
            "INSERT INTO Spellbook (Caster, SpellName, SpellLevel) VALUES ('Mira', 'Light', '1'),"
            "('Mira', 'Light', '2'), ('Bryn', 'Light', '1'), ('Mira', 'Dark', '1'), ('Mira', 'Light', '3');");
    }
    const auto members = [](Connection &connection) {
        QStringList rows;
        Statement select(connection, "SELECT Caster, SpellName, SpellLevel FROM Spellbook ORDER BY rowid");
        while (select.step())
            rows.append(select.text(0) + "|" + select.text(1) + "|" + select.text(2));
        return rows;
    };
    const auto indexes = [](Connection &connection) {
        QStringList rows;
        Statement select(connection, "SELECT name || '|' || (sql LIKE 'CREATE UNIQUE%') FROM sqlite_master "
                                     "WHERE type = 'index' AND tbl_name = 'Spellbook' ORDER BY name");
        while (select.step())
            rows.append(select.text(0));
        return rows;
    };
    const QStringList before = {"Spellbook_ByCaster|0", "Spellbook_BySpell|0"};
    Connection reader(path, Connection::Access::ReadOnly);
    EXPECT_EQ(members(reader).size(), 5);
    EXPECT_EQ(indexes(reader), before);

    Connection writer(path);
    EXPECT_EQ(members(writer), (QStringList{"Mira|Light|1", "Bryn|Light|1", "Mira|Dark|1"}));
    EXPECT_EQ(indexes(reader), (QStringList{"Spellbook_BySpell|0", "Spellbook_Once|1"}));
    EXPECT_THROW(writer.exec("INSERT INTO Spellbook (Caster, SpellName) VALUES ('Mira', 'Dark')"), VmError);
    writer.exec("INSERT OR IGNORE INTO Spellbook (Caster, SpellName) VALUES ('Mira', 'Dark')");
    EXPECT_EQ(members(reader).size(), 3);
}

TEST_F(LibraryTest, LearningFailedSpellsMovesThemInOneChange)
{
    library.addFailed("Bryn", "Held", "1");
    library.addFailed("Bryn", "New", "2");
    library.addFailed("Bryn", "Boom", "3");
    library.addFailed("Bryn", "Stays", "4");
    library.addToSpellbook("Bryn", "Held", "1");
    VM_Library lib;
    lib.Learn_Failed_Spells(" Bryn ", {row("Held", "1"), row("New", "2"), row("Stays", "4", false)});
    EXPECT_EQ(
        library.rows("SELECT SpellName, SpellLevel FROM Spellbook WHERE Caster = 'Bryn' ORDER BY rowid"),
        (QStringList{"Held|1", "New|2"}));
    EXPECT_EQ(library.rows("SELECT SpellName FROM FailedSpells ORDER BY rowid"),
              (QStringList{"Boom", "Stays"}));

    // The spellbook refuses one of them: none leaves the failed list, none goes in.
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Spellbook WHEN NEW.SpellName = 'Boom' "
                      "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;");
    const QStringList before = library.dump();
    EXPECT_EQ(raised([&] {
                  lib.Learn_Failed_Spells("Bryn", {row("Stays", "4"), row("Boom", "3")});
              }),
              "-1 Learn_Failed_Spells: database or disk is full");
    EXPECT_EQ(library.dump(), before);
}
