#include "TestLibrary.h"

TEST_F(LibraryTest, SchoolListsDescriptionsTheCaseSensitiveDuplicateTestAndDeletion)
{
    library.db().exec("INSERT INTO [Sphere Names] (Auto, Sphere_Name, Description) VALUES "
                      "(1, 'necromancy', '  Death and undeath.  '), (2, 'Abjuration', NULL);");
    VM_Library lib;
    EXPECT_EQ(lib.Fetch_User_Schools_List(), QStringList());
    EXPECT_EQ(lib.Add_New_School("  Runes of \"Old\" Kel'dar  "), QString());
    EXPECT_EQ(lib.Add_New_School("Runes of \"Old\" Kel'dar"), "School already exists");
    EXPECT_EQ(lib.Add_New_School("ABJURATION"),
              QString()); // another letter case is another school

    EXPECT_EQ(lib.Fetch_Schools_List(),
              (QStringList{"ABJURATION", "Abjuration", "necromancy", "Runes of \"Old\" Kel'dar"}));
    EXPECT_EQ(lib.Fetch_User_Schools_List(), (QStringList{"ABJURATION", "Runes of \"Old\" Kel'dar"}));

    EXPECT_EQ(lib.Fetch_School_Description(" necromancy "), "Death and undeath.");
    EXPECT_EQ(lib.Fetch_School_Description("Abjuration"), QString()); // Null reads as ""
    EXPECT_EQ(lib.Fetch_School_Description("Runes of \"Old\" Kel'dar"), QString());
    EXPECT_EQ(lib.Fetch_School_Description("Nowhere"), "(No description found)");

    EXPECT_EQ(lib.Update_Exisiting_School_Description("Runes of \"Old\" Kel'dar ", " Carved power. "),
              QString());
    EXPECT_EQ(lib.Fetch_School_Description("Runes of \"Old\" Kel'dar"), "Carved power.");
    const QStringList before = library.dump();
    EXPECT_EQ(lib.Update_Exisiting_School_Description("Nowhere", "x"), QString());
    EXPECT_EQ(library.dump(), before);

    // Deleting a school removes its links but no spell.
    library.addSpell("Only Rune", "1", {"Runes of \"Old\" Kel'dar"});
    library.addSpell("Bright Rune", "2", {"necromancy", "Runes of \"Old\" Kel'dar"});
    EXPECT_EQ(lib.Delete_New_School(" Runes of \"Old\" Kel'dar "), QString());
    EXPECT_EQ(lib.Fetch_Schools_List(), (QStringList{"ABJURATION", "Abjuration", "necromancy"}));
    EXPECT_EQ(library.rows("SELECT Name, Sphere FROM SpellandSphere"), QStringList{"Bright Rune|necromancy"});
    EXPECT_EQ(lib.Fetch_Spells_List(), (QStringList{"Bright Rune", "Only Rune"}));

    // A description that cannot be read is an error, never an empty description.
    library.db().exec("ALTER TABLE [Sphere Names] RENAME TO Away");
    EXPECT_THROW(lib.Fetch_School_Description("necromancy"), VmError);
}

TEST_F(LibraryTest, FrequencyScaleFillsTheScrollSlotAndAnEmptyScaleEmptiesIt)
{
    VM_Library lib;
    EXPECT_FALSE(lib.Fetch_Scrolls_Array());
    EXPECT_EQ(lib.Fetch_Frequencies(), QString());
    const OptionalTable scale = lib.Fetch_Scrolls_Array();
    EXPECT_EQ(tableText(scale),
              (QStringList{"Common|1", "UnCommon|2", "Rare|3", "Very Rare|4", "Unique|5", "Restricted|6"}));

    // The slot is shared with the saved scrolls: an empty scale must not read as one.
    library.db().exec("DELETE FROM Frequency;");
    EXPECT_EQ(lib.Fetch_Frequencies(), QString());
    EXPECT_FALSE(lib.Fetch_Scrolls_Array());

    library.db().exec("DROP TABLE Frequency;");
    EXPECT_FALSE(lib.Fetch_Frequencies().isEmpty());
}
