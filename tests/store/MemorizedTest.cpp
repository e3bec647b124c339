#include "TestLibrary.h"

#include "store/AppFolder.h"
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

TEST_F(MemorizedTest, EachSpellGoesToItsOwnLevelWithinTheDaysSlotsAndTheRestAreNamedWithTheReason)
{
    VM_Memorized day;
    EXPECT_EQ(day.Fetch_Slots_Per_Level(ysolde), (SlotsPerLevel{2, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(day.Fetch_Slots_Per_Level("Nobody"), SlotsPerLevel{});

    // The same spell twice fills two slots; spells of two levels go each to its own.
    EXPECT_EQ(day.Add_Spells_To_Memorized(" " + ysolde, {"Ash Bolt", " Ash Bolt ", "Veil"}), QString());
    EXPECT_EQ(day.NumberMemorized(), 3);
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Ash Bolt|1|1|0", "Ash Bolt|1|2|0", "Veil|2|1|0"}));

    library.addSpell("Ember", "3", {});
    library.addSpell("Cantrip", "0", {});
    library.addToSpellbook(ysolde, "Ember");
    library.addToSpellbook(ysolde, "Cantrip");
    const QStringList before = library.dump();
    EXPECT_EQ(
        day.Add_Spells_To_Memorized(ysolde,
                                    {"Frost \"Rime\"", "Glimmer", "Ember", "Veil", "Nowhere", "Cantrip"}),
        "These spells are not in the spellbook of " + ysolde +
            " and were not memorized: Glimmer, Nowhere\n"
            "These spells have no level from 1st to 9th and were not memorized: Cantrip\n"
            "No 1st-level slot of " +
            ysolde +
            " is free (2 of 2 memorized), so these were not memorized: Frost \"Rime\". Forget a spell of "
            "that level, or give the level more slots.\n"
            "No 2nd-level slot of " +
            ysolde +
            " is free (1 of 1 memorized), so these were not memorized: Veil. Forget a spell of that level, "
            "or give the level more slots.\n" +
            ysolde +
            " has no 3rd-level slots, so these were not memorized: Ember. Give the level slots to "
            "memorize spells of it.");
    EXPECT_EQ(day.NumberMemorized(), 0);
    EXPECT_EQ(library.dump(), before);
    EXPECT_EQ(day.Add_Spells_To_Memorized("Nobody", {"Ash Bolt"}), "Spellbook details could not be found");

    // The day's own slots: set per level, kept apart from the caster's record (how many the book
    // holds), and what memorizing counts from then on.
    struct Setting
    {
        int level;
        int count;
        QString status;
    };
    const QList<Setting> settings = {{3, 2, ""},
                                     {1, 3, ""},
                                     {1, 100, "A level has 0 to 99 slots."},
                                     {2, -1, "A level has 0 to 99 slots."},
                                     {10, 1, "Spells are memorized at the levels 1st to 9th."}};
    for (const Setting &setting : settings)
        EXPECT_EQ(day.Update_Slots_Per_Level(ysolde, setting.level, setting.count), setting.status);
    EXPECT_EQ(day.Update_Slots_Per_Level("Nobody", 1, 1), "Spellbook details could not be found");
    EXPECT_EQ(day.Fetch_Slots_Per_Level(ysolde), (SlotsPerLevel{3, 1, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(library.rows("SELECT First, Second, Third FROM SpellCasters WHERE Spellbook = ?", {ysolde}),
              QStringList{" 2 |1|three"});
    EXPECT_EQ(day.Add_Spells_To_Memorized(ysolde, {"Frost \"Rime\"", "Ember"}), QString());
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Ash Bolt|1|1|0", "Ash Bolt|1|2|0", "Frost \"Rime\"|1|3|0",
                                          "Veil|2|1|0", "Ember|3|1|0"}));
    EXPECT_EQ(day.Fetch_Slots_Per_Level("Corwin"), (SlotsPerLevel{4, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(MemorizedTest, APlanKeepsADayAndLoadsItInOneStepNamingWhatNoLongerFits)
{
    VM_Memorized day;
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, {"Ash Bolt", "Frost \"Rime\"", "Veil"}), QString());
    ASSERT_EQ(day.Update_Memorized_Cast(ysolde, slot("Veil", 2, 1), true), QString());
    EXPECT_EQ(day.Save_Plan(ysolde, " Travel "), QString());
    EXPECT_EQ(day.Save_Plan(ysolde, ""), "Type a name for the plan first.");
    EXPECT_EQ(day.Save_Plan("Corwin", "Town"), "Corwin has no memorized spells to keep as a plan.");

    ASSERT_EQ(day.Remove_All_Memorized(ysolde), QString());
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, {"Ash Bolt"}), QString());
    EXPECT_EQ(day.Save_Plan(ysolde, "dungeon"), QString());
    EXPECT_EQ(day.Fetch_Plan_Names(ysolde), (QStringList{"dungeon", "Travel"}));
    EXPECT_TRUE(day.Fetch_Plan_Names("Corwin").isEmpty());

    // Loading replaces the day, every slot ready.
    EXPECT_EQ(day.Load_Plan(ysolde, "Travel"), QString());
    EXPECT_EQ(day.NumberMemorized(), 3);
    EXPECT_EQ(dayOf(ysolde), (QStringList{"Ash Bolt|1|1|0", "Frost \"Rime\"|1|2|0", "Veil|2|1|0"}));
    EXPECT_EQ(day.Load_Plan(ysolde, "Nowhere"), ysolde + " has no plan named Nowhere.");
    EXPECT_EQ(dayOf(ysolde).size(), 3);

    // A spell gone from the book, or one without a slot now, is named; the rest are loaded. A
    // renamed spell keeps its place in the plan.
    ASSERT_EQ(VM_Library().Remove_Spells_From_Spellbook({"Ash Bolt"}, ysolde), QString());
    ASSERT_EQ(day.Update_Slots_Per_Level(ysolde, 2, 0), QString());
    VM_Spell frost;
    ASSERT_TRUE(frost.Set_Spell_Details("Frost \"Rime\""));
    frost.Set_Spellbooks("Frost \"Rime\"");
    frost.Set_Spell_Name("Hoarfrost");
    ASSERT_EQ(frost.Update_Existing_Spell("Frost \"Rime\"", false), QString());
    EXPECT_EQ(day.Load_Plan(ysolde, "travel "), ysolde + " has no plan named travel.");
    EXPECT_EQ(
        day.Load_Plan(ysolde, "Travel"),
        "These spells of the plan are no longer in the spellbook of " + ysolde +
            " and were not memorized: Ash Bolt\n" + ysolde +
            " has no 2nd-level slots, so these were not memorized: Veil. Give the level slots to memorize "
            "spells of it.");
    EXPECT_EQ(day.NumberMemorized(), 1);
    EXPECT_EQ(dayOf(ysolde), QStringList{"Hoarfrost|1|1|0"});

    EXPECT_EQ(day.Remove_Plan(ysolde, "dungeon"), QString());
    EXPECT_EQ(day.Fetch_Plan_Names(ysolde), QStringList{"Travel"});
    // The plans and the day's slots go with their caster.
    ASSERT_EQ(VM_Spellbook().Delete_Existing_Caster(ysolde), QString());
    EXPECT_EQ(library.count("SELECT count(*) FROM MemorizedPlans"), 0);
    EXPECT_EQ(library.count("SELECT count(*) FROM MemorizedSlots"), 0);
}

TEST_F(MemorizedTest, CastForgetRestAndClearChangeOnlyTheirSlotsOfTheirCaster)
{
    VM_Memorized day;
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, {"Ash Bolt", "Frost \"Rime\""}), QString());
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, {"Veil"}), QString());
    library.db().exec("UPDATE SpellCasters SET First = '3' WHERE Spellbook = 'Corwin'");
    ASSERT_EQ(day.Add_Spells_To_Memorized("Corwin", {"Ash Bolt"}), QString());

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
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, {"Ash Bolt"}), QString());
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
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, {"Ash Bolt", "Frost \"Rime\""}), QString());
    ASSERT_EQ(day.Add_Spells_To_Memorized(ysolde, {"Veil"}), QString());
    ASSERT_EQ(day.Add_Spells_To_Memorized("Corwin", {"Ash Bolt"}), QString());

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
        older.exec("DROP TABLE Memorized; DROP TABLE MemorizedSlots; DROP TABLE MemorizedPlans;"
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
        EXPECT_EQ(tables(reader),
                  (QStringList{"Memorized", "MemorizedPlans", "MemorizedPlans_ByCaster", "MemorizedSlots",
                               "MemorizedSlots_Once", "Memorized_ByCaster", "Memorized_BySpell"}));
        VM_Memorized day;
        EXPECT_EQ(day.Add_Spells_To_Memorized("Bryn", {"Ash Bolt"}), QString());
    }
    Statement kept(reader,
                   "SELECT count(*) FROM Spellbook JOIN Memorized USING (Caster) WHERE Caster = 'Bryn'");
    ASSERT_TRUE(kept.step());
    EXPECT_EQ(kept.integer(0), 1);
    kept.reset();
    setAppFolder(QString());
}
