#include "TestLibrary.h"

TEST_F(LibraryTest, PrintHoldsKeepOnlyTheLastSelection)
{
    VM_Library lib;
    EXPECT_EQ(lib.Set_Caster_Hold(" Mira \"Quill\" ", " Level one "), QString());
    EXPECT_EQ(lib.Set_Caster_Hold("Bryn", QString()), QString());
    EXPECT_EQ(library.rows("SELECT * FROM CasterHold"), QStringList{"Bryn|"});

    const auto row = [](const QString &name, const QString &level) { return ListRow{name, {level, "Rare"}}; };
    lib.Print_Filtered_Spellbook({row("Zed", "1"), row("Alpha", "2")}, "Bryn");
    lib.Print_Filtered_Spellbook({row(" Yarrow ", " 1 "), row("Birch", QString())}, " Mira ");
    EXPECT_EQ(library.rows("SELECT * FROM SpellbookFiltered ORDER BY rowid"),
              (QStringList{"Mira|Yarrow|1", "Mira|Birch|"}));

    // A failure leaves the hold as the last print made it.
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON SpellbookFiltered WHEN NEW.SpellName = 'Boom' "
                      "BEGIN SELECT RAISE(ABORT, 'disk is full'); END;");
    EXPECT_EQ(raised([&] {
                  lib.Print_Filtered_Spellbook({row("Fine", "1"), row("Boom", "1")}, "Mira");
              }),
              "-1 Print_Filtered_Spellbook: disk is full");
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellbookFiltered"), 2);
    library.db().exec("DROP TABLE CasterHold;");
    EXPECT_TRUE(lib.Set_Caster_Hold("Bryn", QString()).contains("no such table"));
}
