#include "TestLibrary.h"

namespace {

class SearchTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        library.addSpell("Wall of Fire", "4", {"Evocation"});
        library.addSpell("fireside Chat", "1", {"Divination"}, "Rare");
        library.addSpell("Fire Ball", "3", {"evocation", "Alteration", "Fire"});
        library.addSpell("Otto's \"Irresistible\" Dance", "5", {});
        library.addSpell("100% Chance", "2", {"Wild"});
        library.addSpell("1000 Cuts", "2", {"Wild"});
        library.addSpell("Slash_Back\\Slash", "2", {"Wild"});
        library.db().exec(
            "UPDATE Spells SET [Casting Time Type] = 'Hour(s)', [Casting Time] = '2' WHERE Name = '1000 "
            "Cuts';"
            "UPDATE Spells SET Description = 'Burns \u00C9very foe.' WHERE Name = 'Fire Ball';");
    }

    QStringList search(const QString &field, const QString &text, const QString &mode = "Any",
                       const QString &scope = "KXR")
    {
        const QString status = lib.Search(field, scope, text, mode);
        EXPECT_EQ(status, QString());
        return namesOf(lib.Fetch_Search_Array());
    }

    VM_Library lib;
};

} // namespace

TEST_F(SearchTest, FindsByStartOrAnywhereWithOneRowPerSpellAndItsSchoolsInOrder)
{
    const QString name = "Name";
    EXPECT_EQ(search(name, "fire", "Starts"), (QStringList{"Fire Ball", "fireside Chat"}));
    EXPECT_EQ(search(name, "FIRE"), (QStringList{"Fire Ball", "fireside Chat", "Wall of Fire"}));
    EXPECT_EQ(
        tableText(lib.Fetch_Search_Array()),
        (QStringList{"Fire Ball|3|Common|KXR|12|Alteration, evocation, Fire",
                     "fireside Chat|1|Rare|KXR|12|Divination", "Wall of Fire|4|Common|KXR|12|Evocation"}));
    search(name, "Otto");
    EXPECT_EQ(tableText(lib.Fetch_Search_Array()),
              QStringList{"Otto's \"Irresistible\" Dance|5|Common|KXR|12|"});

    // A casting time is found by its number or its unit.
    EXPECT_EQ(search("Casting Time", "hour", "Starts"), QStringList{"1000 Cuts"});
    EXPECT_EQ(search("Casting Time", "2", "Starts"), QStringList{"1000 Cuts"});
    EXPECT_EQ(search("Description", "\u00C9very"), QStringList{"Fire Ball"});

    EXPECT_EQ(search(name, "Nothing like it"), QStringList());
    EXPECT_FALSE(lib.Fetch_Search_Array());
    EXPECT_EQ(lib.Search("Colour", "KXR", "x", "Any"), "\"Colour\" is not a field that can be searched");
}

TEST_F(SearchTest, TheTextIsMatchedLiterallyExceptForTheStar)
{
    const QString name = "Name";
    EXPECT_EQ(search(name, "100%"), QStringList{"100% Chance"});
    EXPECT_EQ(search(name, "1_0"), QStringList());
    EXPECT_EQ(search(name, "h_b"), QStringList{"Slash_Back\\Slash"});
    EXPECT_EQ(search(name, "k\\s"), QStringList{"Slash_Back\\Slash"});
    EXPECT_EQ(search(name, "\"Irresistible\" D"), QStringList{"Otto's \"Irresistible\" Dance"});
    EXPECT_EQ(search(name, "w*f", "Starts"), QStringList{"Wall of Fire"});
    EXPECT_EQ(search(name, "c*s"), (QStringList{"1000 Cuts", "Slash_Back\\Slash"}));
}

TEST_F(SearchTest, ASpellbookScopeListsOnlyTheCastersSpells)
{
    library.addToSpellbook("Mira \"Quill\"", "Wall of Fire");
    library.addToSpellbook("Mira \"Quill\"", "1000 Cuts");
    library.addToSpellbook("Other", "Fire Ball");

    EXPECT_EQ(search("Name", "fire", "Any", "Mira \"Quill\" "), QStringList{"Wall of Fire"});
    EXPECT_EQ(search("Name", "fire", "Any", "Nobody"), QStringList());
    EXPECT_FALSE(lib.Fetch_Search_Array());
    // The reserved name is the whole library only as written.
    EXPECT_EQ(search("Name", "fire", "Any", "kxr"), QStringList());

    library.db().exec("DROP TABLE Spellbook;");
    EXPECT_TRUE(lib.Search("Name", "Other", "x", "Any").contains("no such table"));
    EXPECT_FALSE(lib.Fetch_Search_Array());
}

// Past a few thousand hits the schools are read in one pass over every school row rather than
// looked up spell by spell: both ways give the same list.
TEST_F(SearchTest, AWholeLibraryOfHitsGetsEachSpellsSchoolsHoweverTheirRowsAreStored)
{
    library.db().exec(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 2099) "
        "INSERT INTO Spells (Name, Lvl, Frequency, Book, Page) SELECT printf('Bulk %04d', i), '1', 'Rare', "
        "'KXR', '7' FROM n;"
        "INSERT INTO Spells (Name, Lvl, Frequency, Book, Page) VALUES ('Bulk 0005', '9', 'Rare', 'KXR', '7');"
        // Each spell's first two school rows together, the even spells' third ones much later.
        "INSERT INTO SpellandSphere (Name, Sphere) SELECT s.Name, x.Sphere FROM Spells s, (SELECT 'Zeta' "
        "AS Sphere UNION ALL SELECT 'Mid') x WHERE s.Name LIKE 'Bulk%' ORDER BY s.rowid, x.Sphere DESC;"
        "INSERT INTO SpellandSphere (Name, Sphere) SELECT Name, 'Alpha' FROM Spells WHERE Name LIKE 'Bulk%' "
        "AND CAST(substr(Name, 6) AS INTEGER) % 2 = 0 AND rowid <= (SELECT min(rowid) + 2099 FROM Spells "
        "WHERE Name LIKE 'Bulk%') ORDER BY rowid;");
    const QStringList found = search("Name", "bulk", "Starts");
    ASSERT_EQ(found.size(), 2100);
    EXPECT_EQ(found.first(), "Bulk 0000");
    EXPECT_EQ(found.last(), "Bulk 2099");
    const QStringList rows = tableText(lib.Fetch_Search_Array());
    EXPECT_EQ(rows.mid(0, 2),
              (QStringList{"Bulk 0000|1|Rare|KXR|7|Alpha, Mid, Zeta", "Bulk 0001|1|Rare|KXR|7|Mid, Zeta"}));
    EXPECT_EQ(rows.filter("Bulk 0005|").size(), 1);
    EXPECT_EQ(rows.filter("Alpha, Mid, Zeta").size(), 1050);
    // A hundred hits are looked up one by one.
    ASSERT_EQ(search("Name", "bulk 00", "Starts").size(), 100);
    EXPECT_EQ(tableText(lib.Fetch_Search_Array()), rows.mid(0, 100));
}
