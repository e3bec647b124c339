#include "TestLibrary.h"

#include "store/VM_Library.h"

TEST_F(LibraryTest, SchoolListsDescriptionsAndTheCaseSensitiveDuplicateTest)
{
    library.db().exec("INSERT INTO [Sphere Names] (Auto, Sphere_Name, Description) VALUES "
                      "(1, 'necromancy', '  Death and undeath.  '), (2, 'Abjuration', NULL);");
    VM_Library lib;
    EXPECT_EQ(lib.Fetch_User_Schools_List(), QStringList());
    EXPECT_EQ(lib.Add_New_School(QStringLiteral("  Runes of \"Old\" Kel'dar  ")), QString());
    EXPECT_EQ(lib.Add_New_School(QStringLiteral("Runes of \"Old\" Kel'dar")),
              QStringLiteral("School already exists"));
    EXPECT_EQ(lib.Add_New_School(QStringLiteral("ABJURATION")),
              QString()); // another letter case is another school

    EXPECT_EQ(lib.Fetch_Schools_List(),
              (QStringList{QStringLiteral("ABJURATION"), QStringLiteral("Abjuration"),
                           QStringLiteral("necromancy"), QStringLiteral("Runes of \"Old\" Kel'dar")}));
    EXPECT_EQ(lib.Fetch_User_Schools_List(),
              (QStringList{QStringLiteral("ABJURATION"), QStringLiteral("Runes of \"Old\" Kel'dar")}));

    EXPECT_EQ(lib.Fetch_School_Description(QStringLiteral(" necromancy ")),
              QStringLiteral("Death and undeath."));
    EXPECT_EQ(lib.Fetch_School_Description(QStringLiteral("Abjuration")), QString()); // Null reads as ""
    EXPECT_EQ(lib.Fetch_School_Description(QStringLiteral("Runes of \"Old\" Kel'dar")), QString());
    EXPECT_EQ(lib.Fetch_School_Description(QStringLiteral("Nowhere")),
              QStringLiteral("(No description found)"));

    EXPECT_EQ(lib.Update_Exisiting_School_Description(QStringLiteral("Runes of \"Old\" Kel'dar "),
                                                      QStringLiteral(" Carved power. ")),
              QString());
    EXPECT_EQ(lib.Fetch_School_Description(QStringLiteral("Runes of \"Old\" Kel'dar")),
              QStringLiteral("Carved power."));
    const QStringList before = library.dump();
    EXPECT_EQ(lib.Update_Exisiting_School_Description(QStringLiteral("Nowhere"), QStringLiteral("x")),
              QString());
    EXPECT_EQ(library.dump(), before);
}

TEST_F(LibraryTest, DeletingASchoolRemovesItsLinksButNoSpell)
{
    library.addSchool(QStringLiteral("Glyphs"));
    library.addSchool(QStringLiteral("Sun"));
    library.addSpell(QStringLiteral("Only Glyph"), QStringLiteral("1"), {QStringLiteral("Glyphs")});
    library.addSpell(QStringLiteral("Bright Glyph"), QStringLiteral("2"),
                     {QStringLiteral("Sun"), QStringLiteral("Glyphs")});

    VM_Library lib;
    EXPECT_EQ(lib.Delete_New_School(QStringLiteral(" Glyphs ")), QString());
    EXPECT_EQ(lib.Fetch_Schools_List(), QStringList{QStringLiteral("Sun")});
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name, Sphere FROM SpellandSphere")),
              QStringList{QStringLiteral("Bright Glyph|Sun")});
    EXPECT_EQ(lib.Fetch_Spells_List(),
              (QStringList{QStringLiteral("Bright Glyph"), QStringLiteral("Only Glyph")}));
}

TEST_F(LibraryTest, FrequencyScaleFillsTheScrollSlotAndAnEmptyScaleLeavesIt)
{
    VM_Library lib;
    EXPECT_FALSE(lib.Fetch_Scrolls_Array());
    EXPECT_EQ(lib.Fetch_Frequencies(), QString());
    OptionalTable scale = lib.Fetch_Scrolls_Array();
    ASSERT_TRUE(scale);
    ASSERT_EQ(scale->rows(), 6);
    EXPECT_EQ(scale->at(0, 0), QStringLiteral("Common"));
    EXPECT_EQ(scale->at(0, 3), QStringLiteral("Very Rare"));
    EXPECT_EQ(scale->at(1, 5), QStringLiteral("6"));

    library.db().exec("DELETE FROM Frequency;");
    EXPECT_EQ(lib.Fetch_Frequencies(), QString());
    EXPECT_EQ(lib.Fetch_Scrolls_Array(), scale);

    library.db().exec("DROP TABLE Frequency;");
    EXPECT_FALSE(lib.Fetch_Frequencies().isEmpty());
}
