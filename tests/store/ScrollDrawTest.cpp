#include "TestLibrary.h"

#include <QHash>

namespace {

const QStringList kAllLevels = {"1", "2", "3"};

class ScrollDrawTest : public LibraryTest
{
protected:
    QHash<QString, int> tally(const QStringList &schools, int generations)
    {
        QHash<QString, int> drawn;
        for (int seed = 1; seed <= generations; ++seed) {
            EXPECT_EQ(lib.CreateScroll(kAllLevels, schools, 6, 99, quint32(seed)), QString());
            const OptionalTable scroll = lib.Fetch_LibScrolls_Array();
            for (int row = 0; row < scroll->rows(); ++row)
                ++drawn[scroll->at(0, row)];
        }
        return drawn;
    }

    VM_Library lib;
};

} // namespace

TEST_F(ScrollDrawTest, EveryLineComesFromTheCandidatesAndTheCountIsAlwaysMet)
{
    library.addSpell("Only \"One\"", "2", {"Fire"}, "Rare");
    library.addSpell("Wrong Level", "4", {"Fire"});
    library.addSpell("Too Rare", "1", {"Fire"}, "Unique");
    library.addSpell("No Such Frequency", "1", {"Fire"}, "Odd");
    library.addSpell("Other School", "1", {"Ice"});
    library.db().exec("UPDATE Spells SET Book = 'DMG', Page = '77' WHERE Name = 'Only \"One\"'");

    // Rare is the third step of the scale.
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {"Fire"}, 3, 5, 1), QString());
    EXPECT_EQ(tableText(lib.Fetch_LibScrolls_Array()), QStringList(5, "Only \"One\"|2|DMG|77|Rare"));

    // Nothing to draw from leaves the previous scroll in place and says nothing.
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {"Fire"}, 2, 5, 1), QString());
    EXPECT_EQ(lib.Fetch_LibScrolls_Array()->rows(), 5);
    EXPECT_EQ(lib.CreateScroll({}, {"Fire"}, 6, 5, 1), QString());
    EXPECT_EQ(lib.Fetch_LibScrolls_Array()->rows(), 5);

    EXPECT_EQ(lib.CreateScroll(kAllLevels, {"Fire"}, 6, 99), QString());
    EXPECT_EQ(lib.Fetch_LibScrolls_Array()->rows(), 99);
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {"Fire"}, 6, 100), "A scroll holds at most 99 spells");
    lib.Fetch_LibScrolls_Array(std::nullopt);
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {"Fire"}, 6, 0), QString());
    EXPECT_FALSE(lib.Fetch_LibScrolls_Array());
}

TEST_F(ScrollDrawTest, DrawsAreIndependentAndWeightedByChosenSchools)
{
    for (int i = 0; i < 30; ++i)
        library.addSpell(QStringLiteral("Spell %1").arg(i), "1", {"Ice"});
    library.addSpell("Twice", "1", {"Fire", "Air"});
    library.addSpell("Once", "1", {"Fire", "Earth"});

    // One generation: drawn anew every line, not one value repeated.
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {"Ice"}, 6, 99, 7), QString());
    const QStringList first = tableText(lib.Fetch_LibScrolls_Array());
    EXPECT_GT(QSet<QString>(first.begin(), first.end()).size(), 20);
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {"Ice"}, 6, 99, 7), QString());
    EXPECT_EQ(tableText(lib.Fetch_LibScrolls_Array()), first);

    const QHash<QString, int> drawn = tally({"Fire", "Air"}, 100);
    ASSERT_EQ(drawn.size(), 2);
    const double ratio = double(drawn["Twice"]) / drawn["Once"];
    EXPECT_GT(ratio, 1.8);
    EXPECT_LT(ratio, 2.2);
}

TEST_F(ScrollDrawTest, NamesThatDifferOnlyInCaseOrAccentsKeepTheirOwnSchools)
{
    const QStringList names = {"apple",       "Apple", "\u00C9clair", "eclair",
                               "\u00E9clair", "Zed",   "zed ",        "Mid"};
    for (int i = 0; i < names.size(); ++i)
        library.addSpell(names[i], "1", {i % 2 ? "Fire" : "Air"});
    library.addSpell("Both", "1", {"Air", "Fire"});

    const QHash<QString, int> drawn = tally({"Fire"}, 20);
    QStringList keys = drawn.keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"Apple", "Both", "Mid", "Zed", "eclair"}));
}
