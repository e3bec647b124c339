#include "TestLibrary.h"

namespace {

ListRow scrollLine(const QString &spell, const QString &level = "1")
{
    return ListRow{spell, {level, "Rare", "PHB", "7"}};
}

const QString kMira = "Mira \"Quill\"";
const QString kBryn = "Bryn";

} // namespace

TEST_F(LibraryTest, ScrollsAreListedReadAndCheckedByCasterAndName)
{
    VM_Library lib;
    EXPECT_TRUE(lib.Fetch_Scrolls_List());
    EXPECT_FALSE(lib.Fetch_Scrolls_Array());

    EXPECT_EQ(lib.SaveScroll(" Embers ", " " + kMira + " ",
                             {scrollLine(" Zed "), scrollLine("Alpha", " 2 "), scrollLine("Zed")}),
              QString());
    EXPECT_EQ(lib.SaveScroll("Embers", kBryn, {scrollLine("Mid")}), QString());
    EXPECT_EQ(lib.SaveScroll("ashes", kMira, {scrollLine("Mid")}), QString());
    EXPECT_EQ(lib.SaveScroll("Nothing", kMira, {}), QString());

    EXPECT_TRUE(lib.Fetch_Scrolls_List());
    EXPECT_EQ(tableText(lib.Fetch_Scrolls_Array()),
              (QStringList{"Bryn|Embers", kMira + "|ashes", kMira + "|Embers", kMira + "|Embers",
                           kMira + "|Embers"}));

    lib.Fetch_Scroll_Details("Embers", kMira);
    EXPECT_EQ(tableText(lib.Fetch_Scrolls_Array()),
              (QStringList{"Zed|1|Rare|PHB|7", "Alpha|2|Rare|PHB|7", "Zed|1|Rare|PHB|7"}));
    lib.Fetch_Scroll_Details("Embers", "Nobody");
    EXPECT_EQ(tableText(lib.Fetch_Scrolls_Array()), QStringList{QString()});

    EXPECT_EQ(lib.DoesScrollExist("Embers", kMira),
              "Embers already exists for Caster " + kMira + ".  Please choose another name");
    EXPECT_EQ(lib.DoesScrollExist("ashes", kBryn), QString());
    EXPECT_EQ(lib.DoesScrollExist("Ashes", kMira), QString());

    // Both readers raise a failure, with what went wrong, for the window to show.
    library.db().exec("DROP TABLE Scrolls;");
    EXPECT_TRUE(raised([&] { lib.Fetch_Scrolls_List(); }).contains("Fetch_Scrolls_List: no such table"));
    EXPECT_TRUE(raised([&] { lib.Fetch_Scroll_Details("Embers", kMira); }).contains("no such table"));
}

TEST_F(LibraryTest, PrintingCopiesAndReplacingAndDeletingTouchOnlyTheNamedScroll)
{
    VM_Library lib;
    lib.SaveScroll("Embers", kMira, {scrollLine("A"), scrollLine("B")});
    lib.SaveScroll("Embers", kBryn, {scrollLine("C")});
    lib.SaveScroll("Frost", kBryn, {scrollLine("D")});
    library.db().exec("UPDATE Scrolls SET Lvl = ' 3 ' WHERE Spell = 'D'");

    // The hold a print reads gets a copy of the scrolls asked for.
    const auto hold = [&] { return library.rows("SELECT * FROM ScrollHold ORDER BY rowid"); };
    EXPECT_EQ(lib.FillScrollDetails("Scroll", "Embers"), QString());
    EXPECT_EQ(hold(), (QStringList{"Embers|" + kMira + "|A|1|PHB|7", "Embers|" + kMira + "|B|1|PHB|7",
                                   "Embers|Bryn|C|1|PHB|7"}));
    // Naming the caster takes that caster's scroll alone; a caster is never narrowed further.
    EXPECT_EQ(lib.FillScrollDetails("Scroll", " Embers ", " " + kMira + " "), QString());
    EXPECT_EQ(hold(), (QStringList{"Embers|" + kMira + "|A|1|PHB|7", "Embers|" + kMira + "|B|1|PHB|7"}));
    EXPECT_EQ(lib.FillScrollDetails("Caster", kBryn), QString());
    EXPECT_EQ(hold(), (QStringList{"Embers|Bryn|C|1|PHB|7", "Frost|Bryn|D|3|PHB|7"}));
    EXPECT_EQ(lib.FillScrollDetails("Caster", kBryn, kMira), QString());
    EXPECT_EQ(hold(), (QStringList{"Embers|Bryn|C|1|PHB|7", "Frost|Bryn|D|3|PHB|7"}));
    EXPECT_EQ(lib.FillScrollDetails("Other", kBryn), QString());
    EXPECT_EQ(hold(), QStringList());

    EXPECT_EQ(lib.UpdateScroll(kMira, "Embers", {scrollLine("B"), scrollLine("E"), scrollLine("A")}),
              QString());
    lib.Fetch_Scroll_Details("Embers", kMira);
    EXPECT_EQ(tableText(lib.Fetch_Scrolls_Array()),
              (QStringList{"B|1|Rare|PHB|7", "E|1|Rare|PHB|7", "A|1|Rare|PHB|7"}));

    // A replacement that fails leaves the scroll as it was.
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Scrolls WHEN NEW.Spell = 'Boom' "
                      "BEGIN SELECT RAISE(ABORT, 'disk is full'); END;");
    EXPECT_EQ(lib.UpdateScroll(kMira, "Embers", {scrollLine("F"), scrollLine("Boom")}), "disk is full");
    lib.Fetch_Scroll_Details("Embers", kMira);
    EXPECT_EQ(lib.Fetch_Scrolls_Array()->rows(), 3);

    EXPECT_EQ(lib.DeleteScroll("Scroll", kMira, "Embers"), QString());
    EXPECT_EQ(library.rows("SELECT Caster, ScrollName, Spell FROM Scrolls ORDER BY rowid"),
              (QStringList{"Bryn|Embers|C", "Bryn|Frost|D"}));
    EXPECT_EQ(lib.DeleteScroll("Everything", kBryn, "Frost"), QString());
    EXPECT_EQ(library.count("SELECT count(*) FROM Scrolls"), 2);
    lib.SaveScroll("Kept", kMira, {scrollLine("G")});
    EXPECT_EQ(lib.DeleteScroll("Caster", " Bryn ", QString()), QString());
    EXPECT_EQ(library.rows("SELECT Caster, ScrollName, Spell FROM Scrolls"), QStringList{kMira + "|Kept|G"});
}
