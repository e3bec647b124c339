#include "TestLibrary.h"

#include "store/LibraryContent.h"
#include "store/VM_Library.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>

namespace {

const QString kContent = QStringLiteral(VELLUMAR_SOURCE_DIR "/data/library");

class DeliveredLibrary : public LibraryTest
{
protected:
    void SetUp() override { summary = loadLibraryContent(library.db(), kContent); }
    LibraryContentSummary summary;
};

} // namespace

// The loader refuses anything that breaks the library's vocabularies, unknown schools, duplicate
// names and values a spell file cannot carry; loading at all proves those rules hold.
TEST_F(DeliveredLibrary, IsARealCollectionOnEveryLevel)
{
    EXPECT_GE(summary.spells, 150);
    EXPECT_GE(summary.schools, 20);

    QMap<QString, int> perLevel;
    for (const QString &row : library.rows("SELECT Lvl, count(*) FROM Spells GROUP BY Lvl")) {
        const QStringList parts = row.split(QLatin1Char('|'));
        perLevel.insert(parts[0], parts[1].toInt());
    }
    ASSERT_EQ(perLevel.keys(), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    for (auto it = perLevel.cbegin(); it != perLevel.cend(); ++it)
        EXPECT_GE(it.value(), 10) << "level " << it.key().toStdString();
    const int low = perLevel["1"] + perLevel["2"] + perLevel["3"] + perLevel["4"] + perLevel["5"];
    EXPECT_GT(low * 3, summary.spells * 2) << "most spells belong at levels 1 to 5";

    // Common spells dominate the low levels; the rarest frequencies live high up.
    EXPECT_GT(library.count(QStringLiteral(
                  "SELECT count(*) FROM Spells WHERE Lvl IN ('1','2') AND Frequency = 'Common'")) *
                  2,
              library.count("SELECT count(*) FROM Spells WHERE Lvl IN ('1','2')"));
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM Spells WHERE Lvl IN ('1','2','3') AND "
                                           "Frequency IN ('Unique','Restricted')")),
              0);
    EXPECT_GT(library.count(QStringLiteral("SELECT count(*) FROM Spells WHERE Lvl IN ('7','8','9') AND "
                                           "Frequency IN ('Very Rare','Unique','Restricted')")),
              0);
}

TEST_F(DeliveredLibrary, EverySpellReadsAsAFinishedGameText)
{
    const QRegularExpression page("^[1-9][0-9]*$");
    const QStringList spells = library.rows(QStringLiteral(
        "SELECT Name, Book, Page, Author, Range, Duration, [Area of Effect], [Saving Throw], [Casting Time], "
        "[Casting Time Type], Description FROM Spells"));
    for (const QString &row : spells) {
        const QStringList f = row.split(QLatin1Char('|'));
        ASSERT_EQ(f.size(), 11) << row.toStdString();
        const std::string name = f[0].toStdString();
        EXPECT_EQ(f[1], "KXR") << name;
        EXPECT_TRUE(page.match(f[2]).hasMatch()) << name;
        EXPECT_TRUE(f[3].isEmpty()) << name << ": delivered spells have no author";
        for (int i = 4; i <= 7; ++i)
            EXPECT_FALSE(f[i].isEmpty()) << name << ": field " << i;
        EXPECT_EQ(f[8].isEmpty(), f[9] == "Special") << name << ": casting time amount and unit";
        const QStringList paragraphs = f[10].split("\r\n\r\n");
        EXPECT_GE(paragraphs.size(), 1) << name;
        EXPECT_LE(paragraphs.size(), 4) << name;
        for (const QString &paragraph : paragraphs)
            EXPECT_GT(paragraph.size(), 40) << name << ": a paragraph a game master can rule from";
    }

    // Every school is described, and the classic eight are there.
    EXPECT_EQ(library.count("SELECT count(*) FROM [Sphere Names] WHERE length(trim(Description)) < 40"), 0);
    EXPECT_EQ(library.count("SELECT count(*) FROM [Sphere Names] WHERE Auto >= 50"), 0);
    VM_Library lib;
    const QStringList schools = lib.Fetch_Schools_List();
    for (const char *classic :
         {"Abjuration", "Alteration", "Conjuration/Summoning", "Divination", "Enchantment/Charm",
          "Illusion/Phantasm", "Invocation/Evocation", "Necromancy"})
        EXPECT_TRUE(schools.contains(QLatin1String(classic))) << classic;
    // Every school has spells, so each filter of the reserved spellbook finds something.
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM [Sphere Names] WHERE Sphere_Name NOT IN "
                                           "(SELECT Sphere FROM SpellandSphere)")),
              0);
}

TEST_F(DeliveredLibrary, SampleCastersHoldSpellsTheyCanCast)
{
    EXPECT_EQ(summary.casters, 2);
    EXPECT_EQ(library.count("SELECT count(DISTINCT Caster) FROM Spellbook"), 2);
    // Every spellbook row names a spell of the library, filed under that spell's level.
    EXPECT_EQ(library.rows("SELECT b.Caster, b.SpellName FROM Spellbook b LEFT JOIN Spells s ON s.Name = "
                           "b.SpellName WHERE s.Lvl IS NOT b.SpellLevel"),
              QStringList());
    // No caster holds more spells of a level than that level's capacity, which must be a number.
    const QStringList perLevel = library.rows(
        "SELECT b.Caster, b.SpellLevel, count(*), max(CASE b.SpellLevel WHEN '1' THEN c.First WHEN '2' THEN "
        "c.Second WHEN '3' THEN c.Third WHEN '4' THEN c.Fourth WHEN '5' THEN c.Fifth WHEN '6' THEN c.Sixth "
        "WHEN '7' THEN c.Seventh WHEN '8' THEN c.Eighth WHEN '9' THEN c.Ninth END) FROM Spellbook b "
        "LEFT JOIN SpellCasters c ON c.Spellbook = b.Caster GROUP BY b.Caster, b.SpellLevel");
    ASSERT_FALSE(perLevel.isEmpty());
    for (const QString &row : perLevel) {
        const QStringList f = row.split(QLatin1Char('|'));
        ASSERT_EQ(f.size(), 4) << row.toStdString();
        bool isNumber = false;
        const int capacity = f[3].toInt(&isNumber);
        EXPECT_TRUE(isNumber) << row.toStdString() << ": the capacity of a level with spells";
        EXPECT_LE(f[2].toInt(), capacity) << row.toStdString() << ": more spells than the level holds";
    }
}

TEST(DeliveredFiles, ReadMeIsWindowsTextThatOlderViewersShow)
{
    QFile file(QStringLiteral(VELLUMAR_SOURCE_DIR "/data/Read Me.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_GT(text.size(), 2000);
    EXPECT_EQ(text.count('\n'), text.count("\r\n")) << "every line ends in CR LF";
    for (const char c : text)
        EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80 || static_cast<unsigned char>(c) >= 0xA0)
            << "a character outside plain text";
    EXPECT_TRUE(text.contains("KXR"));
}
