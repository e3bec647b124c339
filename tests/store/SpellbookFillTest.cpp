#include "TestLibrary.h"

#include "store/SpellbookFill.h"

#include <QSet>

namespace {

// Maelis Thorn can hold 3 first-level spells (and holds one), 2 second-level, 1 fourth-level;
// third level has no limit. Fire and Ice spells of every frequency, a few of both schools.
class SpellbookFillTest : public LibraryTest
{
protected:
    SpellbookFillTest()
    {
        const char *const frequencies[] = {"Common", "UnCommon", "Rare", "Very Rare"};
        for (int level = 1; level <= 4; ++level) {
            for (int i = 0; i < 8; ++i) {
                const QString name =
                    QStringLiteral("L%1 %2 %3").arg(level).arg(i < 4 ? "Fire" : "Ice").arg(i);
                library.addSpell(name, QString::number(level),
                                 i == 0 ? QStringList{"Fire", "Ice"} : QStringList{i < 4 ? "Fire" : "Ice"},
                                 QString::fromLatin1(frequencies[i % 4]));
            }
        }
        library.addSpell("Thorn's Own", "1", {"Fire"});
        library.addCaster("Maelis Thorn");
        library.addToSpellbook("Maelis Thorn", "Thorn's Own", "1");
        Statement update(library.db(), "UPDATE SpellCasters SET First = '3', Second = ' 2 ', Third = '', "
                                       "Fourth = '1', Fifth = 'none' WHERE Spellbook = 'Maelis Thorn'");
        update.run();
    }

    QStringList frequencyOf(const QString &spell)
    {
        return library.rows("SELECT Frequency FROM Spells WHERE Name = ?", {spell});
    }

    SpellbookFill fill;
};

} // namespace

TEST_F(SpellbookFillTest, ADrawKeepsToCapacitySchoolsFrequencyAndTheBook)
{
    // Fire only, up to Rare (step 3 of the scale).
    for (quint32 seed = 1; seed <= 40; ++seed) {
        const ListRows drawn = fill.draw("Maelis Thorn", {"Fire"}, 3, seed);
        QMap<QString, int> perLevel;
        QSet<QString> names;
        for (const ListRow &row : drawn) {
            ++perLevel[row.subItems.at(0)];
            names.insert(row.text);
            EXPECT_TRUE(row.selected);
            EXPECT_NE(row.text, "Thorn's Own");
            // Fire spells are numbered 0-3 (0 is also Ice); number 3 is Very Rare.
            EXPECT_TRUE(row.text.contains("Fire")) << row.text.toStdString();
            EXPECT_FALSE(row.text.endsWith(" 3")) << row.text.toStdString();
            EXPECT_NE(row.subItems.at(1), "Very Rare");
        }
        EXPECT_EQ(names.size(), drawn.size()) << "a spell drawn twice";
        // 3 - 1 held; 2; no limit at 3rd; 1.
        EXPECT_EQ(perLevel, (QMap<QString, int>{{"1", 2}, {"2", 2}, {"4", 1}}));
    }

    // Fewer candidates than room: every candidate once. Common Ice spells: "Ice 4" and the
    // Fire-and-Ice "Fire 0" of each level.
    const ListRows few = fill.draw("Maelis Thorn", {"Ice"}, 1, 7);
    QStringList names;
    for (const ListRow &row : few)
        names.append(row.text + "|" + row.subItems.join("|"));
    ASSERT_EQ(names.size(), 5);
    EXPECT_EQ(names.mid(0, 4), (QStringList{"L1 Fire 0|1|Common|KXR|12", "L1 Ice 4|1|Common|KXR|12",
                                            "L2 Fire 0|2|Common|KXR|12", "L2 Ice 4|2|Common|KXR|12"}));
    EXPECT_TRUE(names[4] == "L4 Fire 0|4|Common|KXR|12" || names[4] == "L4 Ice 4|4|Common|KXR|12")
        << names[4].toStdString();

    // No school, or a book already full, draws nothing; nothing is ever written.
    EXPECT_TRUE(fill.draw("Maelis Thorn", {}, 6, 1).isEmpty());
    EXPECT_TRUE(fill.draw("Nobody", {"Fire"}, 6, 1).isEmpty());
    EXPECT_EQ(library.rows("SELECT SpellName FROM Spellbook"), QStringList{"Thorn's Own"});
}

TEST_F(SpellbookFillTest, TheSameSeedGivesTheSameBookAndOthersVary)
{
    const auto book = [&](quint32 seed) {
        QStringList names;
        for (const ListRow &row : fill.draw("Maelis Thorn", {"Fire", "Ice"}, 6, seed))
            names.append(row.text);
        return names;
    };
    const QStringList first = book(2024);
    EXPECT_EQ(first.size(), 5);
    EXPECT_EQ(book(2024), first);
    QSet<QStringList> seen;
    for (quint32 seed = 1; seed <= 30; ++seed)
        seen.insert(book(seed));
    EXPECT_GT(seen.size(), 10);
}
