#include "TestLibrary.h"

#include "store/VM_Library.h"

namespace {

const QStringList kAllLevels = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                                QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")};

// Rows of a table as "a|b|c" texts, or {"<no table>"}.
QStringList rowsOf(const OptionalTable &table)
{
    if (!table)
        return {QStringLiteral("<no table>")};
    QStringList rows;
    for (int row = 0; row < table->rows(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columns(); ++column)
            cells.append(table->at(column, row));
        rows.append(cells.join(QLatin1Char('|')));
    }
    return rows;
}

QStringList namesOf(const OptionalTable &table)
{
    QStringList names;
    if (table)
        for (int row = 0; row < table->rows(); ++row)
            names.append(table->at(0, row));
    return names;
}

class SpellbookQueries : public LibraryTest
{
protected:
    void SetUp() override
    {
        library.addSpell(QStringLiteral("Bramble Gate"), QStringLiteral("2"),
                         {QStringLiteral("Plant"), QStringLiteral("Alteration")});
        library.addSpell(QStringLiteral("amber Lantern"), QStringLiteral("1"), {QStringLiteral("Sun")});
        library.addSpell(
            QStringLiteral("Cinder Veil"), QStringLiteral("3"),
            {QStringLiteral("Illusion/Phantasm"), QStringLiteral("Sun"), QStringLiteral("Alteration")});
        library.addSpell(QStringLiteral("Orphan Rune"), QStringLiteral("1"), {});
        library.addSpell(QStringLiteral("Maud's \"Quiet\" Step"), QStringLiteral("1"),
                         {QStringLiteral("Mistress' Shadows")});
    }
};

} // namespace

TEST_F(SpellbookQueries, SpellbookNamesStartWithTheReservedOneAndCountIt)
{
    VM_Library lib;
    EXPECT_EQ(lib.Fetch_Spellbooks_Count(), 0);
    EXPECT_EQ(lib.Get_Exisiting_Spellbook_Names(), QStringList{QStringLiteral("KXR")});
    EXPECT_EQ(lib.Fetch_Spellbooks_Count(), 1);

    library.addCaster(QStringLiteral("Zed  "));
    library.addCaster(QStringLiteral("Alys \"the Bold\""));
    EXPECT_EQ(lib.Get_Exisiting_Spellbook_Names(), (QStringList{QStringLiteral("KXR"), QStringLiteral("Zed"),
                                                                QStringLiteral("Alys \"the Bold\"")}));
    EXPECT_EQ(lib.Fetch_Spellbooks_Count(), 3);
}

TEST_F(SpellbookQueries, ReservedSpellbookIsTheWholeLibraryInNameOrder)
{
    VM_Library lib;
    EXPECT_FALSE(lib.Is_Spellbook_Resident());
    EXPECT_FALSE(lib.Fetch_Spells_Array());
    lib.Create_Spell_List_Array(QStringLiteral("  KXR "));
    EXPECT_TRUE(lib.Is_Spellbook_Resident());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()),
              (QStringList{QStringLiteral("amber Lantern"), QStringLiteral("Bramble Gate"),
                           QStringLiteral("Cinder Veil"), QStringLiteral("Maud's \"Quiet\" Step"),
                           QStringLiteral("Orphan Rune")}));
    EXPECT_EQ(rowsOf(lib.Fetch_Spells_Array()).first(), QStringLiteral("amber Lantern|1|Common|KXR|12"));
    EXPECT_EQ(rowsOf(lib.Fetch_Schools_Array()),
              (QStringList{QStringLiteral("amber Lantern|Sun"), QStringLiteral("Bramble Gate|Alteration"),
                           QStringLiteral("Bramble Gate|Plant"), QStringLiteral("Cinder Veil|Alteration"),
                           QStringLiteral("Cinder Veil|Illusion/Phantasm"), QStringLiteral("Cinder Veil|Sun"),
                           QStringLiteral("Maud's \"Quiet\" Step|Mistress' Shadows")}));

    // A copy handed out does not change when the object is asked again.
    const OptionalTable before = lib.Fetch_Spells_Array();
    lib.Create_Spell_List_Array(QStringLiteral("kxr")); // another letter case is an ordinary spellbook
    EXPECT_EQ(rowsOf(before).size(), 5);
    EXPECT_FALSE(lib.Fetch_Spells_Array());
}

TEST_F(SpellbookQueries, CasterSpellbookAndTheEmptyTableRule)
{
    const QString caster = QStringLiteral("Ysolde \"Ash\" O'Rourke");
    library.addCaster(caster);
    library.addToSpellbook(caster, QStringLiteral("Cinder Veil"), QStringLiteral("3"));
    library.addToSpellbook(caster, QStringLiteral("amber Lantern"), QStringLiteral("1"));
    library.addToSpellbook(QStringLiteral("Someone Else"), QStringLiteral("Bramble Gate"));

    VM_Library lib;
    lib.Create_Spell_List_Array(QLatin1Char(' ') + caster);
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()),
              (QStringList{QStringLiteral("amber Lantern"), QStringLiteral("Cinder Veil")}));
    EXPECT_EQ(
        rowsOf(lib.Fetch_Schools_Array()),
        (QStringList{QStringLiteral("amber Lantern|Sun"), QStringLiteral("Cinder Veil|Alteration"),
                     QStringLiteral("Cinder Veil|Illusion/Phantasm"), QStringLiteral("Cinder Veil|Sun")}));

    // An empty spellbook gives no spells table and leaves the schools table as it was.
    library.addCaster(QStringLiteral("Empty"));
    lib.Create_Spell_List_Array(QStringLiteral("Empty"));
    EXPECT_FALSE(lib.Fetch_Spells_Array());
    EXPECT_EQ(rowsOf(lib.Fetch_Schools_Array()).size(), 4);
}

TEST_F(SpellbookQueries, RequeryFiltersByLevelsAndSchoolsButKeepsEverySchoolOfAKeptSpell)
{
    VM_Library lib;
    lib.Create_Spell_List_Array(QStringLiteral("KXR"));

    // All levels, all schools: the spell without a school is dropped by the school filter.
    const QStringList allSchools = {QStringLiteral("Alteration"), QStringLiteral("Illusion/Phantasm"),
                                    QStringLiteral("Plant"), QStringLiteral("Sun"),
                                    QStringLiteral("Mistress' Shadows")};
    EXPECT_EQ(lib.Requery(kAllLevels, allSchools, QStringLiteral("KXR")), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()),
              (QStringList{QStringLiteral("amber Lantern"), QStringLiteral("Bramble Gate"),
                           QStringLiteral("Cinder Veil"), QStringLiteral("Maud's \"Quiet\" Step")}));

    // Only Sun: both Sun spells stay, Cinder Veil with all three of its schools.
    EXPECT_EQ(lib.Requery(kAllLevels, {QStringLiteral("Sun")}, QStringLiteral("KXR")), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()),
              (QStringList{QStringLiteral("amber Lantern"), QStringLiteral("Cinder Veil")}));
    EXPECT_EQ(
        rowsOf(lib.Fetch_Schools_Array()),
        (QStringList{QStringLiteral("amber Lantern|Sun"), QStringLiteral("Cinder Veil|Alteration"),
                     QStringLiteral("Cinder Veil|Illusion/Phantasm"), QStringLiteral("Cinder Veil|Sun")}));

    // Levels and schools together; quotes in a school name are ordinary characters.
    EXPECT_EQ(lib.Requery({QStringLiteral("1")}, {QStringLiteral("Sun"), QStringLiteral("Mistress' Shadows")},
                          QStringLiteral("KXR")),
              QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()),
              (QStringList{QStringLiteral("amber Lantern"), QStringLiteral("Maud's \"Quiet\" Step")}));

    // No spell at the chosen levels: no spells table, the schools table as it was.
    EXPECT_EQ(lib.Requery({QStringLiteral("9")}, allSchools, QStringLiteral("KXR")), QString());
    EXPECT_FALSE(lib.Fetch_Spells_Array());
    EXPECT_EQ(rowsOf(lib.Fetch_Schools_Array()).size(), 2);

    // Spells at the levels but none in the schools: no schools table, the spells table as it was.
    lib.Create_Spell_List_Array(QStringLiteral("KXR"));
    EXPECT_EQ(lib.Requery(kAllLevels, {QStringLiteral("Necromancy")}, QStringLiteral("KXR")), QString());
    EXPECT_FALSE(lib.Fetch_Schools_Array());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()).size(), 5);
}

TEST_F(SpellbookQueries, RequeryOfACasterStaysInsideTheSpellbook)
{
    const QString caster = QStringLiteral("Bryn");
    library.addCaster(caster);
    library.addToSpellbook(caster, QStringLiteral("Cinder Veil"), QStringLiteral("3"));
    library.addToSpellbook(caster, QStringLiteral("Bramble Gate"), QStringLiteral("2"));

    VM_Library lib;
    EXPECT_EQ(lib.Requery({QStringLiteral("2"), QStringLiteral("3")}, {QStringLiteral("Alteration")},
                          QStringLiteral("Bryn ")),
              QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()),
              (QStringList{QStringLiteral("Bramble Gate"), QStringLiteral("Cinder Veil")}));
    EXPECT_EQ(lib.Requery({QStringLiteral("2")}, {QStringLiteral("Sun")}, caster), QString());
    EXPECT_FALSE(lib.Fetch_Schools_Array()); // Cinder Veil has Sun, but not at level 2
}

TEST_F(SpellbookQueries, FailedSpellsListSkipsSpellsThatLeftTheLibrary)
{
    library.addFailed(QStringLiteral("Bryn"), QStringLiteral("Cinder Veil"), QStringLiteral("3"));
    library.addFailed(QStringLiteral("Bryn"), QStringLiteral("Long Gone"), QStringLiteral("2"));
    library.addFailed(QStringLiteral("Bryn"), QStringLiteral("Maud's \"Quiet\" Step "), QStringLiteral("1"));
    library.addFailed(QStringLiteral("Other"), QStringLiteral("Bramble Gate"), QStringLiteral("2"));

    VM_Library lib;
    ListRows rows{ListRow{QStringLiteral("stale row"), {}}};
    lib.LoadSpellList(QStringLiteral(" Bryn "), rows);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].text, QStringLiteral("Cinder Veil"));
    EXPECT_EQ(rows[0].subItems, (QStringList{QStringLiteral("3"), QStringLiteral("Common"),
                                             QStringLiteral("KXR"), QStringLiteral("12")}));
    EXPECT_EQ(rows[1].text, QStringLiteral("Maud's \"Quiet\" Step"));
}

TEST_F(SpellbookQueries, CurrentSpellbookNameIsPlainState)
{
    VM_Library lib;
    EXPECT_EQ(lib.Fetch_Current_Spellbook_Name(), QString());
    lib.ReSet_Current_Spellbook_Name(QStringLiteral("Bryn"));
    EXPECT_EQ(lib.Fetch_Current_Spellbook_Name(), QStringLiteral("Bryn"));
}
