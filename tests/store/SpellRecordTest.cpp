#include "TestLibrary.h"

#include "store/AppFolder.h"
#include "store/VM_Spell.h"

#include <QTemporaryDir>

#include <vector>

namespace {

const QString kName = QStringLiteral("Maud's \"Quiet\" Step");

void fill(VM_Spell &spell, const QString &name)
{
    spell.Set_Spell_Name(QStringLiteral("  ") + name + QStringLiteral(" "));
    spell.Set_Spell_Level(QStringLiteral(" 3"));
    spell.Set_Spell_Frequency(QStringLiteral("Very Rare"));
    spell.Set_Spell_Book_Number(QStringLiteral("KXR"));
    spell.Set_Spell_Page_Number(QStringLiteral("141"));
    spell.Set_Spell_Components(QStringLiteral("V,S,M"));
    spell.Set_Spell_Range(QStringLiteral("60 yards"));
    spell.Set_Spell_Duration(QStringLiteral("1 round/level"));
    spell.Set_Spell_Area_of_Effect(QStringLiteral("20-foot cube"));
    spell.Set_Spell_Casting_Time(QStringLiteral("3"));
    spell.Set_Spell_Casting_Time_Type(QStringLiteral("Segment(s)"));
    spell.Set_Spell_Saving_Throw(QStringLiteral("½"));
    spell.Set_Spell_Description(QStringLiteral("First paragraph.\r\n\r\nSecond, with \"quotes\" and ||.  "));
    spell.Set_Spell_Author(QStringLiteral("Élise"));
    spell.Set_Spell_Schools_Collection(
        {QStringLiteral(" Sun"), QStringLiteral("Alteration"), QStringLiteral("Illusion/Phantasm")});
    spell.Set_Spellbooks_Collection({QStringLiteral("Bryn "), QStringLiteral("O'Rourke")});
}

} // namespace

TEST_F(LibraryTest, AddedSpellLoadsBackTrimmedWithItsSchoolsAndSpellbooksInOrder)
{
    VM_Spell added;
    fill(added, kName);
    ASSERT_EQ(added.Add_New_Spell(), QString());

    VM_Spell loaded;
    ASSERT_TRUE(loaded.Set_Spell_Details(kName));
    EXPECT_EQ(loaded.Fetch_Spell_Name(), kName);
    EXPECT_EQ(loaded.Fetch_Spell_Level(), QStringLiteral("3"));
    EXPECT_EQ(loaded.Fetch_Spell_Frequency(), QStringLiteral("Very Rare"));
    EXPECT_EQ(loaded.Fetch_Spell_Page_Number(), QStringLiteral("141"));
    EXPECT_EQ(loaded.Fetch_Spell_Area_of_Effect(), QStringLiteral("20-foot cube"));
    EXPECT_EQ(loaded.Fetch_Spell_Casting_Time(), QStringLiteral("3"));
    EXPECT_EQ(loaded.Fetch_Spell_Casting_Time_Type(), QStringLiteral("Segment(s)"));
    EXPECT_EQ(loaded.Fetch_Spell_Saving_Throw(), QStringLiteral("½"));
    EXPECT_EQ(loaded.Fetch_Spell_Description(),
              QStringLiteral("First paragraph.\r\n\r\nSecond, with \"quotes\" and ||."));
    EXPECT_EQ(loaded.Fetch_Spell_Author(), QStringLiteral("Élise"));
    EXPECT_EQ(loaded.Fetch_Spell_Schools_Collection(),
              (QStringList{QStringLiteral("Sun"), QStringLiteral("Alteration"),
                           QStringLiteral("Illusion/Phantasm")}));
    EXPECT_EQ(loaded.Fetch_Spellbooks_Collection(),
              (QStringList{QStringLiteral("Bryn"), QStringLiteral("O'Rourke")}));
    EXPECT_EQ(library.rows(QStringLiteral("SELECT SpellLevel FROM Spellbook")),
              (QStringList{QStringLiteral("3"), QStringLiteral("3")}));

    // A name that is not there leaves the fields and empties both collections.
    ASSERT_TRUE(loaded.Set_Spell_Details(QStringLiteral("Nothing Such")));
    EXPECT_EQ(loaded.Fetch_Spell_Name(), kName);
    EXPECT_TRUE(loaded.Fetch_Spell_Schools_Collection().isEmpty());
    EXPECT_TRUE(loaded.Fetch_Spellbooks_Collection().isEmpty());
}

TEST_F(LibraryTest, RenamingMovesSchoolsAndMembershipButNotFailedSpellsOrScrolls)
{
    VM_Spell spell;
    fill(spell, kName);
    ASSERT_EQ(spell.Add_New_Spell(), QString());
    library.addFailed(QStringLiteral("Bryn"), kName);
    library.db().exec("INSERT INTO Scrolls (Caster, ScrollName, Spell) VALUES ('Bryn', 'Pocket', 'Maud''s "
                      "\"Quiet\" Step');");
    library.addSpell(QStringLiteral("Neighbour"), QStringLiteral("1"), {QStringLiteral("Sun")});

    spell.Set_Spell_Name(QStringLiteral("Quiet Step"));
    spell.Set_Spell_Schools_Collection({QStringLiteral("Sun")});
    spell.Set_Spellbooks_Collection({QStringLiteral("Cara")});
    ASSERT_EQ(spell.Update_Existing_Spell(kName, false), QString());

    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name FROM Spells ORDER BY rowid")),
              (QStringList{QStringLiteral("Quiet Step"), QStringLiteral("Neighbour")}));
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name, Sphere FROM SpellandSphere ORDER BY Name")),
              (QStringList{QStringLiteral("Neighbour|Sun"), QStringLiteral("Quiet Step|Sun")}));
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Caster, SpellName FROM Spellbook")),
              QStringList{QStringLiteral("Cara|Quiet Step")});
    EXPECT_EQ(library.rows(QStringLiteral("SELECT SpellName FROM FailedSpells")), QStringList{kName});
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Spell FROM Scrolls")), QStringList{kName});

    // Keeping spellbooks leaves membership rows under the old name.
    spell.Set_Spell_Name(QStringLiteral("Quieter Step"));
    ASSERT_EQ(spell.Update_Existing_Spell(QStringLiteral("Quiet Step"), true), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT SpellName FROM Spellbook")),
              QStringList{QStringLiteral("Quiet Step")});
    EXPECT_EQ(
        library.count(QStringLiteral("SELECT count(*) FROM SpellandSphere WHERE Name = 'Quieter Step'")), 1);

    // An old name that is not in Spells still rewrites the school and membership rows.
    spell.Set_Spell_Name(QStringLiteral("Ghost"));
    ASSERT_EQ(spell.Update_Existing_Spell(QStringLiteral("Quiet Step"), false), QString());
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM Spells WHERE Name = 'Ghost'")), 0);
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Caster, SpellName FROM Spellbook")),
              QStringList{QStringLiteral("Cara|Ghost")});
}

TEST_F(LibraryTest, AFailedUpdateOrAddLeavesTheLibraryAsItWasAndReportsTheError)
{
    VM_Spell spell;
    fill(spell, kName);
    ASSERT_EQ(spell.Add_New_Spell(), QString());
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Spellbook WHEN NEW.Caster = 'Doomed' "
                      "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;");
    const QStringList before = library.dump();

    spell.Set_Spell_Name(QStringLiteral("Renamed"));
    spell.Set_Spell_Schools_Collection({QStringLiteral("Necromancy")});
    spell.Set_Spellbooks_Collection({QStringLiteral("Doomed")});
    EXPECT_EQ(spell.Update_Existing_Spell(kName, false), QStringLiteral("database or disk is full"));
    EXPECT_EQ(library.dump(), before);

    VM_Spell fresh;
    fill(fresh, QStringLiteral("Fresh"));
    fresh.Set_Spellbooks_Collection({QStringLiteral("Bryn"), QStringLiteral("Doomed")});
    EXPECT_EQ(fresh.Add_New_Spell(), QStringLiteral("database or disk is full"));
    EXPECT_EQ(library.dump(), before);
}

TEST_F(LibraryTest, DeletingASpellCascadesToSchoolsAndMembershipOnly)
{
    VM_Spell spell;
    fill(spell, kName);
    ASSERT_EQ(spell.Add_New_Spell(), QString());
    library.addFailed(QStringLiteral("Bryn"), kName);
    library.addSpell(QStringLiteral("Neighbour"), QStringLiteral("1"), {QStringLiteral("Sun")});

    VM_Spell remover;
    EXPECT_EQ(remover.Delete_Spell(QLatin1Char(' ') + kName), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name FROM Spells")),
              QStringList{QStringLiteral("Neighbour")});
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name FROM SpellandSphere")),
              QStringList{QStringLiteral("Neighbour")});
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM Spellbook")), 0);
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM FailedSpells")), 1);
}

TEST_F(LibraryTest, SpellHoldAlwaysHoldsExactlyTheOneSpellWithItsStoredSchools)
{
    VM_Spell spell;
    fill(spell, kName);
    ASSERT_EQ(spell.Add_New_Spell(), QString());
    library.db().exec("INSERT INTO SpellHold (Name) VALUES ('stale one'), ('stale two');");

    spell.Set_Spell_Schools_Collection({QStringLiteral("ignored")});
    ASSERT_EQ(spell.Set_Spell_Hold(), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name, Lvl, Author, Schools FROM SpellHold")),
              QStringList{kName + QStringLiteral("|3|Élise|Sun, Alteration, Illusion/Phantasm")});

    VM_Spell bare;
    bare.Set_Spell_Name(QStringLiteral("No Schools"));
    ASSERT_EQ(bare.Set_Spell_Hold(), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name, Schools FROM SpellHold")),
              QStringList{QStringLiteral("No Schools|")});
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
    EXPECT_EQ(spells[2].Fetch_Spell_Name(), QStringLiteral("From a file 2"));
    EXPECT_FALSE(spells[0].Set_Spell_Details(QStringLiteral("x"))); // no library: a failed load, not a crash
    EXPECT_TRUE(spells[1].Add_New_Spell().contains(QStringLiteral("could not be found")));
    setAppFolder(QString());
}

TEST_F(LibraryTest, AWriteWhileAnotherProgramHoldsTheLibraryFailsClearlyAndChangesNothing)
{
    library.addSpell(QStringLiteral("Held Fast"), QStringLiteral("1"), {QStringLiteral("Sun")});
    const QStringList before = library.dump();
    Connection other(library.path());
    other.exec("BEGIN EXCLUSIVE;"); // another program in the middle of its own change

    VM_Spell spell;
    spell.Set_Spell_Name(QStringLiteral("Blocked"));
    EXPECT_EQ(spell.Add_New_Spell(), QStringLiteral("database is locked")); // after the 5 s busy wait

    other.exec("ROLLBACK;");
    EXPECT_EQ(library.dump(), before);
}
