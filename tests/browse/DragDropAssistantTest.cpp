#include "TestLibrary.h"

#include "browse/VM_DragDropAssistant.h"

namespace {

ListRows rows(const QStringList &selectedNames, const QStringList &otherNames = {})
{
    ListRows list;
    for (const QString &name : selectedNames)
        list.append(ListRow{name, {}, true});
    for (const QString &name : otherNames)
        list.append(ListRow{name, {}, false});
    return list;
}

class DragDropTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        library.addSpell("Held", "1", {});
        library.addSpell("New \"One\"", "2", {});
        library.addSpell("Third", "3", {});
        library.addToSpellbook("Mira", "Held", "1");
    }

    QStringList spellbook(const QString &table, const QString &caster)
    {
        return library.rows("SELECT SpellName, ifnull(SpellLevel, '') FROM " + table +
                                " WHERE Caster = ? ORDER BY rowid",
                            {caster});
    }

    VM_DragDropAssistant assistant;
};

} // namespace

TEST_F(DragDropTest, ADropAddsOnlyTheSpellsTheSpellbookLacksAndEndsTheDrag)
{
    EXPECT_FALSE(assistant.Validate_Drop());
    EXPECT_EQ(assistant.Pack_Data(rows({"Held", "New \"One\"", "Third", "Third"}, {"Unselected"}), " Bryn "),
              QString());
    EXPECT_TRUE(assistant.Validate_Drop());
    EXPECT_EQ(assistant.Drag_Source(), "Bryn");

    EXPECT_EQ(assistant.Unpack_To_Button(" Mira "), QString());
    EXPECT_EQ(assistant.NumberAdded(), 2);
    EXPECT_EQ(spellbook("Spellbook", "Mira"), (QStringList{"Held|1", "New \"One\"|", "Third|"}));

    // A second drop of the same drag finds nothing to add.
    EXPECT_FALSE(assistant.Validate_Drop());
    EXPECT_EQ(assistant.Unpack_To_Button("Mira"), QString());
    EXPECT_EQ(assistant.NumberAdded(), 2);
    assistant.Reset_Drag();
    EXPECT_EQ(assistant.NumberAdded(), 0);

    assistant.Pack_Data(rows({"Held"}), "Search");
    EXPECT_EQ(assistant.Unpack_To_Button("KXR"), "KXR is the whole library: spells cannot be added to it");
    EXPECT_EQ(library.count("SELECT count(*) FROM Spellbook WHERE Caster = 'KXR'"), 0);

    // An empty selection packs an empty drag.
    assistant.Pack_Data(rows({}, {"Held"}), "Mira");
    EXPECT_TRUE(assistant.Validate_Drop());
    EXPECT_EQ(assistant.Unpack_To_Button("Bryn"), QString());
    EXPECT_EQ(assistant.NumberAdded(), 0);

    // A spell deleted since the drag began is named and left out; the others go in.
    assistant.Pack_Data(rows({"Vanished", "Third"}), "KXR");
    EXPECT_EQ(assistant.Unpack_To_Button("Bryn"),
              "These spells are no longer in the library and were not added: Vanished");
    EXPECT_EQ(assistant.NumberAdded(), 1);
    EXPECT_EQ(spellbook("Spellbook", "Bryn"), QStringList{"Third|"});
}

TEST_F(DragDropTest, FailedSpellsTakeTheirLevelAndSkipSpellsNoLongerInTheLibrary)
{
    library.addFailed("Mira", "Third", "3");
    assistant.Pack_Data(rows({"Held", "Vanished", "Third", "New \"One\""}), "Bryn");
    // Held is in Mira's book: a spell the caster knows is no failed spell of hers.
    EXPECT_EQ(assistant.Unpack_To_Unlearned("Mira "),
              "These spells are already in the spellbook of Mira and were not added to the failed spells: "
              "Held\nThese spells are no longer in the library and were not added: Vanished");
    EXPECT_EQ(assistant.NumberAdded(), 1);
    EXPECT_EQ(spellbook("FailedSpells", "Mira"), (QStringList{"Third|3", "New \"One\"|2"}));

    library.db().exec("DROP TABLE FailedSpells;");
    assistant.Pack_Data(rows({"New \"One\""}), "Bryn");
    EXPECT_TRUE(assistant.Unpack_To_Unlearned("Mira").contains("no such table"));
    EXPECT_EQ(assistant.NumberAdded(), 1);
}

TEST_F(DragDropTest, AListDropAppendsTheSpellsTheLibraryStillHolds)
{
    library.db().exec("UPDATE Spells SET Book = 'PHB', Page = '9', Frequency = 'Rare' WHERE Name = 'Third'");
    ListRows list{ListRow{"Already There", {"1"}}};
    assistant.Pack_Data(rows({"Third", "Vanished", "Third"}), "Mira");
    EXPECT_EQ(assistant.Unpack_To_List_View(list), QString());
    const ListRow third{"Third", {"3", "Rare", "PHB", "9"}};
    EXPECT_EQ(list, (ListRows{ListRow{"Already There", {"1"}}, third, third}));
    EXPECT_FALSE(assistant.Validate_Drop());
    EXPECT_EQ(library.count("SELECT count(*) FROM Spellbook"), 1);
}
