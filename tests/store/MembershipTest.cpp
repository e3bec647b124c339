#include "TestLibrary.h"

#include "store/VM_Library.h"
#include "store/VmError.h"

namespace {

ListRow row(const QString &name, const QString &level, bool selected = true)
{
    return ListRow{
        name, {level, QStringLiteral("Common"), QStringLiteral("KXR"), QStringLiteral("1")}, selected};
}

} // namespace

TEST_F(LibraryTest, AddingToASpellbookSkipsUnselectedRowsAndSpellsAlreadyThere)
{
    const QString caster = QStringLiteral("Ysolde \"Ash\" O'Rourke");
    library.addToSpellbook(caster, QStringLiteral("Held"), QStringLiteral("1"));
    VM_Library lib;
    lib.Add_Spells_To_Spellbook(QStringLiteral(" ") + caster,
                                {row(QStringLiteral(" Held "), QStringLiteral("1")),
                                 row(QStringLiteral("New \"One\""), QStringLiteral(" 2 ")),
                                 row(QStringLiteral("Skipped"), QStringLiteral("3"), false),
                                 row(QStringLiteral("New \"One\""), QStringLiteral("2"))});
    EXPECT_EQ(
        library.rows(QStringLiteral("SELECT Caster, SpellName, SpellLevel FROM Spellbook ORDER BY rowid")),
        (QStringList{caster + QStringLiteral("|Held|1"), caster + QStringLiteral("|New \"One\"|2")}));

    const QStringList before = library.dump();
    lib.Add_Spells_To_Spellbook(caster, {row(QStringLiteral("Held"), QStringLiteral("1"), false)});
    EXPECT_EQ(library.dump(), before);
}

TEST_F(LibraryTest, AFailedAddRaisesUnderItsOwnNameAndWritesNothing)
{
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Spellbook WHEN NEW.SpellName = 'Boom' "
                      "BEGIN SELECT RAISE(ABORT, 'disk I/O error  '); END;");
    const QStringList before = library.dump();
    VM_Library lib;
    try {
        lib.Add_Spells_To_Spellbook(QStringLiteral("Bryn"),
                                    {row(QStringLiteral("Fine"), QStringLiteral("1")),
                                     row(QStringLiteral("Boom"), QStringLiteral("1"))});
        FAIL() << "no error raised";
    } catch (const VmError &error) {
        EXPECT_EQ(error.number, -1);
        EXPECT_EQ(error.source, QStringLiteral("Add_Spells_To_Spellbook"));
        EXPECT_EQ(error.description, QStringLiteral("disk I/O error"));
    }
    EXPECT_EQ(library.dump(), before);
}

TEST_F(LibraryTest, RemovingFromASpellbookComparesNamesExactly)
{
    library.addToSpellbook(QStringLiteral("Bryn"), QStringLiteral("Alpha"));
    library.addToSpellbook(QStringLiteral("Bryn"), QStringLiteral("Beta "));
    library.addToSpellbook(QStringLiteral("Bryn"), QStringLiteral("Quote \"d\""));
    library.addToSpellbook(QStringLiteral("Other"), QStringLiteral("Alpha"));
    VM_Library lib;

    EXPECT_EQ(lib.Remove_Spells_From_Spellbook({QStringLiteral("Not There")}, QStringLiteral("Bryn")),
              QString());
    EXPECT_EQ(lib.Remove_Spells_From_Spellbook(
                  {QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Quote \"d\"")},
                  QStringLiteral("Bryn")),
              QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Caster, SpellName FROM Spellbook ORDER BY rowid")),
              (QStringList{QStringLiteral("Bryn|Beta "), QStringLiteral("Other|Alpha")}));

    EXPECT_EQ(lib.Remove_Spells_From_Spellbook({QStringLiteral("Beta ")}, QStringLiteral("Bryn")), QString());
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM Spellbook WHERE Caster = 'Bryn'")), 0);
    EXPECT_EQ(lib.Remove_Spells_From_Spellbook({QStringLiteral("Alpha")}, QStringLiteral("Nobody")),
              QString());

    library.db().exec("DROP TABLE Spellbook;");
    EXPECT_TRUE(lib.Remove_Spells_From_Spellbook({QStringLiteral("Alpha")}, QStringLiteral("Bryn"))
                    .contains(QStringLiteral("no such table")));
}

TEST_F(LibraryTest, RemovingFailedSpellsTakesOneRowPerSelectedItem)
{
    library.addFailed(QStringLiteral("Bryn"), QStringLiteral("Twice"), QStringLiteral("1"));
    library.addFailed(QStringLiteral("Bryn"), QStringLiteral("Twice"), QStringLiteral("1"));
    library.addFailed(QStringLiteral("Bryn"), QStringLiteral("Kept"), QStringLiteral("2"));
    library.addFailed(QStringLiteral("Other"), QStringLiteral("Twice"), QStringLiteral("1"));
    VM_Library lib;
    lib.Remove_Spells_From_Failed(QStringLiteral(" Bryn "),
                                  {row(QStringLiteral("Twice"), QStringLiteral("1")),
                                   row(QStringLiteral("Kept"), QStringLiteral("2"), false)});
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM FailedSpells WHERE SpellName = 'Twice'")),
              2);
    lib.Remove_Spells_From_Failed(QStringLiteral("Bryn"),
                                  {row(QStringLiteral("Twice"), QStringLiteral("1"))});
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Caster, SpellName FROM FailedSpells ORDER BY rowid")),
              (QStringList{QStringLiteral("Bryn|Kept"), QStringLiteral("Other|Twice")}));

    library.db().exec("DROP TABLE FailedSpells;");
    try {
        lib.Remove_Spells_From_Failed(QStringLiteral("Bryn"),
                                      {row(QStringLiteral("Kept"), QStringLiteral("2"))});
        FAIL() << "no error raised";
    } catch (const VmError &error) {
        EXPECT_EQ(error.source, QStringLiteral("Remove_Spells_From_Failed"));
        EXPECT_EQ(error.number, -1);
    }
}
