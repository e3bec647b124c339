#include "TestLibrary.h"

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

    // The whole library's spell list and school rows, as SQL reads them.
    std::pair<QStringList, QStringList> wholeLibraryAsStored()
    {
        return {library.rows("SELECT Name, Lvl, coalesce(Frequency, ''), Book, Page FROM Spells "
                             "ORDER BY Name COLLATE NOCASE, Name"),
                library.rows("SELECT Name, Sphere FROM SpellandSphere "
                             "ORDER BY Name COLLATE NOCASE, Name, Sphere COLLATE NOCASE, Sphere")};
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

TEST_F(SpellbookQueries, CasterSpellbookItsFiltersAndTheEmptyTableRule)
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
    // A filter stays inside the spellbook: Bramble Gate is another caster's.
    EXPECT_EQ(lib.Requery({"2", "3"}, {"Alteration"}, caster + " "), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()), QStringList{"Cinder Veil"});
    EXPECT_EQ(lib.Requery({"1"}, {"Alteration"}, caster), QString());
    EXPECT_FALSE(lib.Fetch_Schools_Array()); // Cinder Veil has Alteration, but not at level 1

    // The spellbook changed through the same object is read anew, as one changed elsewhere is.
    lib.Add_Spells_To_Spellbook(caster, {ListRow{"Bramble Gate", {"2"}, true}});
    EXPECT_EQ(lib.Requery({"1", "2"}, {"Sun", "Plant"}, caster), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()), (QStringList{"amber Lantern", "Bramble Gate"}));
    EXPECT_EQ(lib.Remove_Spells_From_Spellbook({"Bramble Gate"}, caster), QString());
    EXPECT_EQ(lib.Requery({"1", "2"}, {"Sun", "Plant"}, caster), QString());
    EXPECT_EQ(namesOf(lib.Fetch_Spells_Array()), QStringList{"amber Lantern"});

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

// A filter gives what the same filter of the book read afresh gives, whatever the object read
// before and whatever the book holds: a name stored twice at two levels, a run of spells without
// a school, school rows of no spell, a spell added since the last query.
TEST_F(SpellbookQueries, RequeryGivesTheSameRowsWhateverWasReadBefore)
{
    library.addSpell("Twin", "1", {"Sun"});
    library.addSpell("Twin", "4", {"Plant"});
    for (int i = 0; i < 12; ++i)
        library.addSpell(QStringLiteral("Bare %1").arg(i, 2, 10, QLatin1Char('0')), "2", {});
    library.rows("INSERT INTO SpellandSphere (Name, Sphere) VALUES ('Ghost', 'Sun'), ('Bare 05x', 'Sun')");

    struct Case
    {
        QStringList levels;
        QStringList schools;
        QStringList spells;
    };
    const QList<Case> cases = {
        {kAllLevels, {"Sun"}, {"amber Lantern|1", "Cinder Veil|3", "Twin|1", "Twin|4"}},
        {{"4"}, {"Sun"}, {"Twin|4"}},
        {{"1"}, {"Plant"}, {"Twin|1"}},
        {{"2"}, {"Plant", "Sun", "Alteration"}, {"Bramble Gate|2"}},
        {{"3", "1"},
         {"Sun", "Mistress' Shadows"},
         {"amber Lantern|1", "Cinder Veil|3", "Maud's \"Quiet\" Step|1", "Twin|1"}},
    };
    const auto levelsOf = [](const OptionalTable &spells) {
        QStringList rows;
        for (int row = 0; spells && row < spells->rows(); ++row)
            rows.append(spells->at(0, row) + '|' + spells->at(1, row));
        return rows;
    };
    VM_Library warm;
    warm.Create_Spell_List_Array("KXR");
    for (int round = 0; round < 2; ++round) {
        for (const Case &c : cases) {
            VM_Library cold;
            ASSERT_EQ(cold.Requery(c.levels, c.schools, "KXR"), QString());
            ASSERT_EQ(warm.Requery(c.levels, c.schools, "KXR"), QString());
            EXPECT_EQ(levelsOf(warm.Fetch_Spells_Array()), c.spells) << c.schools.join(',').toStdString();
            EXPECT_EQ(warm.Fetch_Spells_Array(), cold.Fetch_Spells_Array());
            EXPECT_EQ(warm.Fetch_Schools_Array(), cold.Fetch_Schools_Array());
        }
        library.addSpell("Aardvark Ward", "1", {"Sun"});
        ASSERT_EQ(warm.Requery({"1"}, {"Sun"}, "KXR"), QString());
        EXPECT_EQ(namesOf(warm.Fetch_Spells_Array()).first(), "Aardvark Ward");
        library.rows("DELETE FROM Spells WHERE Name = 'Aardvark Ward'");
    }
}

// A column is read as numbers into a few shared texts until it has shown a few hundred distinct
// values, and as a text per row from then on: a large book reads every cell as stored either
// way, and a table handed out changes one cell at a time, never a text other rows share.
TEST_F(SpellbookQueries, ALargeBookReadsAsStoredAndItsTablesChangeOneCellAtATime)
{
    library.rows("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 699) "
                 "INSERT INTO Spells (Name, Lvl, Frequency, Book, Page) SELECT printf('Tome %04d', i), "
                 "i % 9 + 1, CASE i % 3 WHEN 0 THEN 'Rare' WHEN 1 THEN 'Common' END, 'KXR', i FROM n");
    library.rows(
        "INSERT INTO SpellandSphere (Name, Sphere) SELECT Name, CASE rowid % 3 WHEN 0 THEN 'Sun' "
        "WHEN 1 THEN 'Plant' ELSE printf('School %d', rowid) END FROM Spells WHERE Name LIKE 'Tome%'");
    library.rows("INSERT INTO SpellandSphere (Name, Sphere) VALUES ('Lost Tome', 'Sun')");
    const auto [spells, schools] = wholeLibraryAsStored();
    ASSERT_EQ(spells.size(), 705);

    VM_Library lib;
    lib.Create_Spell_List_Array("KXR");
    EXPECT_EQ(tableText(lib.Fetch_Spells_Array()), spells);
    EXPECT_EQ(tableText(lib.Fetch_Schools_Array()), schools);

    Table table = *lib.Fetch_Spells_Array();
    const Table before = table;
    EXPECT_EQ(Table(5, before.cells()), before);
    const int first = int(spells.indexOf("Tome 0000|1|Rare|KXR|0"));
    ASSERT_GE(first, 0);
    const int ninth = first + 9; // the same level and frequency as the first
    table.set(1, first, "X");
    table.set(2, ninth, "Y");
    table.set(0, ninth, "Renamed");
    EXPECT_EQ(tableText(table).at(first), "Tome 0000|X|Rare|KXR|0");
    EXPECT_EQ(tableText(table).at(ninth), "Renamed|1|Y|KXR|9");
    EXPECT_EQ(tableText(table).at(ninth + 9), "Tome 0018|1|Rare|KXR|18");
    EXPECT_EQ(tableText(before), spells);

    EXPECT_EQ(tableText(before.rowsAt({ninth, first})), (QStringList{spells.at(ninth), spells.at(first)}));
    table.appendRows({"Last", "2", "", "KXR", "1"});
    EXPECT_EQ(tableText(table).last(), "Last|2||KXR|1");
    EXPECT_EQ(table.rows(), 706);
}

// A large library's school rows are read beside its spells, on a second connection: they come
// out as one connection reads them, and each names its spell with the spell list's own text, also
// after a run of spells without schools.
TEST_F(SpellbookQueries, ALargeLibrarysSchoolRowsReadBesideItsSpellsShareTheSpellListsNames)
{
    library.rows("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 20999) "
                 "INSERT INTO Spells (Name, Lvl, Book, Page) SELECT printf('Rune %05d', i), i % 9 + 1, "
                 "'KXR', i % 400 FROM n");
    library.rows("INSERT INTO SpellandSphere (Name, Sphere) SELECT Name, CASE rowid % 2 WHEN 0 THEN 'Sun' "
                 "ELSE 'Plant' END FROM Spells WHERE Name LIKE 'Rune%' AND Name <> 'Rune 00007' "
                 "AND Name NOT BETWEEN 'Rune 00200' AND 'Rune 00219'");
    library.rows("INSERT INTO SpellandSphere (Name, Sphere) SELECT Name, 'Wards' FROM Spells "
                 "WHERE Name LIKE 'Rune 1%'");
    library.rows("INSERT INTO SpellandSphere (Name, Sphere) VALUES ('rune 00100x', 'Sun')");
    const auto [spells, schools] = wholeLibraryAsStored();

    // Rows of the first table whose name is the very text the second table holds.
    const auto sharedNames = [](const Table &names, const Table &holder) {
        QHash<QString, const QChar *> texts;
        for (int row = 0; row < holder.rows(); ++row)
            texts.insert(holder.at(0, row), holder.at(0, row).constData());
        int shared = 0;
        for (int row = 0; row < names.rows(); ++row)
            shared += texts.value(names.at(0, row)) == names.at(0, row).constData() ? 1 : 0;
        return shared;
    };
    VM_Library lib;
    for (int round = 0; round < 2; ++round) { // the second round is sized by the first
        lib.Create_Spell_List_Array("KXR");
        EXPECT_EQ(tableText(lib.Fetch_Spells_Array()), spells);
        EXPECT_EQ(tableText(lib.Fetch_Schools_Array()), schools);
        // All but the row of no spell.
        EXPECT_EQ(sharedNames(*lib.Fetch_Schools_Array(), *lib.Fetch_Spells_Array()), schools.size() - 1);
    }

    // A requery after a change reads the book again, its school rows beside its spells, and
    // shares the names read before, also past a run of spells that left the library.
    const Table before = *lib.Fetch_Spells_Array();
    library.rows("DELETE FROM Spells WHERE Name BETWEEN 'Rune 00300' AND 'Rune 00319'");
    library.rows("INSERT INTO SpellandSphere (Name, Sphere) VALUES ('Rune 00007', 'Wards')");
    ASSERT_EQ(lib.Requery(kAllLevels, {"Wards"}, "KXR"), QString());
    EXPECT_EQ(lib.Fetch_Spells_Array()->rows(), 10001);
    EXPECT_EQ(sharedNames(*lib.Fetch_Spells_Array(), before), 10001);
    EXPECT_EQ(tableText(lib.Fetch_Schools_Array()),
              library.rows("SELECT Name, Sphere FROM SpellandSphere WHERE Name IN "
                           "(SELECT Name FROM SpellandSphere WHERE Sphere = 'Wards') "
                           "ORDER BY Name COLLATE NOCASE, Name, Sphere COLLATE NOCASE, Sphere"));

    // Another library put in the place of the open one is not read from.
    const auto [spellsNow, schoolsNow] = wholeLibraryAsStored();
    VM_Library opened;
    library.rows("PRAGMA wal_checkpoint(TRUNCATE)");
    ASSERT_TRUE(QFile::rename(library.path(), library.path() + ".moved"));
    ASSERT_TRUE(QFile::copy(library.path() + ".moved", library.path() + ".other"));
    Connection(library.path() + ".other").exec("DELETE FROM SpellandSphere;");
    ASSERT_TRUE(QFile::rename(library.path() + ".other", library.path()));
    opened.Create_Spell_List_Array("KXR");
    EXPECT_EQ(tableText(opened.Fetch_Spells_Array()), spellsNow);
    EXPECT_EQ(tableText(opened.Fetch_Schools_Array()), schoolsNow);
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
