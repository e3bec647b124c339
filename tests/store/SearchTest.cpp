#include "TableText.h"
#include "TestLibrary.h"

#include "store/VM_Library.h"

namespace {

class SearchTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        library.addSpell(QStringLiteral("Wall of Fire"), QStringLiteral("4"), {QStringLiteral("Evocation")});
        library.addSpell(QStringLiteral("fireside Chat"), QStringLiteral("1"), {QStringLiteral("Divination")},
                         QStringLiteral("Rare"));
        library.addSpell(QStringLiteral("Fire Ball"), QStringLiteral("3"),
                         {QStringLiteral("evocation"), QStringLiteral("Alteration"), QStringLiteral("Fire")});
        library.addSpell(QStringLiteral("Otto's \"Irresistible\" Dance"), QStringLiteral("5"), {});
        library.addSpell(QStringLiteral("100% Chance"), QStringLiteral("2"), {QStringLiteral("Wild")});
        library.addSpell(QStringLiteral("1000 Cuts"), QStringLiteral("2"), {QStringLiteral("Wild")});
        library.addSpell(QStringLiteral("Slash_Back\\Slash"), QStringLiteral("2"), {QStringLiteral("Wild")});
        library.db().exec(
            "UPDATE Spells SET [Casting Time Type] = 'Hour(s)', [Casting Time] = '2' WHERE Name = '1000 "
            "Cuts';"
            "UPDATE Spells SET Description = 'Burns \u00C9very foe.' WHERE Name = 'Fire Ball';");
    }

    QStringList search(const QString &field, const QString &text, const QString &mode = QStringLiteral("Any"),
                       const QString &scope = QStringLiteral("KXR"))
    {
        const QString status = lib.Search(field, scope, text, mode);
        EXPECT_EQ(status, QString());
        QStringList names;
        if (const OptionalTable found = lib.Fetch_Search_Array())
            for (int row = 0; row < found->rows(); ++row)
                names.append(found->at(0, row));
        return names;
    }

    VM_Library lib;
};

} // namespace

TEST_F(SearchTest, FindsByStartOrAnywhereWithOneRowPerSpellAndItsSchoolsInOrder)
{
    const QString name = QStringLiteral("Name");
    EXPECT_EQ(search(name, QStringLiteral("fire"), QStringLiteral("Starts")),
              (QStringList{QStringLiteral("Fire Ball"), QStringLiteral("fireside Chat")}));
    EXPECT_EQ(search(name, QStringLiteral("FIRE")),
              (QStringList{QStringLiteral("Fire Ball"), QStringLiteral("fireside Chat"),
                           QStringLiteral("Wall of Fire")}));
    EXPECT_EQ(tableText(lib.Fetch_Search_Array()),
              (QStringList{QStringLiteral("Fire Ball|3|Common|KXR|12|Alteration, evocation, Fire"),
                           QStringLiteral("fireside Chat|1|Rare|KXR|12|Divination"),
                           QStringLiteral("Wall of Fire|4|Common|KXR|12|Evocation")}));
    EXPECT_EQ(tableText([&] {
                  search(name, QStringLiteral("Otto"));
                  return lib.Fetch_Search_Array();
              }()),
              QStringList{QStringLiteral("Otto's \"Irresistible\" Dance|5|Common|KXR|12|")});

    // A casting time is found by its number or its unit.
    EXPECT_EQ(search(QStringLiteral("Casting Time"), QStringLiteral("hour"), QStringLiteral("Starts")),
              QStringList{QStringLiteral("1000 Cuts")});
    EXPECT_EQ(search(QStringLiteral("Casting Time"), QStringLiteral("2"), QStringLiteral("Starts")),
              QStringList{QStringLiteral("1000 Cuts")});
    EXPECT_EQ(search(QStringLiteral("Description"), QStringLiteral("\u00C9very")),
              QStringList{QStringLiteral("Fire Ball")});

    EXPECT_EQ(search(name, QStringLiteral("Nothing like it")), QStringList());
    EXPECT_FALSE(lib.Fetch_Search_Array());
    EXPECT_EQ(lib.Search(QStringLiteral("Colour"), QStringLiteral("KXR"), QStringLiteral("x"),
                         QStringLiteral("Any")),
              QStringLiteral("\"Colour\" is not a field that can be searched"));
}

TEST_F(SearchTest, TheTextIsMatchedLiterallyExceptForTheStar)
{
    const QString name = QStringLiteral("Name");
    EXPECT_EQ(search(name, QStringLiteral("100%")), QStringList{QStringLiteral("100% Chance")});
    EXPECT_EQ(search(name, QStringLiteral("1_0")), QStringList());
    EXPECT_EQ(search(name, QStringLiteral("h_b")), QStringList{QStringLiteral("Slash_Back\\Slash")});
    EXPECT_EQ(search(name, QStringLiteral("k\\s")), QStringList{QStringLiteral("Slash_Back\\Slash")});
    EXPECT_EQ(search(name, QStringLiteral("\"Irresistible\" D")),
              QStringList{QStringLiteral("Otto's \"Irresistible\" Dance")});
    EXPECT_EQ(search(name, QStringLiteral("w*f"), QStringLiteral("Starts")),
              QStringList{QStringLiteral("Wall of Fire")});
    EXPECT_EQ(search(name, QStringLiteral("c*s")),
              (QStringList{QStringLiteral("1000 Cuts"), QStringLiteral("Slash_Back\\Slash")}));
}

TEST_F(SearchTest, ASpellbookScopeListsOnlyTheCastersSpells)
{
    library.addToSpellbook(QStringLiteral("Mira \"Quill\""), QStringLiteral("Wall of Fire"));
    library.addToSpellbook(QStringLiteral("Mira \"Quill\""), QStringLiteral("1000 Cuts"));
    library.addToSpellbook(QStringLiteral("Other"), QStringLiteral("Fire Ball"));

    EXPECT_EQ(search(QStringLiteral("Name"), QStringLiteral("fire"), QStringLiteral("Any"),
                     QStringLiteral("Mira \"Quill\" ")),
              QStringList{QStringLiteral("Wall of Fire")});
    EXPECT_EQ(search(QStringLiteral("Name"), QStringLiteral("fire"), QStringLiteral("Any"),
                     QStringLiteral("Nobody")),
              QStringList());
    EXPECT_FALSE(lib.Fetch_Search_Array());
    // The reserved name is the whole library only as written.
    EXPECT_EQ(
        search(QStringLiteral("Name"), QStringLiteral("fire"), QStringLiteral("Any"), QStringLiteral("kxr")),
        QStringList());

    library.db().exec("DROP TABLE Spellbook;");
    EXPECT_TRUE(lib.Search(QStringLiteral("Name"), QStringLiteral("Other"), QStringLiteral("x"),
                           QStringLiteral("Any"))
                    .contains(QStringLiteral("no such table")));
    EXPECT_FALSE(lib.Fetch_Search_Array());
}
