#include "TestLibrary.h"

#include "exchange/VM_SpellSaver.h"
#include "store/LibraryContent.h"

#include <QMap>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kContent = QStringLiteral(VELLUMAR_SOURCE_DIR "/data/library");

class DeliveredLibrary : public LibraryTest
{
protected:
    void SetUp() override { summary = loadLibraryContent(library.db(), kContent); }
    LibraryContentSummary summary;
};

const QStringList kWizardSchools = {"Abjuration",           "Alteration",        "Conjuration/Summoning",
                                    "Divination",           "Enchantment/Charm", "Illusion/Phantasm",
                                    "Invocation/Evocation", "Necromancy"};

// The description up to the end of its first sentence, ignoring case: two spells that open
// alike read as one spell written twice.
QString openingSentence(const QString &description)
{
    static const QRegularExpression end(QStringLiteral("[.!?](\\s|$)"));
    const QString paragraph = description.section(QStringLiteral("\r\n"), 0, 0);
    const QRegularExpressionMatch match = end.match(paragraph);
    return (match.hasMatch() ? paragraph.left(match.capturedEnd()) : paragraph).trimmed().toCaseFolded();
}

} // namespace

// The loader refuses anything that breaks the library's vocabularies, unknown schools, duplicate
// names and values a spell file cannot carry; loading at all proves those rules hold.
TEST_F(DeliveredLibrary, IsARealCollectionOnEveryLevel)
{
    EXPECT_GE(summary.spells, 300);
    EXPECT_GE(summary.schools, 20);

    QMap<QString, int> perLevel;
    for (const QString &row : library.rows("SELECT Lvl, count(*) FROM Spells GROUP BY Lvl")) {
        const QStringList parts = row.split(QLatin1Char('|'));
        perLevel.insert(parts[0], parts[1].toInt());
    }
    ASSERT_EQ(perLevel.keys(), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    for (auto it = perLevel.cbegin(); it != perLevel.cend(); ++it)
        EXPECT_GE(it.value(), 20) << "level " << it.key().toStdString();
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

    // Every school has enough spells to fill a random scroll, and the priests' spheres are no
    // thinner than the wizards' schools.
    int smallestSchool = summary.spells;
    int smallestSphere = summary.spells;
    for (const QString &row :
         library.rows("SELECT n.Sphere_Name, count(s.Name) FROM [Sphere Names] n LEFT JOIN SpellandSphere s "
                      "ON s.Sphere = n.Sphere_Name GROUP BY n.Sphere_Name")) {
        const QStringList f = row.split(QLatin1Char('|'));
        const int spells = f[1].toInt();
        EXPECT_GE(spells, 8) << f[0].toStdString();
        int &smallest = kWizardSchools.contains(f[0]) ? smallestSchool : smallestSphere;
        smallest = std::min(smallest, spells);
    }
    EXPECT_GE(smallestSphere, smallestSchool);
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
    for (const QString &classic : kWizardSchools)
        EXPECT_TRUE(schools.contains(classic)) << classic.toStdString();
    // No two spells open with the same sentence.
    QMap<QString, QString> openings;
    for (const QString &row : library.rows("SELECT Name, Description FROM Spells")) {
        const QString name = row.section(QLatin1Char('|'), 0, 0);
        const QString opening = openingSentence(row.section(QLatin1Char('|'), 1));
        EXPECT_FALSE(openings.contains(opening))
            << name.toStdString() << " opens as " << openings.value(opening).toStdString() << " does";
        openings.insert(opening, name);
    }

    // Every school has spells, so each filter of the reserved spellbook finds something.
    EXPECT_EQ(library.count(QStringLiteral("SELECT count(*) FROM [Sphere Names] WHERE Sphere_Name NOT IN "
                                           "(SELECT Sphere FROM SpellandSphere)")),
              0);
}

// A user who exports the delivered library and imports the file again gets every spell back as
// it was, its schools in the same order.
TEST_F(DeliveredLibrary, EverySpellRoundTripsThroughASpellsFile)
{
    const QString spells = QStringLiteral(
        "SELECT Name, Lvl, Frequency, Book, Page, Components, Range, Duration, [Area of Effect], "
        "[Casting Time Type], [Casting Time], [Saving Throw], Author, Description FROM Spells ORDER BY Name");
    const QString schools = QStringLiteral("SELECT Name, Sphere FROM SpellandSphere ORDER BY Name, rowid");
    const QStringList spellsBefore = library.rows(spells);
    const QStringList schoolsBefore = library.rows(schools);

    ListRows all;
    for (const QString &name : library.rows("SELECT Name FROM Spells"))
        all.append(ListRow{name, {}, true, false});
    VM_SpellSaver saver;
    const QString path = QDir(library.folder()).filePath(QStringLiteral("everything.spel"));
    saver.Save2(QStringLiteral("everything.spel"), path, all);
    library.db().exec("DELETE FROM SpellandSphere; DELETE FROM Spells;");

    ListRows read;
    saver.OpenSpellFile2(read, path);
    ASSERT_EQ(read.size(), all.size());
    saver.ImportSpells(read);
    EXPECT_EQ(library.rows(spells), spellsBefore);
    EXPECT_EQ(library.rows(schools), schoolsBefore);
}

TEST_F(DeliveredLibrary, SampleCastersHoldSpellsTheyCanCast)
{
    EXPECT_EQ(summary.casters, 3);
    EXPECT_EQ(library.count("SELECT count(DISTINCT Caster) FROM Spellbook"), 3);
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

// A first start shows something in every window: a priest has failed spells, a memorized day
// and a scroll, each consistent with the library and the spellbook.
TEST_F(DeliveredLibrary, APriestShowsFailedSpellsAMemorizedDayAndAScroll)
{
    const QString priest = library.rows("SELECT DISTINCT Caster FROM FailedSpells").value(0);
    ASSERT_FALSE(priest.isEmpty());
    EXPECT_EQ(library.rows("SELECT Class FROM SpellCasters WHERE Spellbook = ?", {priest}),
              QStringList{"Priest"});
    for (const char *table : {"Memorized", "Scrolls"})
        EXPECT_GT(
            library
                .rows(QStringLiteral("SELECT count(*) FROM %1 WHERE Caster = ?").arg(QLatin1String(table)),
                      {priest})
                .value(0)
                .toInt(),
            0)
            << table;

    // A failed spell is not also learned; a memorized one is; every line names a library spell
    // at its level, and a scroll line carries its spell's book, page and frequency.
    EXPECT_EQ(
        library.rows("SELECT f.SpellName FROM FailedSpells f JOIN Spellbook b ON b.Caster = f.Caster AND "
                     "b.SpellName = f.SpellName"),
        QStringList());
    EXPECT_EQ(library.rows("SELECT m.SpellName FROM Memorized m LEFT JOIN Spellbook b ON b.Caster = m.Caster "
                           "AND b.SpellName = m.SpellName WHERE b.SpellLevel IS NOT m.SpellLevel"),
              QStringList());
    EXPECT_EQ(
        library.rows("SELECT f.SpellName FROM FailedSpells f LEFT JOIN Spells s ON s.Name = f.SpellName "
                     "WHERE s.Lvl IS NOT f.SpellLevel"),
        QStringList());
    EXPECT_EQ(library.rows("SELECT c.Spell FROM Scrolls c LEFT JOIN Spells s ON s.Name = c.Spell WHERE "
                           "s.Lvl IS NOT c.Lvl OR s.Book IS NOT c.Book OR s.Page IS NOT c.Page OR "
                           "s.Frequency IS NOT c.Frequency"),
              QStringList());
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
