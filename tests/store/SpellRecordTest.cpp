#include "SpellText.h"
#include "TestLibrary.h"

#include "store/AppFolder.h"
#include "store/VM_Spell.h"

#include <vector>

namespace {

const QString kName = "Maud's \"Quiet\" Step";

void fill(VM_Spell &spell, const QString &name)
{
    spell.Set_Spell_Name("  " + name + " ");
    spell.Set_Spell_Level(" 3");
    spell.Set_Spell_Frequency("Very Rare");
    spell.Set_Spell_Book_Number("KXR");
    spell.Set_Spell_Page_Number("141");
    spell.Set_Spell_Components("V,S,M");
    spell.Set_Spell_Range("60 yards");
    spell.Set_Spell_Duration("1 round/level");
    spell.Set_Spell_Area_of_Effect("20-foot cube");
    spell.Set_Spell_Casting_Time("3");
    spell.Set_Spell_Casting_Time_Type("Segment(s)");
    spell.Set_Spell_Saving_Throw("½");
    spell.Set_Spell_Description("First paragraph.\r\n\r\nSecond, with \"quotes\" and ||.  ");
    spell.Set_Spell_Author("Élise");
    spell.Set_Spell_Schools_Collection({" Sun", "Alteration", "Illusion/Phantasm"});
    spell.Set_Spellbooks_Collection({"Bryn ", "O'Rourke"});
}

// A library holding one spell of every field, added through the record under test.
class SpellRecordTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        fill(spell, kName);
        ASSERT_EQ(spell.Add_New_Spell(), QString());
    }

    VM_Spell spell;
};

} // namespace

TEST_F(SpellRecordTest, AddedSpellLoadsBackTrimmedWithItsSchoolsAndSpellbooksInOrder)
{
    VM_Spell loaded;
    ASSERT_TRUE(loaded.Set_Spell_Details(kName));
    EXPECT_EQ(spellText(loaded), kName + "|3|Very Rare|KXR|141|V,S,M|60 yards|1 round/level|20-foot cube|"
                                         "Segment(s)|3|½|First paragraph.\r\n\r\nSecond, with \"quotes\" "
                                         "and ||.|Élise");
    EXPECT_EQ(loaded.Fetch_Spell_Schools_Collection(),
              (QStringList{"Sun", "Alteration", "Illusion/Phantasm"}));
    EXPECT_EQ(loaded.Fetch_Spellbooks_Collection(), (QStringList{"Bryn", "O'Rourke"}));
    EXPECT_EQ(library.rows("SELECT SpellLevel FROM Spellbook"), (QStringList{"3", "3"}));

    // A name that is not there leaves the fields and empties both collections.
    ASSERT_TRUE(loaded.Set_Spell_Details("Nothing Such"));
    EXPECT_EQ(loaded.Fetch_Spell_Name(), kName);
    EXPECT_TRUE(loaded.Fetch_Spell_Schools_Collection().isEmpty());
    EXPECT_TRUE(loaded.Fetch_Spellbooks_Collection().isEmpty());
}

TEST_F(SpellRecordTest, RenamingMovesSchoolsMembershipFailedSpellsAndScrollLines)
{
    library.addFailed("Bryn", kName);
    library.db().exec("INSERT INTO Scrolls (Caster, ScrollName, Spell) VALUES ('Bryn', 'Pocket', 'Maud''s "
                      "\"Quiet\" Step');");
    library.addSpell("Neighbour", "1", {"Sun"});

    spell.Set_Spell_Name("Quiet Step");
    spell.Set_Spell_Schools_Collection({"Sun"});
    spell.Set_Spellbooks_Collection({"Cara"});
    ASSERT_EQ(spell.Update_Existing_Spell(kName, false), QString());

    EXPECT_EQ(library.rows("SELECT Name FROM Spells ORDER BY rowid"),
              (QStringList{"Quiet Step", "Neighbour"}));
    EXPECT_EQ(library.rows("SELECT Name, Sphere FROM SpellandSphere ORDER BY Name"),
              (QStringList{"Neighbour|Sun", "Quiet Step|Sun"}));
    EXPECT_EQ(library.rows("SELECT Caster, SpellName FROM Spellbook"), QStringList{"Cara|Quiet Step"});
    EXPECT_EQ(library.rows("SELECT SpellName FROM FailedSpells"), QStringList{"Quiet Step"});
    EXPECT_EQ(library.rows("SELECT Spell FROM Scrolls"), QStringList{"Quiet Step"});

    // Keeping spellbooks leaves membership rows under the old name.
    spell.Set_Spell_Name("Quieter Step");
    ASSERT_EQ(spell.Update_Existing_Spell("Quiet Step", true), QString());
    EXPECT_EQ(library.rows("SELECT SpellName FROM Spellbook"), QStringList{"Quiet Step"});
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellandSphere WHERE Name = 'Quieter Step'"), 1);

    // An old name that is not in Spells still rewrites the school and membership rows.
    spell.Set_Spell_Name("Ghost");
    ASSERT_EQ(spell.Update_Existing_Spell("Quiet Step", false), QString());
    EXPECT_EQ(library.count("SELECT count(*) FROM Spells WHERE Name = 'Ghost'"), 0);
    EXPECT_EQ(library.rows("SELECT Caster, SpellName FROM Spellbook"), QStringList{"Cara|Ghost"});
}

TEST_F(SpellRecordTest, AFailedUpdateOrAddLeavesTheLibraryAsItWasAndReportsTheError)
{
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Spellbook WHEN NEW.Caster = 'Doomed' "
                      "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;");
    const QStringList before = library.dump();

    spell.Set_Spell_Name("Renamed");
    spell.Set_Spell_Schools_Collection({"Necromancy"});
    spell.Set_Spellbooks_Collection({"Doomed"});
    EXPECT_EQ(spell.Update_Existing_Spell(kName, false), "database or disk is full");
    EXPECT_EQ(library.dump(), before);

    VM_Spell fresh;
    fill(fresh, "Fresh");
    fresh.Set_Spellbooks_Collection({"Bryn", "Doomed"});
    EXPECT_EQ(fresh.Add_New_Spell(), "database or disk is full");
    EXPECT_EQ(library.dump(), before);
}

TEST_F(SpellRecordTest, DeletingASpellCascadesToSchoolsAndMembershipOnly)
{
    library.addFailed("Bryn", kName);
    library.addSpell("Neighbour", "1", {"Sun"});

    VM_Spell remover;
    EXPECT_EQ(remover.Delete_Spell(QLatin1Char(' ') + kName), QString());
    EXPECT_EQ(library.rows("SELECT Name FROM Spells"), QStringList{"Neighbour"});
    EXPECT_EQ(library.rows("SELECT Name FROM SpellandSphere"), QStringList{"Neighbour"});
    EXPECT_EQ(library.count("SELECT count(*) FROM Spellbook"), 0);
    EXPECT_EQ(library.count("SELECT count(*) FROM FailedSpells"), 1);
}

TEST_F(SpellRecordTest, SpellHoldAlwaysHoldsExactlyTheOneSpellWithItsStoredSchools)
{
    library.db().exec("INSERT INTO SpellHold (Name) VALUES ('stale one'), ('stale two');");

    spell.Set_Spell_Schools_Collection({"ignored"});
    ASSERT_EQ(spell.Set_Spell_Hold(), QString());
    EXPECT_EQ(library.rows("SELECT Name, Lvl, Author, Schools FROM SpellHold"),
              QStringList{kName + "|3|Élise|Sun, Alteration, Illusion/Phantasm"});

    VM_Spell bare;
    bare.Set_Spell_Name("No Schools");
    ASSERT_EQ(bare.Set_Spell_Hold(), QString());
    EXPECT_EQ(library.rows("SELECT Name, Schools FROM SpellHold"), QStringList{"No Schools|"});
}

TEST(SpellRecord, NeedsNoLibraryUntilItsFirstStatementAndCanBeMoved)
{
    QTemporaryDir empty;
    setAppFolder(empty.path());
    std::vector<VM_Spell> spells;
    for (int i = 0; i < 3; ++i) {
        VM_Spell spell;
        spell.Set_Spell_Name(QStringLiteral("From a file %1").arg(i));
        spells.push_back(std::move(spell));
    }
    EXPECT_EQ(spells[2].Fetch_Spell_Name(), "From a file 2");
    EXPECT_FALSE(spells[0].Set_Spell_Details("x")); // no library: a failed load, not a crash
    EXPECT_TRUE(spells[1].Add_New_Spell().contains("could not be found"));
    setAppFolder(QString());
}

TEST_F(LibraryTest, AWriteWhileAnotherProgramHoldsTheLibraryFailsClearlyAndChangesNothing)
{
    library.addSpell("Held Fast", "1", {"Sun"});
    const QStringList before = library.dump();
    Connection other(library.path());
    other.exec("BEGIN EXCLUSIVE;"); // another program in the middle of its own change

    VM_Spell spell;
    spell.Set_Spell_Name("Blocked");
    EXPECT_TRUE(
        spell.Add_New_Spell().contains("is in use by another program that is changing it")); // after 5 s

    other.exec("ROLLBACK;");
    EXPECT_EQ(library.dump(), before);
}

TEST_F(LibraryTest, OnlyBlanksAreTrimmedFromAStoredSpell)
{
    // Tabs, line breaks and no-break spaces at either end are part of a value.
    struct Case
    {
        QString given;
        QString stored;
    };
    const QList<Case> names = {{"  Frost\u00A0 ", "Frost\u00A0"}, {"\tGlint ", "\tGlint"}};
    for (const Case &name : names) {
        VM_Spell spell;
        fill(spell, name.given);
        spell.Set_Spell_Description(" Closing paragraph.\r\n ");
        spell.Set_Spell_Range("\t60 yards");
        ASSERT_EQ(spell.Add_New_Spell(), QString());
        EXPECT_EQ(library.rows("SELECT Range, Description FROM Spells WHERE Name = ?", {name.stored}),
                  QStringList{"\t60 yards|Closing paragraph.\r\n"})
            << name.stored.toStdString();

        spell.Set_Spell_Name(name.given);
        spell.Set_Spell_Description("Edited.\n");
        ASSERT_EQ(spell.Update_Existing_Spell(name.stored, true), QString()); // the old name as stored
        EXPECT_EQ(library.rows("SELECT Description FROM Spells WHERE Name = ?", {name.stored}),
                  QStringList{"Edited.\n"});
    }
}
