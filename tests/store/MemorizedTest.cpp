#include "TestLibrary.h"

#include <QTemporaryDir>

#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/VM_Library.h"
#include "store/VM_Memorized.h"
#include "store/VM_Spell.h"
#include "store/VM_Spellbook.h"

namespace {

// Ysolde can hold 2 spells of the 1st level, 1 of the 2nd, none of the 3rd ("three" is no
// number) and none of the 4th (left empty). Her book holds Ash Bolt and Frost "Rime" (1st) and
// Veil (2nd); Glimmer (1st) is in the library only.
class MemorizedTest : public LibraryTest
{
protected:
    const QString ysolde = "Ysolde \"Ash\" O'Rourke";

    MemorizedTest()
    {
        library.addSpell("Ash Bolt", "1", {});
        library.addSpell("Frost \"Rime\"", "1", {});
        library.addSpell("Glimmer", "1", {});
        library.addSpell("Veil", "2", {});
        library.addCaster(ysolde);
        library.addCaster("Corwin");
        library.db().exec("UPDATE SpellCasters SET First = ' 2 ', Second = '1', Third = 'three', Fourth = '' "
                          "WHERE Spellbook <> 'Corwin'");
        for (const char *spell : {"Ash Bolt", "Frost \"Rime\"", "Veil"})
            library.addToSpellbook(ysolde, QString::fromUtf8(spell));
        library.addToSpellbook("Corwin", "Ash Bolt");
    }

    QStringList dayOf(const QString &caster)
    {
        return library.rows("SELECT SpellName, SpellLevel, SlotOrder, IsCast FROM Memorized WHERE Caster = ? "
                            "ORDER BY SpellLevel, SlotOrder",
                            {caster});
    }
};

MemorizedSlot slot(const QString &spell, int level, int order)
{
    MemorizedSlot s;
    s.spell = spell;
    s.level = level;
    s.order = order;
    return s;
}

} // namespace

TEST_F(MemorizedTest, MemorizesWithinTheSlotsOfTheCastersRecordAndRefusesBeyondThem)
{
    VM_Memorized day;
    EXPECT_EQ(day.Fetch_Slots_Per_Level(ysolde), (SlotsPerLevel{2, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(day.Fetch_Slots_Per_Level("Nobody"), SlotsPerLevel{});

    // The same spell twice fills two slots.
    EXPECT_EQ(day.Add_Spells_To_Memorized(" " + ysolde, 1, {"Ash Bolt", " Ash Bolt "}), QString());
    EXPECT_EQ(day.NumberMemorized(), 2);
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Ash Bolt|1|1|0", "Ash Bolt|1|2|0"}));

    const QStringList before = library.dump();
    struct Refusal
    {
        int level;
        QStringList spells;
        QString message;
    };
    const QList<Refusal> refusals = {
        {1,
         {"Frost \"Rime\""},
         "The 1st-level slots of " + ysolde +
             " are full: 2 of 2 memorized. Forget a spell of that level to make room; nothing was "
             "memorized."},
        {2,
         {"Veil", "Veil"},
         "Only 1 of the 2nd-level slots of " + ysolde +
             " is free, and 2 spells were dropped: nothing was memorized. Forget a spell of that level, or "
             "drop fewer."},
        {2, {"Ash Bolt"}, "These spells are not 2nd-level spells and were not memorized there: Ash Bolt"},
        {1,
         {"Glimmer", "Nowhere"},
         "These spells are not in the spellbook of " + ysolde + " and were not memorized: Glimmer, Nowhere"},
        {3, {"Veil"}, "These spells are not 3rd-level spells and were not memorized there: Veil"},
        {0, {"Veil"}, "Spells are memorized at the levels 1st to 9th."},
    };
    for (const Refusal &refusal : refusals) {
        EXPECT_EQ(day.Add_Spells_To_Memorized(ysolde, refusal.level, refusal.spells), refusal.message);
        EXPECT_EQ(day.NumberMemorized(), 0);
        EXPECT_EQ(library.dump(), before);
    }
    EXPECT_EQ(day.Add_Spells_To_Memorized("Nobody", 1, {"Ash Bolt"}), "Spellbook details could not be found");

    // A level the record gives no slots: a 3rd-level spell in the book still finds no room.
    library.addSpell("Ember", "3", {});
    library.addToSpellbook(ysolde, "Ember");
    EXPECT_EQ(day.Add_Spells_To_Memorized(ysolde, 3, {"Ember"}),
              ysolde + " has no 3rd-level slots: the caster's record gives that level none, so nothing was "
                       "memorized.");

    // Spells that fit go in; the rest are named.
    EXPECT_EQ(day.Add_Spells_To_Memorized(ysolde, 2, {"Ash Bolt", "Veil"}),
              "These spells are not 2nd-level spells and were not memorized there: Ash Bolt");
    EXPECT_EQ(day.NumberMemorized(), 1);
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Ash Bolt|1|1|0", "Ash Bolt|1|2|0", "Veil|2|1|0"}));
}

TEST_F(MemorizedTest, CastForgetRestAndClearChangeOnlyTheirSlotsOfTheirCaster)
{
    VM_Memorized day;
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, 1, {"Ash Bolt", "Frost \"Rime\""}), QString());
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, 2, {"Veil"}), QString());
    library.db().exec("UPDATE SpellCasters SET First = '3' WHERE Spellbook = 'Corwin'");
    ASSERT_EQ(day.Add_Spells_To_Memorized("Corwin", 1, {"Ash Bolt"}), QString());

    EXPECT_EQ(day.Update_Memorized_Cast(ysolde, slot("Ash Bolt", 1, 1), true), QString());
    EXPECT_EQ(day.Update_Memorized_Cast(ysolde, slot("Veil", 2, 1), true), QString());
    EXPECT_EQ(day.Update_Memorized_Cast("Corwin", slot("Ash Bolt", 1, 1), true), QString());
    EXPECT_EQ(day.Update_Memorized_Cast(ysolde, slot("Veil", 2, 1), false), QString()); // undone
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Ash Bolt|1|1|1", "Frost \"Rime\"|1|2|0", "Veil|2|1|0"}));

    // A slot named by a stale view changes nothing.
    const QStringList before = library.dump();
    EXPECT_EQ(day.Update_Memorized_Cast(ysolde, slot("Veil", 1, 2), true),
              "Veil is no longer memorized in that 1st-level slot of " + ysolde +
                  "; the list shows the day as it is now.");
    EXPECT_NE(day.Remove_Memorized_Slot(ysolde, slot("Ash Bolt", 1, 2)), QString());
    EXPECT_EQ(library.dump(), before);

    // Forgetting frees the slot; the next spell goes after the last one.
    EXPECT_EQ(day.Remove_Memorized_Slot(ysolde, slot("Ash Bolt", 1, 1)), QString());
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, 1, {"Ash Bolt"}), QString());
    ASSERT_EQ(day.Update_Memorized_Cast(ysolde, slot("Ash Bolt", 1, 3), true), QString());
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Frost \"Rime\"|1|2|0", "Ash Bolt|1|3|1", "Veil|2|1|0"}));

    EXPECT_EQ(day.Update_Memorized_Rest(ysolde), QString());
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Frost \"Rime\"|1|2|0", "Ash Bolt|1|3|0", "Veil|2|1|0"}));
    EXPECT_EQ(dayOf("Corwin"), (QStringList{"Ash Bolt|1|1|1"}));

    EXPECT_EQ(day.Remove_All_Memorized(ysolde), QString());
    EXPECT_TRUE(dayOf(ysolde).isEmpty());
    EXPECT_EQ(dayOf("Corwin"), (QStringList{"Ash Bolt|1|1|1"}));
}

TEST_F(MemorizedTest, SlotsFollowTheSpellbookAndGoWithTheirCasterOrSpell)
{
    VM_Memorized day;
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, 1, {"Ash Bolt", "Frost \"Rime\""}), QString());
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, 2, {"Veil"}), QString());
    ASSERT_EQ(day.Add_Spells_To_Memorized("Corwin", 1, {"Ash Bolt"}), QString());

    // Out of the book: the slot stays, marked. A spell that changed level shows its new level.
    VM_Library lib;
    ASSERT_EQ(lib.Remove_Spells_From_Spellbook({"Ash Bolt"}, ysolde), QString());
    library.setSpell("Veil", {{"Lvl", "3"}});
    const QList<MemorizedSlot> day1 = day.Fetch_Memorized_Slots(ysolde);
    ASSERT_EQ(day1.size(), 3);
    EXPECT_FALSE(day1[0].inSpellbook);
    EXPECT_TRUE(day1[1].inSpellbook);
    EXPECT_FALSE(day1[1].movedLevel());
    EXPECT_TRUE(day1[2].movedLevel());
    EXPECT_EQ(day1[2].spellLevel, "3");

    // A renamed spell keeps its slots under the new name.
    VM_Spell frost;
    ASSERT_TRUE(frost.Set_Spell_Details("Frost \"Rime\""));
    frost.Set_Spellbooks("Frost \"Rime\"");
    frost.Set_Spell_Name("Hoarfrost");
    ASSERT_EQ(frost.Update_Existing_Spell("Frost \"Rime\"", false), QString());
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Ash Bolt|1|1|0", "Hoarfrost|1|2|0", "Veil|2|1|0"}));
    EXPECT_TRUE(day.Fetch_Memorized_Slots(ysolde)[1].inSpellbook);

    // A deleted spell leaves every caster's day; a deleted caster takes its whole day along.
    ASSERT_EQ(VM_Spell().Delete_Spell("Ash Bolt"), QString());
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Hoarfrost|1|2|0", "Veil|2|1|0"}));
    EXPECT_TRUE(dayOf("Corwin").isEmpty());
    ASSERT_EQ(VM_Spellbook().Delete_Existing_Caster(ysolde), QString());
    EXPECT_EQ(library.count("SELECT count(*) FROM Memorized"), 0);
}

TEST(MemorizedTable, AnOlderLibraryGainsTheTableWhenOpenedToBeChangedAndKeepsItsData)
{
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = libraryPath();
    createLibrary(path);
    {
        Connection older(path);
        older.exec("DROP TABLE Memorized;"
                   "INSERT INTO Spells (Name, Lvl) VALUES ('Ash Bolt', '1');"
                   "INSERT INTO SpellCasters (Spellbook, First) VALUES ('Bryn', '1');"
                   "INSERT INTO Spellbook (Caster, SpellName, SpellLevel) VALUES ('Bryn', 'Ash Bolt', '1');");
    }
    const auto tables = [](Connection &connection) {
        QStringList names;
        Statement select(connection,
                         "SELECT name FROM sqlite_master WHERE name LIKE 'Memorized%' ORDER BY name");
        while (select.step())
            names.append(select.text(0));
        return names;
    };

    // A report's read-only connection leaves the file as it is.
    Connection reader(path, Connection::Access::ReadOnly);
    EXPECT_TRUE(tables(reader).isEmpty());
    {
        VM_Library opened;
        EXPECT_EQ(tables(reader), (QStringList{"Memorized", "Memorized_ByCaster", "Memorized_BySpell"}));
        VM_Memorized day;
        EXPECT_EQ(day.Add_Spells_To_Memorized("Bryn", 1, {"Ash Bolt"}), QString());
    }
    Statement kept(reader,
                   "SELECT count(*) FROM Spellbook JOIN Memorized USING (Caster) WHERE Caster = 'Bryn'");
    ASSERT_TRUE(kept.step());
    EXPECT_EQ(kept.integer(0), 1);
    kept.reset();
    setAppFolder(QString());
}
