#include "ExchangeTestSupport.h"
#include "SpellText.h"

#include "exchange/SpellImporter.h"
#include "exchange/VM_SpellSaver.h"
#include "store/Undo.h"

#include "FileSizeLimit.h"

#include <QFileInfo>
#include <sqlite3.h>

#include <cstdio>

namespace {

QByteArray line(const QByteArray &name, const QByteArray &level, const QByteArray &schools,
                const QByteArray &range = "Touch")
{
    return name + "||" + level + "||Rare||||PHB||9||V||" + range +
           "||1 round||One||Round(s)||1||None||Text||Author||" + schools + "\r\n";
}

QByteArray spellsFile(const QList<QByteArray> &lines, const QByteArray &caster = {})
{
    QByteArray file = "For Vellumar Use Only\r\n" + QByteArray::number(lines.size()) + "\r\n";
    if (!caster.isEmpty())
        file += caster + "\r\n";
    for (const QByteArray &spell : lines)
        file += spell;
    return file;
}

const QByteArray kMira = " Mira ||7||Elf||Mage ||4||3||2||1||0||0||0||0||0";

class ImportTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        library.addSpell("Existing", "1", {"A", "B"});
        library.addSpell("Held", "2", {"A"});
        library.addCaster("Bryn");
        library.addToSpellbook("Bryn", "Existing", "1");
        library.addToSpellbook("Bryn", "Held", "2");
    }

    // Reads a file into the saver; every row is checked except those named.
    ListRows open(const QByteArray &file, bool spellbook, const QStringList &unchecked = {})
    {
        ListRows list;
        const QString path = writeFile(library.folder(), spellbook ? "in.sbok" : "in.spel", file);
        if (spellbook)
            saver.OpenSpellbookFile2(list, path);
        else
            saver.OpenSpellFile2(list, path);
        for (ListRow &row : list)
            row.checked = !unchecked.contains(row.text);
        return list;
    }

    QStringList spells() { return library.rows("SELECT Name, Lvl, Range FROM Spells ORDER BY rowid"); }
    QStringList schools(const QString &spell)
    {
        return library.rows("SELECT Sphere FROM SpellandSphere WHERE Name = ? ORDER BY rowid", {spell});
    }
    QStringList spellbook(const QString &caster)
    {
        return library.rows("SELECT SpellName, SpellLevel FROM Spellbook WHERE Caster = ? ORDER BY rowid",
                            {caster});
    }

    // The lines of a long file whose spell past the first batch of writes fails, as on a full disk.
    static constexpr int kFailing = SpellImporter::kStepsPerCommit + 50;
    QList<QByteArray> longFileFailingPastABatch()
    {
        library.db().exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse; CREATE TRIGGER refuse BEFORE INSERT "
                                         "ON Spells WHEN NEW.Name = 'Spell %1' BEGIN SELECT RAISE(ABORT, "
                                         "'disk I/O error'); END;")
                              .arg(kFailing)
                              .toUtf8()
                              .constData());
        QList<QByteArray> many;
        for (int i = 0; i < kFailing + 100; ++i)
            many.append(line("Spell " + QByteArray::number(i), "1", "A"));
        return many;
    }

    VM_SpellSaver saver;
};

} // namespace

TEST_F(ImportTest, ASpellsFileAddsNewSpellsAndOverwritesExistingOnesThatAreChecked)
{
    ListRows list = open(spellsFile({line("Existing", "3", "C"), line("New", "4", "Unknown School~~A"),
                                     line("Unchecked New", "1", "A"), line("Not Listed", "1", "A")}),
                         false, {"Unchecked New"});
    list.removeLast();
    const QStringList namedSchools = library.rows("SELECT * FROM [Sphere Names]");
    saver.ImportSpells(list);

    EXPECT_EQ(spells(), (QStringList{"Existing|3|Touch", "Held|2|60 yards", "New|4|Touch"}));
    EXPECT_EQ(schools("Existing"), QStringList{"C"});
    EXPECT_EQ(schools("New"), (QStringList{"Unknown School", "A"}));
    EXPECT_EQ(library.rows("SELECT * FROM [Sphere Names]"), namedSchools);
    EXPECT_EQ(spellbook("Bryn"), (QStringList{"Existing|1", "Held|2"}));

    // Importing again repeats the work with the records as they stand.
    saver.ImportSpells(list);
    EXPECT_EQ(library.count("SELECT count(*) FROM Spells"), 3);
}

// However the file's schools differ from the library's, the spell ends with the file's schools in
// the file's order; a file that changes nothing writes nothing.
TEST_F(ImportTest, AnOverwrittenSpellTakesTheFilesSchoolsInTheFilesOrder)
{
    const QList<std::pair<QByteArray, QStringList>> steps = {
        {"B~~A", {"B", "A"}},         {"A", {"A"}},        {"A~~B~~C", {"A", "B", "C"}}, {"C", {"C"}},
        {"C~~D~~A", {"C", "D", "A"}}, {"A~~B", {"A", "B"}}};
    for (const auto &[file, expected] : steps) {
        saver.ImportSpells(open(spellsFile({line("Existing", "1", file)}), false));
        EXPECT_EQ(schools("Existing"), expected) << file.toStdString();
        EXPECT_EQ(schools("Held"), QStringList{"A"}) << file.toStdString();
    }
    const QString rowids = "SELECT rowid FROM SpellandSphere WHERE Name = 'Existing' ORDER BY rowid";
    const QStringList before = library.rows(rowids);
    saver.ImportSpells(open(spellsFile({line("Existing", "1", "A~~B")}), false));
    EXPECT_EQ(library.rows(rowids), before);
}

TEST_F(ImportTest, ASpellListedTwiceIsOneRecordTheFirst)
{
    ListRows list;
    const QString path =
        writeFile(library.folder(), "twice.spel",
                  spellsFile({line("Twin", "1", "A", "First"), line(" Twin ", "2", "B", "Second")}));
    EXPECT_EQ(
        raised([&] { saver.OpenSpellFile2(list, path); }),
        "-1 OpenSpellFile: Line 4 was left out: \"Twin\" is named on line 3 already; that line is the one "
        "imported.");
    ASSERT_EQ(list.size(), 1);
    saver.ImportSpells(list);
    EXPECT_EQ(library.rows("SELECT Name, Lvl, Range FROM Spells WHERE Name = 'Twin'"),
              QStringList{"Twin|1|First"});

    saver.Set_Caster_Details(QString::fromLatin1(kMira).split("||"));
    saver.ImportSpellbook(list, false, false, false);
    EXPECT_EQ(spellbook("Mira"), QStringList{"Twin|<null>"}); // a spell is in a spellbook once
}

// Read so that the user can see and correct them, but never written: the library lists a spell
// only by its level and its schools.
TEST_F(ImportTest, SpellsTheLibraryCouldNotListAreReadButSkippedAndNamed)
{
    const QByteArray digits23(23, '7');
    const QList<QByteArray> levels = {"12", "0", "-5", "abc", "", digits23};
    QList<QByteArray> lines;
    for (qsizetype i = 0; i < levels.size(); ++i)
        lines.append(line("Odd " + QByteArray::number(i), levels[i], "A"));
    lines.append(line("Schoolless", "3", ""));
    lines.append(line("Sound", "3", "A"));
    const ListRows list = open(spellsFile(lines), false);
    ASSERT_EQ(list.size(), lines.size());
    EXPECT_EQ(VM_SpellSaver::importProblem(saver.Import_List()[0]),
              "its level \"12\" is not one from 1 to 9.");
    EXPECT_EQ(VM_SpellSaver::importProblem(saver.Import_List()[4]),
              "it has no level; a spell has a level from 1 to 9.");
    EXPECT_EQ(VM_SpellSaver::importProblem(saver.Import_List()[6]),
              "it has no school; the library lists a spell by its schools.");

    const QString message = saver.ImportSpells(list);
    EXPECT_TRUE(
        message.startsWith("7 checked spells were not imported, since the library could not list them:\n"
                           "Odd 0: its level \"12\" is not one from 1 to 9.\n"))
        << message.toStdString();
    EXPECT_TRUE(message.contains("Schoolless: it has no school")) << message.toStdString();
    EXPECT_EQ(library.rows("SELECT Name FROM Spells WHERE Name NOT IN ('Existing', 'Held')"),
              QStringList{"Sound"});

    saver.Set_Caster_Details(QString::fromLatin1(kMira).split("||"));
    EXPECT_TRUE(saver.ImportSpellbook(list, true, true, true).startsWith("7 checked spells"));
    EXPECT_EQ(spellbook("Mira"), QStringList{"Sound|<null>"});
}

TEST_F(ImportTest, SpellbookOptionsDecideWhatAnExistingCasterKeepsAndANewOneGetsItsList)
{
    const QByteArray bryn = " Bryn ||12||Gnome ||Illusionist||5||5||5||5||5||5||5||5||5";
    const QByteArray file =
        spellsFile({line("Existing", "9", "C"), line("New", "4", "A"), line("Off", "1", "A")}, bryn);
    const QStringList brynBefore = library.rows("SELECT * FROM SpellCasters");

    ListRows list = open(file, true, {"Off"});
    saver.ImportSpellbook(list, false, false, false);
    EXPECT_EQ(library.rows("SELECT * FROM SpellCasters"), brynBefore);
    EXPECT_EQ(spellbook("Bryn"), (QStringList{"Existing|1", "Held|2"}));
    EXPECT_EQ(spells(), (QStringList{"Existing|1|60 yards", "Held|2|60 yards", "New|4|Touch"}));

    saver.ImportSpellbook(list, true, false, true);
    EXPECT_EQ(spellbook("Bryn"), (QStringList{"Existing|<null>", "New|<null>"}));
    EXPECT_EQ(library.rows("SELECT Lvl FROM Spells WHERE Name = 'Existing'"), QStringList{"9"});
    EXPECT_EQ(schools("Existing"), QStringList{"C"});
    EXPECT_EQ(library.rows("SELECT * FROM SpellCasters"), brynBefore);

    saver.ImportSpellbook(list, false, true, false);
    EXPECT_EQ(library.rows("SELECT * FROM SpellCasters"),
              QStringList{"Bryn|12|Gnome|Illusionist|5|5|5|5|5|5|5|5|5"});

    // A name corrected in the window before the import makes a new caster.
    QStringList details = saver.Caster_Details();
    details[0] = "  Bryn the Younger ";
    saver.Set_Caster_Details(details);
    saver.ImportSpellbook(list, false, false, false);
    EXPECT_EQ(spellbook("Bryn the Younger"), (QStringList{"Existing|<null>", "New|<null>"}));
    EXPECT_EQ(library.rows("SELECT * FROM SpellCasters WHERE Spellbook <> 'Bryn'"),
              QStringList{"Bryn the Younger|12|Gnome|Illusionist|5|5|5|5|5|5|5|5|5"});
}

TEST_F(ImportTest, ASpellbookWithoutAUsableNameIsRefusedBeforeAnythingIsWritten)
{
    const ListRows list = open(spellsFile({line("New", "4", "A")}, "KXR||1||||||||||||||||||||||"), true);
    const QStringList before = library.dump();
    EXPECT_TRUE(raised([&] {
                    saver.ImportSpellbook(list, true, true, true);
                }).startsWith("-1 ImportSpellbook: KXR is the name of the whole library"));
    saver.Set_Caster_Details({"   "});
    EXPECT_FALSE(raised([&] { saver.ImportSpellbook(list, true, true, true); }).isEmpty());
    EXPECT_EQ(library.dump(), before);
}

TEST_F(ImportTest, AFailureStopsTheImportAndKeepsWhatCameBefore)
{
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Spells WHEN NEW.Name = 'Boom' "
                      "BEGIN SELECT RAISE(ABORT, ' disk I/O error '); END;");
    const ListRows list = open(
        spellsFile({line("First", "1", "A"), line("Boom", "1", "A"), line("Last", "1", "A")}, kMira), true);
    EXPECT_EQ(raised([&] { saver.ImportSpellbook(list, false, false, false); }),
              "-1 ImportSpellbook: disk I/O error");
    EXPECT_EQ(spellbook("Mira"), QStringList{"First|<null>"});
    EXPECT_EQ(library.count("SELECT count(*) FROM Spells WHERE Name IN ('First', 'Boom', 'Last')"), 1);
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellCasters WHERE Spellbook = 'Mira'"), 1);

    EXPECT_TRUE(raised([&] { saver.ImportSpells(list); }).startsWith("-1 ImportSpells: "));

    // Records are committed in batches; a failure late in a long file keeps every record before it.
    const int failing = kFailing;
    const ListRows manyRows = open(spellsFile(longFileFailingPastABatch()), false);
    EXPECT_FALSE(raised([&] { saver.ImportSpells(manyRows); }).isEmpty());
    EXPECT_EQ(library.count("SELECT count(*) FROM Spells WHERE Name LIKE 'Spell %'"), failing);
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellandSphere WHERE Name LIKE 'Spell %'"), failing);
    // What was kept is one step to undo, without the failed spell's half-written rows.
    ASSERT_EQ(UndoHistory::instance().undoName(), "Import of 2,150 Spells");
    UndoHistory::instance().undo();
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellandSphere WHERE Name LIKE 'Spell %'"), 0);
    UndoHistory::instance().redo();
    EXPECT_EQ(library.count("SELECT count(*) FROM Spells WHERE Name LIKE 'Spell %'"), failing);
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellandSphere WHERE Name LIKE 'Spell %'"), failing);
}

TEST_F(ImportTest, SavedEditsChangeTheRecordOfThatNameAndAreImported)
{
    const ListRows list = open(spellsFile({line("Twin", "1", "A"), line("Other", "2", "B")}), false);
    SpellEdits edits;
    edits.details = {{SpellFields::Components, " V,S "},
                     {SpellFields::Range, " 30 yards "},
                     {SpellFields::CastingTimeType, "Special"},
                     {SpellFields::Description, " Line one\r\nLine two "}};
    edits.schools = {"Evocation", "Abjuration"};
    saver.SaveItem(" Twin ", edits);

    for (size_t i : {0u}) {
        EXPECT_TRUE(saver.Import_List()[i].WasUpdated());
        EXPECT_EQ(spellText(saver.Import_List()[i]),
                  "Twin|1|Rare|PHB|9|V,S|30 yards|1 round|One|Special|1|None|Line one\r\nLine two|Author");
        EXPECT_EQ(saver.Import_List()[i].Fetch_Spell_Schools_Collection(), edits.schools);
    }
    EXPECT_FALSE(saver.Import_List()[1].WasUpdated());

    saver.ImportSpells(list);
    EXPECT_EQ(library.rows(QStringLiteral(
                  "SELECT Range, [Casting Time Type], Author FROM Spells WHERE Name = 'Twin'")),
              QStringList{"30 yards|Special|Author"});
    EXPECT_EQ(schools("Twin"), edits.schools);
}

TEST_F(ImportTest, OnlyBlanksAreTrimmedSoAFileAndItsExportCompareEqual)
{
    // A no-break space ends the name, a tab starts the range, a line break ends the description.
    const QByteArray spell = "  Frost\xA0 ||1||Rare||||PHB||9||V||\tTouch||1 round||One||Round(s)||1||"
                             "None||Text^^||Author||A\r\n";
    saver.ImportSpells(open(spellsFile({spell}), false));
    EXPECT_EQ(library.rows("SELECT Name, Range, Description FROM Spells WHERE Name LIKE 'Frost%'"),
              QStringList{"Frost\u00A0|\tTouch|Text\r\n"});
    EXPECT_EQ(schools("Frost\u00A0"), QStringList{"A"});

    const QString path = writeFile(library.folder(), "out.spel", {});
    saver.Save2("out.spel", path, {selected("Frost\u00A0")});
    EXPECT_TRUE(fileBytes(path).contains("Frost\xA0||1||Rare||||PHB||9||V||\tTouch||"))
        << fileBytes(path).data();
    EXPECT_TRUE(fileBytes(path).contains("||Text^^||Author||")) << fileBytes(path).data();
}

TEST_F(ImportTest, AnImportIntoALibraryReplacedWhileOpenIsRefused)
{
    ListRows list = open(spellsFile({line("First", "1", "A")}), false);
    saver.ImportSpells(list); // the saver's connection is open from here on
    // A backup put in place of the library while Vellumar runs.
    const QString backup = library.folder() + "/backup.mdb";
    createLibrary(backup);
    ASSERT_EQ(
        std::rename(QFile::encodeName(backup).constData(), QFile::encodeName(library.path()).constData()), 0);

    for (const bool spellbook : {false, true}) {
        list = open(spellsFile({line("Second", "1", "A")}, spellbook ? kMira : QByteArray()), spellbook);
        const QString error = raised([&] {
            if (spellbook)
                saver.ImportSpellbook(list, true, true, true);
            else
                saver.ImportSpells(list);
        });
        EXPECT_TRUE(
            error.contains("has been moved or deleted since Vellumar opened it, so nothing was changed"))
            << error.toStdString();
    }
    EXPECT_EQ(library.count("SELECT count(*) FROM Spells WHERE Name = 'Second'"), 0);
}

TEST_F(ImportTest, ASpellbookImportStoppedPartWayIsListedAndARetryAddsNothingTwice)
{
    const int failing = kFailing;
    const ListRows list = open(spellsFile(longFileFailingPastABatch(), kMira), true);
    EXPECT_FALSE(raised([&] { saver.ImportSpellbook(list, false, false, false); }).isEmpty());
    const auto orphans = [&] {
        return library.count("SELECT count(*) FROM Spellbook WHERE Caster NOT IN (SELECT Spellbook FROM "
                             "SpellCasters) OR SpellName NOT IN (SELECT Name FROM Spells)");
    };
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellCasters WHERE Spellbook = 'Mira'"), 1);
    EXPECT_EQ(library.count("SELECT count(*) FROM Spellbook WHERE Caster = 'Mira'"), failing);
    EXPECT_EQ(orphans(), 0);

    library.db().exec("DROP TRIGGER refuse;");
    for (const bool replaceList : {false, true}) {
        saver.ImportSpellbook(list, replaceList, true, true);
        EXPECT_EQ(library.count("SELECT count(*) FROM SpellCasters WHERE Spellbook = 'Mira'"), 1);
        EXPECT_EQ(library.count("SELECT count(*) FROM Spellbook WHERE Caster = 'Mira'"),
                  replaceList ? failing + 100 : failing);
        EXPECT_EQ(library.count("SELECT count(*) FROM Spells WHERE Name LIKE 'Spell %'"), failing + 100);
        EXPECT_EQ(orphans(), 0);
    }
}

TEST_F(ImportTest, AnImportStoppedByAFullDiskOrABusyLibrarySaysHowManySpellsItKept)
{
    QList<QByteArray> many;
    for (int i = 0; i < 10'000; ++i)
        many.append(line("Spell " + QByteArray::number(i), "1", "A~~B", QByteArray(200, 'r')));
    ListRows list = open(spellsFile(many), false);
    const auto imported = [&] {
        return library.count("SELECT count(*) FROM Spells WHERE Name LIKE 'Spell %'");
    };
    QString error;
    {
        FileSizeLimit full(QFileInfo(library.path()).size() + 2 * 1024 * 1024);
        ASSERT_TRUE(full.active());
        error = raised([&] { saver.ImportSpells(list); });
    }
    const int kept = imported();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 10'000);
    EXPECT_TRUE(
        error.contains(QStringLiteral("is full, so nothing was changed. Make room on it, then try again. "
                                      "The import stopped there: %1 spells had already been imported and "
                                      "are kept. Import the file again to bring in the rest.")
                           .arg(kept)))
        << error.toStdString();

    // Another program holds the library for longer than the import waits.
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(library.path()).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA key = 'wyvern4'; PRAGMA cipher_page_size = 4096; BEGIN IMMEDIATE;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    error = raised([&] { saver.ImportSpells(list); });
    sqlite3_close(other);
    EXPECT_TRUE(error.contains(
        "was not done within 5 seconds, so this change was not made. Try again once the other "
        "program is done. The import stopped there: 0 spells had already been imported and are kept"))
        << error.toStdString();
    EXPECT_EQ(imported(), kept);
    saver.ImportSpells(list);
    EXPECT_EQ(imported(), 10'000);
}
