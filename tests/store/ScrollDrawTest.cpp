#include "TableText.h"
#include "TestLibrary.h"

#include "store/VM_Library.h"

#include <QHash>

namespace {

const QStringList kAllLevels = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};

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
    library.addSpell(QStringLiteral("Only \"One\""), QStringLiteral("2"), {QStringLiteral("Fire")},
                     QStringLiteral("Rare"));
    library.addSpell(QStringLiteral("Wrong Level"), QStringLiteral("4"), {QStringLiteral("Fire")});
    library.addSpell(QStringLiteral("Too Rare"), QStringLiteral("1"), {QStringLiteral("Fire")},
                     QStringLiteral("Unique"));
    library.addSpell(QStringLiteral("No Such Frequency"), QStringLiteral("1"), {QStringLiteral("Fire")},
                     QStringLiteral("Odd"));
    library.addSpell(QStringLiteral("Other School"), QStringLiteral("1"), {QStringLiteral("Ice")});
    library.db().exec("UPDATE Spells SET Book = 'DMG', Page = '77' WHERE Name = 'Only \"One\"'");

    // Rare is the third step of the scale.
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {QStringLiteral("Fire")}, 3, 5, 1), QString());
    EXPECT_EQ(tableText(lib.Fetch_LibScrolls_Array()),
              QStringList(5, QStringLiteral("Only \"One\"|2|DMG|77|Rare")));

    // Nothing to draw from leaves the previous scroll in place and says nothing.
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {QStringLiteral("Fire")}, 2, 5, 1), QString());
    EXPECT_EQ(lib.Fetch_LibScrolls_Array()->rows(), 5);
    EXPECT_EQ(lib.CreateScroll({}, {QStringLiteral("Fire")}, 6, 5, 1), QString());
    EXPECT_EQ(lib.Fetch_LibScrolls_Array()->rows(), 5);

    EXPECT_EQ(lib.CreateScroll(kAllLevels, {QStringLiteral("Fire")}, 6, 99), QString());
    EXPECT_EQ(lib.Fetch_LibScrolls_Array()->rows(), 99);
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {QStringLiteral("Fire")}, 6, 100),
              QStringLiteral("A scroll holds at most 99 spells"));
    lib.Fetch_LibScrolls_Array(std::nullopt);
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {QStringLiteral("Fire")}, 6, 0), QString());
    EXPECT_FALSE(lib.Fetch_LibScrolls_Array());
}

TEST_F(ScrollDrawTest, DrawsAreIndependentAndWeightedByChosenSchools)
{
    for (int i = 0; i < 30; ++i)
        library.addSpell(QStringLiteral("Spell %1").arg(i), QStringLiteral("1"), {QStringLiteral("Ice")});
    library.addSpell(QStringLiteral("Twice"), QStringLiteral("1"),
                     {QStringLiteral("Fire"), QStringLiteral("Air")});
    library.addSpell(QStringLiteral("Once"), QStringLiteral("1"),
                     {QStringLiteral("Fire"), QStringLiteral("Earth")});

    // One generation: drawn anew every line, not one value repeated.
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {QStringLiteral("Ice")}, 6, 99, 7), QString());
    const QStringList first = tableText(lib.Fetch_LibScrolls_Array());
    EXPECT_GT(QSet<QString>(first.begin(), first.end()).size(), 20);
    EXPECT_EQ(lib.CreateScroll(kAllLevels, {QStringLiteral("Ice")}, 6, 99, 7), QString());
    EXPECT_EQ(tableText(lib.Fetch_LibScrolls_Array()), first);

    const QHash<QString, int> drawn = tally({QStringLiteral("Fire"), QStringLiteral("Air")}, 100);
    ASSERT_EQ(drawn.size(), 2);
    const double ratio = double(drawn[QStringLiteral("Twice")]) / drawn[QStringLiteral("Once")];
    EXPECT_GT(ratio, 1.8);
    EXPECT_LT(ratio, 2.2);
}

TEST_F(ScrollDrawTest, NamesThatDifferOnlyInCaseOrAccentsKeepTheirOwnSchools)
{
    const QStringList names = {QStringLiteral("apple"),       QStringLiteral("Apple"),
                               QStringLiteral("\u00C9clair"), QStringLiteral("eclair"),
                               QStringLiteral("\u00E9clair"), QStringLiteral("Zed"),
                               QStringLiteral("zed "),        QStringLiteral("Mid")};
    for (int i = 0; i < names.size(); ++i)
        library.addSpell(names[i], QStringLiteral("1"),
                         {i % 2 ? QStringLiteral("Fire") : QStringLiteral("Air")});
    library.addSpell(QStringLiteral("Both"), QStringLiteral("1"),
                     {QStringLiteral("Air"), QStringLiteral("Fire")});

    const QHash<QString, int> drawn = tally({QStringLiteral("Fire")}, 20);
    QStringList keys = drawn.keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{QStringLiteral("Apple"), QStringLiteral("Both"), QStringLiteral("Mid"),
                                 QStringLiteral("Zed"), QStringLiteral("eclair")}));
}
