#include "TableText.h"
#include "TestLibrary.h"

#include "store/VM_Library.h"

namespace {

const QStringList kAllLevels = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};

class SpellbookQueries : public LibraryTest
{
protected:
    void SetUp() override
    {
        library.addSpell("Bramble Gate", "2", {"Plant", "Alteration"});
        library.addSpell("amber Lantern", "1", {"Sun"});
        library.addSpell("Cinder Veil", "3", {"Illusion/Phantasm", "Sun", "Alteration"});
        library.addSpell("Orphan Rune", "1", {});
        library.addSpell("Maud's \"Quiet\" Step", "1", {"Mistress' Shadows"});
    }
};

} // namespace

TEST_F(SpellbookQueries, SpellbookNamesStartWithTheReservedOneAndCountIt)
{
    VM_Library lib;
    EXPECT_EQ(lib.Fetch_Spellbooks_Count(), 0);
    EXPECT_EQ(lib.Get_Exisiting_Spellbook_Names(), QStringList{"KXR"});
    EXPECT_EQ(lib.Fetch_Spellbooks_Count(), 1);

    library.addCaster("Zed  ");
    library.addCaster("Alys \"the Bold\"");
    EXPECT_EQ(lib.Get_Exisiting_Spellbook_Names(), (QStringList{"KXR", "Zed", "Alys \"the Bold\""}));
    EXPECT_EQ(lib.Fetch_Spellbooks_Count(), 3);
}

TEST_F(SpellbookQueries, ReservedSpellbookIsTheWholeLibraryInNameOrder)
{
    VM_Library lib;
    EXPECT_FALSE(lib.Is_Spellbook_Resident());
    EXPECT_FALSE(lib.Fetch_Spells_Array());
    lib.Create_Spell_List_Array("  KXR ");
    EXPECT_TRUE(lib.Is_Spellbook_Resident());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()), (QStringList{"amber Lantern", "Bramble Gate", "Cinder Veil",
                                                              "Maud's \"Quiet\" Step", "Orphan Rune"}));
    EXPECT_EQ(tableText(lib.Fetch_Spells_Array()).first(), "amber Lantern|1|Common|KXR|12");
    EXPECT_EQ(tableText(lib.Fetch_Schools_Array()),
              (QStringList{"amber Lantern|Sun", "Bramble Gate|Alteration", "Bramble Gate|Plant",
                           "Cinder Veil|Alteration", "Cinder Veil|Illusion/Phantasm", "Cinder Veil|Sun",
                           "Maud's \"Quiet\" Step|Mistress' Shadows"}));

    // A copy handed out does not change when the object is asked again.
    const OptionalTable before = lib.Fetch_Spells_Array();
    lib.Create_Spell_List_Array("kxr"); // another letter case is an ordinary spellbook
    EXPECT_EQ(tableText(before).size(), 5);
    EXPECT_FALSE(lib.Fetch_Spells_Array());
}

TEST_F(SpellbookQueries, CasterSpellbookAndTheEmptyTableRule)
{
    const QString caster = "Ysolde \"Ash\" O'Rourke";
    library.addCaster(caster);
    library.addToSpellbook(caster, "Cinder Veil", "3");
    library.addToSpellbook(caster, "amber Lantern", "1");
    library.addToSpellbook("Someone Else", "Bramble Gate");

    VM_Library lib;
    lib.Create_Spell_List_Array(QLatin1Char(' ') + caster);
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()), (QStringList{"amber Lantern", "Cinder Veil"}));
    EXPECT_EQ(tableText(lib.Fetch_Schools_Array()),
              (QStringList{"amber Lantern|Sun", "Cinder Veil|Alteration", "Cinder Veil|Illusion/Phantasm",
                           "Cinder Veil|Sun"}));

    // An empty spellbook gives neither table, whatever the object read before.
    library.addCaster("Empty");
    lib.Create_Spell_List_Array("Empty");
    EXPECT_FALSE(lib.Fetch_Spells_Array());
    EXPECT_FALSE(lib.Fetch_Schools_Array());
}

TEST_F(SpellbookQueries, RequeryFiltersByLevelsAndSchoolsButKeepsEverySchoolOfAKeptSpell)
{
    VM_Library lib;
    lib.Create_Spell_List_Array("KXR");

    // All levels, all schools: the spell without a school is dropped by the school filter.
    const QStringList allSchools = {"Alteration", "Illusion/Phantasm", "Plant", "Sun", "Mistress' Shadows"};
    EXPECT_EQ(lib.Requery(kAllLevels, allSchools, "KXR"), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()),
              (QStringList{"amber Lantern", "Bramble Gate", "Cinder Veil", "Maud's \"Quiet\" Step"}));

    // Only Sun: both Sun spells stay, Cinder Veil with all three of its schools.
    EXPECT_EQ(lib.Requery(kAllLevels, {"Sun"}, "KXR"), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()), (QStringList{"amber Lantern", "Cinder Veil"}));
    EXPECT_EQ(tableText(lib.Fetch_Schools_Array()),
              (QStringList{"amber Lantern|Sun", "Cinder Veil|Alteration", "Cinder Veil|Illusion/Phantasm",
                           "Cinder Veil|Sun"}));

    // Levels and schools together; quotes in a school name are ordinary characters.
    EXPECT_EQ(lib.Requery({"1"}, {"Sun", "Mistress' Shadows"}, "KXR"), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()), (QStringList{"amber Lantern", "Maud's \"Quiet\" Step"}));

    // A filter that matches nothing leaves neither table behind: no spell at the chosen
    // levels, or spells at the levels but none in the schools.
    for (const auto &[levels, schools] :
         {std::pair{QStringList{"9"}, allSchools}, std::pair{kAllLevels, QStringList{"Necromancy"}}}) {
        lib.Create_Spell_List_Array("KXR");
        EXPECT_EQ(lib.Requery(levels, schools, "KXR"), QString());
        EXPECT_FALSE(lib.Fetch_Spells_Array()) << schools.join(',').toStdString();
        EXPECT_FALSE(lib.Fetch_Schools_Array()) << schools.join(',').toStdString();
    }
}

TEST_F(SpellbookQueries, RequeryOfACasterStaysInsideTheSpellbook)
{
    const QString caster = "Bryn";
    library.addCaster(caster);
    library.addToSpellbook(caster, "Cinder Veil", "3");
    library.addToSpellbook(caster, "Bramble Gate", "2");

    VM_Library lib;
    EXPECT_EQ(lib.Requery({"2", "3"}, {"Alteration"}, "Bryn "), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()), (QStringList{"Bramble Gate", "Cinder Veil"}));
    EXPECT_EQ(lib.Requery({"2"}, {"Sun"}, caster), QString());
    EXPECT_FALSE(lib.Fetch_Schools_Array()); // Cinder Veil has Sun, but not at level 2
}

TEST_F(SpellbookQueries, FailedSpellsListSkipsSpellsThatLeftTheLibrary)
{
    library.addFailed("Bryn", "Cinder Veil", "3");
    library.addFailed("Bryn", "Long Gone", "2");
    library.addFailed("Bryn", "Maud's \"Quiet\" Step ", "1");
    library.addFailed("Other", "Bramble Gate", "2");

    VM_Library lib;
    ListRows rows{ListRow{"stale row", {}}};
    lib.LoadSpellList(" Bryn ", rows);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].text, "Cinder Veil");
    EXPECT_EQ(rows[0].subItems, (QStringList{"3", "Common", "KXR", "12"}));
    EXPECT_EQ(rows[1].text, "Maud's \"Quiet\" Step");
}
