#include "maintain/SpellNameIndex.h"

#include <gtest/gtest.h>

// The library lists names in ASCII-caseless order, which for letters beyond ASCII is not the
// order of their folded forms: the first match in the list must still be found.
TEST(SpellNameIndex, FindsTheFirstNameInListOrderThatStartsWithTheText)
{
    const QStringList lists[] = {
        {"amber Lantern", "Bramble Gate", "Cinder Veil", "cinder Veil", "Ember Call"},
        {"Zebra Ward", QString::fromUtf8("Ébène"), QString::fromUtf8("Éclair Bolt"),
         QString::fromUtf8("éa Ward")},
    };
    const struct
    {
        int list;
        const char *text;
        int found;
    } cases[] = {
        {0, "", 0},   {0, "a", 0},  {0, "CINDER", 2},       {0, "cinder v", 2},
        {0, "e", 4},  {0, "x", -1}, {0, "Ember Calls", -1}, {1, "z", 0},
        {1, "É", 1},  {1, "éB", 1}, {1, "ÉA", 3},           {1, "éc", 2},
        {1, "ê", -1},
    };
    for (const auto &test : cases) {
        SpellNameIndex index;
        index.reset(lists[test.list]);
        EXPECT_EQ(index.firstStartingWith(QString::fromUtf8(test.text)), test.found) << test.text;
    }
}

TEST(SpellNameIndex, FindsAWholeNameWithItsLetterCase)
{
    SpellNameIndex index;
    index.reset({"Cinder Veil", "cinder Veil", QString::fromUtf8("Éclair"), "Maud's \"Quiet\" Step"});
    EXPECT_EQ(index.indexOf("cinder Veil"), 1);
    EXPECT_EQ(index.indexOf("Cinder Veil"), 0);
    EXPECT_EQ(index.indexOf("CINDER VEIL"), -1);
    EXPECT_EQ(index.indexOf(QString::fromUtf8("éclair")), -1);
    EXPECT_EQ(index.indexOf("Maud's \"Quiet\" Step"), 3);
    EXPECT_EQ(index.indexOf("Cinder"), -1);
}
