#include "TestLibrary.h"

#include "store/LibraryContent.h"
#include "store/VmError.h"

#include <functional>

namespace {

const QByteArray kSchools =
    R"([{"name": "Abjuration", "description": "Wards."}, {"name": "Sun", "description": "Light."}])";

QByteArray spell(const QByteArray &name, const QByteArray &overrides = {})
{
    return R"json({"name": ")json" + name +
           R"json(", "level": "1", "frequency": "Common", "book": "KXR", "page": "10",
      "components": "V,S", "range": "Touch", "duration": "1 round", "areaOfEffect": "One creature",
      "castingTime": "1", "castingTimeType": "Segment(s)", "savingThrow": "None", "author": "",
      "schools": ["Sun", "Abjuration"], "description": "One.\n\nTwo.")json" +
           overrides + "}";
}

} // namespace

TEST_F(LibraryTest, ContentLoadsWithWindowsLineBreaksAndRefusesBrokenFilesWhole)
{
    QTemporaryDir content;
    QDir(content.path()).mkpath("spells");
    writeFile(content.path(), "schools.json", kSchools);
    writeFile(content.path(), "spells/level-1.json", "[" + spell("Dawn's Ward") + "]");

    LibraryContentSummary summary = loadLibraryContent(library.db(), content.path());
    EXPECT_EQ(summary.spells, 1);
    EXPECT_EQ(library.rows("SELECT Name, Description FROM Spells"),
              QStringList{"Dawn's Ward|One.\r\n\r\nTwo."});
    EXPECT_EQ(library.rows("SELECT Sphere FROM SpellandSphere ORDER BY rowid"),
              (QStringList{"Sun", "Abjuration"}));
    EXPECT_EQ(library.rows("SELECT Auto FROM [Sphere Names] ORDER BY Auto"), (QStringList{"1", "2"}));

    const struct
    {
        QByteArray spells;
        const char *expected;
    } broken[] = {
        {"[" + spell("A") + "," + spell("a") + "]", "used twice"},
        {"[" + spell("B", R"(, "schools": ["Moon"])") + "]", "unknown school \"Moon\""},
        {"[" + spell("C", R"(, "frequency": "Uncommon")") + "]", "unknown frequency"},
        {"[" + spell("D", R"(, "level": "2")") + "]", "level \"2\""},
        {"[" + spell("E", R"(, "range": "10 || 20 feet")") + "]", "\"||\""},
        {"[" + spell("F", R"(, "components": "V,M,S")") + "]", "unknown components"},
        {"[" + spell("G", R"(, "schools": [])") + "]", "at least one school"},
        {"[" + spell("H") + ",", "offset"},
    };
    // Sample casters: their spells go into their spellbooks with the spells' levels, and their
    // failed spells, memorized slots and scroll lines are filed as the program files them.
    writeFile(content.path(), "spells/level-1.json",
              "[" + spell("Dawn's Ward") + "," + spell("Ember Sign") + "]");
    writeFile(content.path(), "casters.json",
              R"([{"name": "Maelis", "level": "5", "race": "Elf", "class": "Mage",
               "capacity": ["4", "", "", "", "", "", "", "", ""], "spells": ["Dawn's Ward"],
               "failed": ["Ember Sign"], "memorized": ["Dawn's Ward", "Dawn's Ward"],
               "scrolls": [{"name": "Dawn Scroll", "spells": ["Ember Sign", "Dawn's Ward"]}]}])");
    TestLibrary withCasters;
    EXPECT_EQ(loadLibraryContent(withCasters.db(), content.path()).casters, 1);
    EXPECT_EQ(withCasters.rows("SELECT Caster, SpellName, SpellLevel FROM Spellbook"),
              QStringList{"Maelis|Dawn's Ward|1"});
    EXPECT_EQ(withCasters.rows("SELECT Caster, SpellName, SpellLevel FROM FailedSpells"),
              QStringList{"Maelis|Ember Sign|1"});
    EXPECT_EQ(
        withCasters.rows("SELECT Caster, SpellName, SpellLevel, SlotOrder, IsCast FROM Memorized ORDER BY "
                         "SlotOrder"),
        (QStringList{"Maelis|Dawn's Ward|1|1|0", "Maelis|Dawn's Ward|1|2|0"}));
    EXPECT_EQ(
        withCasters.rows("SELECT ScrollName, Caster, Spell, Lvl, Frequency, Book, Page FROM Scrolls ORDER BY "
                         "rowid"),
        (QStringList{"Dawn Scroll|Maelis|Ember Sign|1|Common|KXR|10",
                     "Dawn Scroll|Maelis|Dawn's Ward|1|Common|KXR|10"}));
    // A reserved name, a capacity written as a number, a spell listed twice, lists that contradict
    // the spellbook or its capacity, or a scroll naming no or unknown spells refuses the whole library.
    const auto caster = [](const QByteArray &lists) {
        return R"([{"name": "Maelis", "level": "5", "race": "", "class": "",
                    "capacity": ["2", "", "", "", "", "", "", "", ""], "spells": ["Dawn's Ward"], )" +
               lists + "}]";
    };
    const std::pair<QByteArray, const char *> refusedCasters[] = {
        {caster(R"("memorized": ["Ember Sign"])"), "\"Ember Sign\" is memorized but not in the spellbook"},
        {caster(R"("memorized": ["Dawn's Ward", "Dawn's Ward", "Dawn's Ward"])"),
         "more spells of level 1 are memorized than the caster has slots"},
        {caster(R"("failed": ["Dawn's Ward"])"), "\"Dawn's Ward\" is both in the spellbook and failed"},
        {caster(R"("scrolls": [{"name": "Dusk", "spells": ["Moon"]}])"), "unknown spell \"Moon\""},
        {caster(R"("scrolls": [{"name": "Dusk", "spells": []}])"), "the scroll \"Dusk\" holds no spells"},
        {R"([{"name": "KXR", "level": "5", "race": "", "class": "", "capacity": ["", "", "", "", "", "", "", "", ""],
               "spells": []}])",
         "casters.json, caster \"KXR\": the name is empty, reserved"},
        {R"([{"name": "Maelis", "level": "5", "race": "", "class": "", "capacity": [4, "", "", "", "", "", "", "", ""],
               "spells": []}])",
         "casters.json, caster \"Maelis\": each \"capacity\" value must be a text"},
        {R"([{"name": "Maelis", "level": "5", "race": "", "class": "", "capacity": ["", "", "", "", "", "", "", "", ""],
               "spells": ["Dawn's Ward", " Dawn's Ward"]}])",
         "casters.json, caster \"Maelis\": the spell \"Dawn's Ward\" is listed twice"},
    };
    for (const auto &[casters, expected] : refusedCasters) {
        writeFile(content.path(), "casters.json", casters);
        TestLibrary refused;
        const QString error = raised([&] { loadLibraryContent(refused.db(), content.path()); });
        EXPECT_TRUE(error.contains(QLatin1String(expected))) << error.toStdString();
        EXPECT_EQ(refused.count("SELECT count(*) FROM Spells"), 0);
    }

    for (const auto &example : broken) {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath("spells");
        writeFile(folder.path(), "schools.json", kSchools);
        writeFile(folder.path(), "spells/level-1.json", example.spells);
        TestLibrary fresh;
        try {
            loadLibraryContent(fresh.db(), folder.path());
            ADD_FAILURE() << "accepted: " << example.expected;
        } catch (const VmError &error) {
            EXPECT_TRUE(error.description.contains(QLatin1String(example.expected)))
                << error.description.toStdString();
            EXPECT_TRUE(error.description.contains("level-1.json")) << error.description.toStdString();
        }
        EXPECT_EQ(fresh.count("SELECT count(*) FROM [Sphere Names]"), 0) << "nothing is written";
    }
}

TEST(LibraryFile, IsMadeWholeOrNotAtAllAndNeverBesideALeftoverLog)
{
    QTemporaryDir content;
    QDir(content.path()).mkpath("spells");
    writeFile(content.path(), "schools.json", kSchools);
    writeFile(content.path(), "spells/level-1.json", "[" + spell("Dawn's Ward") + "]");
    QTemporaryDir dir;
    const QString output = dir.filePath("Spells.mdb");

    // A library moved away while it was open leaves its log, with its last changes, behind.
    const QString old = dir.filePath("old.mdb");
    makeLibraryFile(old, content.path());
    {
        Connection writer(old);
        writer.exec("UPDATE Spells SET Description = 'Changed in the old library.';");
        ASSERT_TRUE(QFile::copy(old + "-wal", output + "-wal"));
    }
    const QByteArray log = fileBytes(output + "-wal");
    for (const auto &make : {std::function<void()>([&] { makeLibraryFile(output, content.path()); }),
                             std::function<void()>([&] { createLibrary(output); })}) {
        const QString error = raised(make);
        EXPECT_TRUE(error.contains("Spells.mdb-wal was left there")) << error.toStdString();
        EXPECT_FALSE(QFile::exists(output));
        EXPECT_EQ(fileBytes(output + "-wal"), log);
    }

    QFile::remove(output + "-wal");
    EXPECT_EQ(makeLibraryFile(output, content.path()).spells, 1);
    EXPECT_TRUE(raised([&] { makeLibraryFile(output, content.path()); }).contains("never written over"));

    writeFile(content.path(), "spells/level-1.json", "[" + spell("Dusk", R"(, "level": "2")") + "]");
    const QString refused = dir.filePath("Refused.mdb");
    EXPECT_THROW(makeLibraryFile(refused, content.path()), VmError);
    EXPECT_FALSE(QFile::exists(refused));
    EXPECT_FALSE(QFile::exists(refused + ".new"));
}
