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
        library.addSpell(QStringLiteral("Held"), QStringLiteral("1"), {});
        library.addSpell(QStringLiteral("New \"One\""), QStringLiteral("2"), {});
        library.addSpell(QStringLiteral("Third"), QStringLiteral("3"), {});
        library.addToSpellbook(QStringLiteral("Mira"), QStringLiteral("Held"), QStringLiteral("1"));
    }

    QStringList spellbook(const QString &table, const QString &caster)
    {
        Statement select(library.db(),
                         QStringLiteral("SELECT SpellName, ifnull(SpellLevel, '') FROM %1 WHERE Caster = ? "
                                        "ORDER BY rowid")
                             .arg(table));
        select.bind(1, caster);
        QStringList names;
        while (select.step())
            names.append(select.text(0) + QLatin1Char('|') + select.text(1));
        return names;
    }

    VM_DragDropAssistant assistant;
};

} // namespace

TEST_F(DragDropTest, ADropAddsOnlyTheSpellsTheSpellbookLacksAndEndsTheDrag)
{
    EXPECT_FALSE(assistant.Validate_Drop());
    EXPECT_EQ(assistant.Pack_Data(rows({QStringLiteral("Held"), QStringLiteral("New \"One\""),
                                        QStringLiteral("Third"), QStringLiteral("Third")},
                                       {QStringLiteral("Unselected")}),
                                  QStringLiteral(" Bryn ")),
              QString());
    EXPECT_TRUE(assistant.Validate_Drop());
    EXPECT_EQ(assistant.Drag_Source(), QStringLiteral("Bryn"));

    EXPECT_EQ(assistant.Unpack_To_Button(QStringLiteral(" Mira ")), QString());
    EXPECT_EQ(assistant.NumberAdded(), 2);
    EXPECT_EQ(
        spellbook(QStringLiteral("Spellbook"), QStringLiteral("Mira")),
        (QStringList{QStringLiteral("Held|1"), QStringLiteral("New \"One\"|"), QStringLiteral("Third|")}));

    // A second drop of the same drag finds nothing to add.
    EXPECT_FALSE(assistant.Validate_Drop());
    EXPECT_EQ(assistant.Unpack_To_Button(QStringLiteral("Mira")), QString());
    EXPECT_EQ(assistant.NumberAdded(), 2);
    assistant.Reset_Drag();
    EXPECT_EQ(assistant.NumberAdded(), 0);

    assistant.Pack_Data(rows({QStringLiteral("Held")}), QStringLiteral("Search"));
    EXPECT_EQ(assistant.Unpack_To_Button(QStringLiteral("KXR")),
              QStringLiteral("KXR is the whole library: spells cannot be added to it"));
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM Spellbook WHERE Caster = 'KXR'")), 0);

    // An empty selection packs an empty drag.
    assistant.Pack_Data(rows({}, {QStringLiteral("Held")}), QStringLiteral("Mira"));
    EXPECT_TRUE(assistant.Validate_Drop());
    EXPECT_EQ(assistant.Unpack_To_Button(QStringLiteral("Bryn")), QString());
    EXPECT_EQ(assistant.NumberAdded(), 0);
}

TEST_F(DragDropTest, FailedSpellsTakeTheirLevelAndSkipSpellsNoLongerInTheLibrary)
{
    library.addFailed(QStringLiteral("Mira"), QStringLiteral("Third"), QStringLiteral("3"));
    assistant.Pack_Data(rows({QStringLiteral("Held"), QStringLiteral("Vanished"), QStringLiteral("Third"),
                              QStringLiteral("New \"One\"")}),
                        QStringLiteral("Bryn"));
    EXPECT_EQ(assistant.Unpack_To_Unlearned(QStringLiteral("Mira ")),
              QStringLiteral("These spells are no longer in the library and were not added: Vanished"));
    EXPECT_EQ(assistant.NumberAdded(), 2);
    EXPECT_EQ(
        spellbook(QStringLiteral("FailedSpells"), QStringLiteral("Mira")),
        (QStringList{QStringLiteral("Third|3"), QStringLiteral("Held|1"), QStringLiteral("New \"One\"|2")}));

    library.db().exec("DROP TABLE FailedSpells;");
    assistant.Pack_Data(rows({QStringLiteral("Held")}), QStringLiteral("Bryn"));
    EXPECT_TRUE(
        assistant.Unpack_To_Unlearned(QStringLiteral("Mira")).contains(QStringLiteral("no such table")));
    EXPECT_EQ(assistant.NumberAdded(), 2);
}

TEST_F(DragDropTest, AListDropAppendsTheSpellsTheLibraryStillHolds)
{
    library.db().exec("UPDATE Spells SET Book = 'PHB', Page = '9', Frequency = 'Rare' WHERE Name = 'Third'");
    ListRows list{ListRow{QStringLiteral("Already There"), {QStringLiteral("1")}}};
    assistant.Pack_Data(rows({QStringLiteral("Third"), QStringLiteral("Vanished"), QStringLiteral("Third")}),
                        QStringLiteral("Mira"));
    EXPECT_EQ(assistant.Unpack_To_List_View(list), QString());
    const ListRow third{
        QStringLiteral("Third"),
        {QStringLiteral("3"), QStringLiteral("Rare"), QStringLiteral("PHB"), QStringLiteral("9")}};
    EXPECT_EQ(list,
              (ListRows{ListRow{QStringLiteral("Already There"), {QStringLiteral("1")}}, third, third}));
    EXPECT_FALSE(assistant.Validate_Drop());
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM Spellbook")), 1);
}
