#include "TestLibrary.h"

#include "store/VM_Library.h"
#include "store/VmError.h"

TEST_F(LibraryTest, PrintHoldsKeepOnlyTheLastSelection)
{
    VM_Library lib;
    EXPECT_EQ(lib.Set_Caster_Hold(QStringLiteral(" Mira \"Quill\" "), QStringLiteral(" Level one ")),
              QString());
    EXPECT_EQ(lib.Set_Caster_Hold(QStringLiteral("Bryn"), QString()), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT * FROM CasterHold")), QStringList{QStringLiteral("Bryn|")});

    const auto row = [](const QString &name, const QString &level) {
        return ListRow{name, {level, QStringLiteral("Rare")}};
    };
    lib.Print_Filtered_Spellbook(
        {row(QStringLiteral("Zed"), QStringLiteral("1")), row(QStringLiteral("Alpha"), QStringLiteral("2"))},
        QStringLiteral("Bryn"));
    lib.Print_Filtered_Spellbook(
        {row(QStringLiteral(" Yarrow "), QStringLiteral(" 1 ")), row(QStringLiteral("Birch"), QString())},
        QStringLiteral(" Mira "));
    EXPECT_EQ(library.rows(QStringLiteral("SELECT * FROM SpellbookFiltered ORDER BY rowid")),
              (QStringList{QStringLiteral("Mira|Yarrow|1"), QStringLiteral("Mira|Birch|")}));

    // A failure leaves the hold as the last print made it.
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON SpellbookFiltered WHEN NEW.SpellName = 'Boom' "
                      "BEGIN SELECT RAISE(ABORT, 'disk is full'); END;");
    try {
        lib.Print_Filtered_Spellbook({row(QStringLiteral("Fine"), QStringLiteral("1")),
                                      row(QStringLiteral("Boom"), QStringLiteral("1"))},
                                     QStringLiteral("Mira"));
        FAIL() << "no error raised";
    } catch (const VmError &error) {
        EXPECT_EQ(error.source, QStringLiteral("Print_Filtered_Spellbook"));
        EXPECT_EQ(error.description, QStringLiteral("disk is full"));
    }
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM SpellbookFiltered")), 2);
    library.db().exec("DROP TABLE CasterHold;");
    EXPECT_TRUE(
        lib.Set_Caster_Hold(QStringLiteral("Bryn"), QString()).contains(QStringLiteral("no such table")));
}
