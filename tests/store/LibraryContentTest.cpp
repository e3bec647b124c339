#include "Files.h"
#include "TestLibrary.h"

#include "store/LibraryContent.h"
#include "store/VmError.h"

#include <QTemporaryDir>

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
    // Sample casters: their spells go into their spellbooks with the spells' levels.
    writeFile(content.path(), "casters.json",
              R"([{"name": "Maelis", "level": "5", "race": "Elf", "class": "Mage",
               "capacity": ["4", "", "", "", "", "", "", "", ""], "spells": ["Dawn's Ward"]}])");
    TestLibrary withCasters;
    EXPECT_EQ(loadLibraryContent(withCasters.db(), content.path()).casters, 1);
    EXPECT_EQ(withCasters.rows("SELECT Caster, SpellName, SpellLevel FROM Spellbook"),
              QStringList{"Maelis|Dawn's Ward|1"});
    writeFile(
        content.path(), "casters.json",
        R"([{"name": "KXR", "level": "5", "race": "", "class": "", "capacity": ["", "", "", "", "", "", "", "", ""],
               "spells": []}])");
    TestLibrary reserved;
    EXPECT_THROW(loadLibraryContent(reserved.db(), content.path()), VmError);
    EXPECT_EQ(reserved.count("SELECT count(*) FROM Spells"), 0);

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
