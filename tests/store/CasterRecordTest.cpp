#include "TestLibrary.h"

#include "store/VM_Spellbook.h"

TEST_F(LibraryTest, CasterLoadsAddsAndUpdatesWithoutEverChangingItsName)
{
    const QString name = QStringLiteral("Ysolde \"Ash\" O'Rourke");
    library.db().exec(
        "INSERT INTO SpellCasters (Spellbook, Lvl, Race, Class) VALUES ('Nulls', '3', NULL, 'Priest');");

    VM_Spellbook caster;
    EXPECT_EQ(caster.Set_Caster_Details(QStringLiteral("Nulls")), QString());
    EXPECT_EQ(caster.Fetch_Race(), QString());
    EXPECT_EQ(caster.Fetch_Class(), QStringLiteral("Priest"));
    EXPECT_EQ(caster.Set_Caster_Details(name), QStringLiteral("Spellbook details could not be found"));
    EXPECT_EQ(caster.Fetch_Name(), QStringLiteral("Nulls"));

    caster.Fetch_Name(QStringLiteral(" ") + name + QStringLiteral(" "));
    caster.Fetch_Lvl(QStringLiteral("7"));
    caster.Fetch_Race(QStringLiteral(" Half-elf "));
    caster.Fetch_First(QStringLiteral("4"));
    caster.Fetch_Ninth(QStringLiteral("1"));
    ASSERT_EQ(caster.Add_New_Caster(), QString());

    VM_Spellbook other;
    ASSERT_EQ(other.Set_Caster_Details(name), QString());
    EXPECT_EQ(other.Fetch_Race(), QStringLiteral("Half-elf"));
    EXPECT_EQ(other.Fetch_Ninth(), QStringLiteral("1"));

    other.Fetch_Name(QStringLiteral("Someone Else"));
    other.Fetch_Lvl(QStringLiteral("8"));
    ASSERT_EQ(other.Update_Existing_Caster(name + QLatin1Char(' ')), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Spellbook, Lvl FROM SpellCasters ORDER BY rowid")),
              (QStringList{QStringLiteral("Nulls|3"), name + QStringLiteral("|8")}));

    const QStringList before = library.dump();
    EXPECT_EQ(other.Update_Existing_Caster(QStringLiteral("Nobody")),
              QStringLiteral("Spellbook details could not be found"));
    EXPECT_EQ(other.Delete_Existing_Caster(QStringLiteral("Nobody")),
              QStringLiteral("Spellbook details could not be found"));
    EXPECT_EQ(library.dump(), before);
}

TEST_F(LibraryTest, DeletingACasterRemovesItsMembershipButKeepsFailedSpellsAndScrolls)
{
    library.addCaster(QStringLiteral("Bryn"));
    library.addCaster(QStringLiteral("Cara"));
    library.addToSpellbook(QStringLiteral("Bryn"), QStringLiteral("One"));
    library.addToSpellbook(QStringLiteral("Bryn"), QStringLiteral("Two"));
    library.addToSpellbook(QStringLiteral("Cara"), QStringLiteral("One"));
    library.addFailed(QStringLiteral("Bryn"), QStringLiteral("Three"));
    library.db().exec("INSERT INTO Scrolls (Caster, ScrollName, Spell) VALUES ('Bryn', 'Pocket', 'One');");

    VM_Spellbook caster;
    EXPECT_EQ(caster.Delete_Existing_Caster(QStringLiteral(" Bryn ")), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Spellbook FROM SpellCasters")),
              QStringList{QStringLiteral("Cara")});
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Caster, SpellName FROM Spellbook")),
              QStringList{QStringLiteral("Cara|One")});
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM FailedSpells")), 1);
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM Scrolls")), 1);
}
