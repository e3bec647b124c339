#include "TableText.h"
#include "TestLibrary.h"

#include "store/VM_Library.h"

namespace {

ListRow scrollLine(const QString &spell, const QString &level = QStringLiteral("1"))
{
    return ListRow{spell, {level, QStringLiteral("Rare"), QStringLiteral("PHB"), QStringLiteral("7")}};
}

const QString kMira = QStringLiteral("Mira \"Quill\"");
const QString kBryn = QStringLiteral("Bryn");

} // namespace

TEST_F(LibraryTest, ScrollsAreListedReadAndCheckedByCasterAndName)
{
    VM_Library lib;
    EXPECT_TRUE(lib.Fetch_Scrolls_List());
    EXPECT_FALSE(lib.Fetch_Scrolls_Array());

    EXPECT_EQ(lib.SaveScroll(QStringLiteral(" Embers "), QStringLiteral(" ") + kMira + QStringLiteral(" "),
                             {scrollLine(QStringLiteral(" Zed ")),
                              scrollLine(QStringLiteral("Alpha"), QStringLiteral(" 2 ")),
                              scrollLine(QStringLiteral("Zed"))}),
              QString());
    EXPECT_EQ(lib.SaveScroll(QStringLiteral("Embers"), kBryn, {scrollLine(QStringLiteral("Mid"))}),
              QString());
    EXPECT_EQ(lib.SaveScroll(QStringLiteral("ashes"), kMira, {scrollLine(QStringLiteral("Mid"))}), QString());
    EXPECT_EQ(lib.SaveScroll(QStringLiteral("Nothing"), kMira, {}), QString());

    EXPECT_TRUE(lib.Fetch_Scrolls_List());
    EXPECT_EQ(tableText(lib.Fetch_Scrolls_Array()),
              (QStringList{QStringLiteral("Bryn|Embers"), kMira + QStringLiteral("|ashes"),
                           kMira + QStringLiteral("|Embers"), kMira + QStringLiteral("|Embers"),
                           kMira + QStringLiteral("|Embers")}));

    lib.Fetch_Scroll_Details(QStringLiteral("Embers"), kMira);
    EXPECT_EQ(tableText(lib.Fetch_Scrolls_Array()),
              (QStringList{QStringLiteral("Zed|1|Rare|PHB|7"), QStringLiteral("Alpha|2|Rare|PHB|7"),
                           QStringLiteral("Zed|1|Rare|PHB|7")}));
    lib.Fetch_Scroll_Details(QStringLiteral("Embers"), QStringLiteral("Nobody"));
    EXPECT_EQ(tableText(lib.Fetch_Scrolls_Array()), QStringList{QString()});

    EXPECT_EQ(lib.DoesScrollExist(QStringLiteral("Embers"), kMira),
              QStringLiteral("Embers already exists for Caster ") + kMira +
                  QStringLiteral(".  Please choose another name"));
    EXPECT_EQ(lib.DoesScrollExist(QStringLiteral("ashes"), kBryn), QString());
    EXPECT_EQ(lib.DoesScrollExist(QStringLiteral("Ashes"), kMira), QString());
}

TEST_F(LibraryTest, ReplacingAndDeletingScrollsTouchesOnlyTheNamedScroll)
{
    VM_Library lib;
    lib.SaveScroll(QStringLiteral("Embers"), kMira,
                   {scrollLine(QStringLiteral("A")), scrollLine(QStringLiteral("B"))});
    lib.SaveScroll(QStringLiteral("Embers"), kBryn, {scrollLine(QStringLiteral("C"))});
    lib.SaveScroll(QStringLiteral("Frost"), kBryn, {scrollLine(QStringLiteral("D"))});

    EXPECT_EQ(lib.UpdateScroll(kMira, QStringLiteral("Embers"),
                               {scrollLine(QStringLiteral("B")), scrollLine(QStringLiteral("E")),
                                scrollLine(QStringLiteral("A"))}),
              QString());
    lib.Fetch_Scroll_Details(QStringLiteral("Embers"), kMira);
    EXPECT_EQ(tableText(lib.Fetch_Scrolls_Array()),
              (QStringList{QStringLiteral("B|1|Rare|PHB|7"), QStringLiteral("E|1|Rare|PHB|7"),
                           QStringLiteral("A|1|Rare|PHB|7")}));

    // A replacement that fails leaves the scroll as it was.
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Scrolls WHEN NEW.Spell = 'Boom' "
                      "BEGIN SELECT RAISE(ABORT, 'disk is full'); END;");
    EXPECT_EQ(lib.UpdateScroll(kMira, QStringLiteral("Embers"),
                               {scrollLine(QStringLiteral("F")), scrollLine(QStringLiteral("Boom"))}),
              QStringLiteral("disk is full"));
    lib.Fetch_Scroll_Details(QStringLiteral("Embers"), kMira);
    EXPECT_EQ(lib.Fetch_Scrolls_Array()->rows(), 3);

    EXPECT_EQ(lib.DeleteScroll(QStringLiteral("Scroll"), kMira, QStringLiteral("Embers")), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Caster, ScrollName, Spell FROM Scrolls ORDER BY rowid")),
              (QStringList{QStringLiteral("Bryn|Embers|C"), QStringLiteral("Bryn|Frost|D")}));
    EXPECT_EQ(lib.DeleteScroll(QStringLiteral("Everything"), kBryn, QStringLiteral("Frost")), QString());
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM Scrolls")), 2);
    lib.SaveScroll(QStringLiteral("Kept"), kMira, {scrollLine(QStringLiteral("G"))});
    EXPECT_EQ(lib.DeleteScroll(QStringLiteral("Caster"), QStringLiteral(" Bryn "), QString()), QString());
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Caster, ScrollName, Spell FROM Scrolls")),
              QStringList{kMira + QStringLiteral("|Kept|G")});
}

TEST_F(LibraryTest, TheScrollHoldGetsACopyOfTheScrollsToPrint)
{
    VM_Library lib;
    lib.SaveScroll(QStringLiteral("Embers"), kMira,
                   {scrollLine(QStringLiteral("A")), scrollLine(QStringLiteral("B"))});
    lib.SaveScroll(QStringLiteral("Embers"), kBryn, {scrollLine(QStringLiteral("C"))});
    lib.SaveScroll(QStringLiteral("Frost"), kBryn, {scrollLine(QStringLiteral("D"))});
    library.db().exec("UPDATE Scrolls SET Lvl = ' 3 ' WHERE Spell = 'D'");

    const auto hold = [&] { return library.rows(QStringLiteral("SELECT * FROM ScrollHold ORDER BY rowid")); };
    EXPECT_EQ(lib.FillScrollDetails(QStringLiteral("Scroll"), QStringLiteral("Embers")), QString());
    EXPECT_EQ(hold(), (QStringList{QStringLiteral("Embers|") + kMira + QStringLiteral("|A|1|PHB|7"),
                                   QStringLiteral("Embers|") + kMira + QStringLiteral("|B|1|PHB|7"),
                                   QStringLiteral("Embers|Bryn|C|1|PHB|7")}));
    EXPECT_EQ(lib.FillScrollDetails(QStringLiteral("Caster"), kBryn), QString());
    EXPECT_EQ(hold(),
              (QStringList{QStringLiteral("Embers|Bryn|C|1|PHB|7"), QStringLiteral("Frost|Bryn|D|3|PHB|7")}));
    EXPECT_EQ(lib.FillScrollDetails(QStringLiteral("Other"), kBryn), QString());
    EXPECT_EQ(hold(), QStringList());

    // The generated scroll is handed out and emptied by its accessor pair.
    lib.Fetch_LibScrolls_Array(Table(5, {QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("b"),
                                         QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_EQ(tableText(lib.Fetch_LibScrolls_Array()), QStringList{QStringLiteral("a|1|b|c|d")});
    lib.Fetch_LibScrolls_Array(std::nullopt);
    EXPECT_FALSE(lib.Fetch_LibScrolls_Array());
}
