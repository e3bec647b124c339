#include "TestLibrary.h"

#include "store/VM_Spellbook.h"

TEST_F(LibraryTest, CasterLoadsAddsUpdatesWithoutChangingItsNameAndDeletesOnlyItsMembership)
{
    const QString name = "Ysolde \"Ash\" O'Rourke";
    library.db().exec(
        "INSERT INTO SpellCasters (Spellbook, Lvl, Race, Class) VALUES ('Nulls', '3', NULL, 'Priest');");

    VM_Spellbook caster;
    EXPECT_EQ(caster.Set_Caster_Details("Nulls"), QString());
    EXPECT_EQ(caster.Fetch_Race(), QString());
    EXPECT_EQ(caster.Fetch_Class(), "Priest");
    EXPECT_EQ(caster.Set_Caster_Details(name), "Spellbook details could not be found");
    EXPECT_EQ(caster.Fetch_Name(), "Nulls");

    caster.Fetch_Name(" " + name + " ");
    caster.Fetch_Lvl("7");
    caster.Fetch_Race(" Half-elf ");
    caster.Fetch_First("4");
    caster.Fetch_Ninth("1");
    ASSERT_EQ(caster.Add_New_Caster(), QString());

    VM_Spellbook other;
    ASSERT_EQ(other.Set_Caster_Details(name), QString());
    EXPECT_EQ(other.Fetch_Race(), "Half-elf");
    EXPECT_EQ(other.Fetch_Ninth(), "1");

    other.Fetch_Name("Someone Else");
    other.Fetch_Lvl("8");
    ASSERT_EQ(other.Update_Existing_Caster(name + QLatin1Char(' ')), QString());
    EXPECT_EQ(library.rows("SELECT Spellbook, Lvl FROM SpellCasters ORDER BY rowid"),
              (QStringList{"Nulls|3", name + "|8"}));

    const QStringList before = library.dump();
    EXPECT_EQ(other.Update_Existing_Caster("Nobody"), "Spellbook details could not be found");
    EXPECT_EQ(other.Delete_Existing_Caster("Nobody"), "Spellbook details could not be found");
    EXPECT_EQ(library.dump(), before);

    // Deleting a caster removes its membership but keeps its failed spells and scrolls.
    library.addToSpellbook(name, "One");
    library.addToSpellbook(name, "Two");
    library.addToSpellbook("Nulls", "One");
    library.addFailed(name, "Three");
    library.rows("INSERT INTO Scrolls (Caster, ScrollName, Spell) VALUES (?, 'Pocket', 'One')", {name});
    EXPECT_EQ(other.Delete_Existing_Caster(" " + name + " "), QString());
    EXPECT_EQ(library.rows("SELECT Spellbook FROM SpellCasters"), QStringList{"Nulls"});
    EXPECT_EQ(library.rows("SELECT Caster, SpellName FROM Spellbook"), QStringList{"Nulls|One"});
    EXPECT_EQ(library.count("SELECT count(*) FROM FailedSpells"), 1);
    EXPECT_EQ(library.count("SELECT count(*) FROM Scrolls"), 1);
}
