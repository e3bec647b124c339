#include "ExchangeTestSupport.h"
#include "SpellText.h"

#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeReader.h"
#include "exchange/ExchangeRules.h"
#include "exchange/VM_SpellSaver.h"

#include <sys/stat.h>

namespace {

QByteArray spellLine(const QByteArray &name, const QByteArray &level = "1", const QByteArray &tail = {})
{
    // Fields 2 to 15 are empty unless a tail replaces the end of the line.
    return name + "||" + level + (tail.isEmpty() ? QByteArray("||").repeated(14) : tail);
}

// Reads a file into a list that held a row of an earlier file: what was raised, and how many
// records and list rows were kept.
QString read(const QString &folder, const QByteArray &bytes, bool spellbook = false)
{
    const QString path = writeFile(folder, spellbook ? "in.sbok" : "in.spel", bytes);
    VM_SpellSaver saver;
    ListRows list{ListRow{"from the previous file", {}}};
    const QString error = raised([&] {
        if (spellbook)
            saver.OpenSpellbookFile2(list, path);
        else
            saver.OpenSpellFile2(list, path);
    });
    return error + QStringLiteral("; kept %1/%2").arg(saver.Import_List().size()).arg(list.size());
}

} // namespace

TEST_F(LibraryTest, AWindows1252FileFromAnOlderInstallationReadsAndImports)
{
    const QByteArray older =
        "For Vellumar Use Only\r\n2\r\n"
        "Mordenkainen\x92s Faithful Hound||5||Rare||Conjuration||PHB||75||V,S,M||10 yards||"
        "Special||Special||Segment(s)||5||None||A phantom watchdog.^^It barks at \x93intruders\x94."
        "||Gary||Conjuration/Summoning\r\n"
        "Caf\xE9 Light||1||Common||||Homebrew||3||V||Touch||1 hour||1 room||Turn(s)||1||None||"
        "||Ren\xE9"
        "e||Alteration~~Evocation\r\n";
    const QString path = writeFile(library.folder(), "older.spel", older);
    VM_SpellSaver saver;
    ListRows list;
    saver.OpenSpellFile2(list, path);

    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[1], (ListRow{"Caf\u00E9 Light", {"1", "Ren\u00E9e"}, false, true}));

    saver.ImportSpells(list);
    EXPECT_EQ(
        library.rows(QStringLiteral("SELECT Name, Lvl, Frequency, In_School, Book, Page, Components, Range, "
                                    "Duration, [Area of Effect], [Casting Time Type], [Casting Time], "
                                    "[Saving Throw], Description, Author FROM Spells ORDER BY rowid")),
        (QStringList{
            QStringLiteral("Mordenkainen\u2019s Faithful Hound|5|Rare|<null>|PHB|75|V,S,M|10 yards|Special|"
                           "Special|Segment(s)|5|None|A phantom watchdog.\r\nIt barks at "
                           "\u201Cintruders\u201D.|Gary"),
            QStringLiteral("Caf\u00E9 Light|1|Common|<null>|Homebrew|3|V|Touch|1 hour|1 room|Turn(s)|1|"
                           "None||Ren\u00E9e")}));
    EXPECT_EQ(library.rows("SELECT Name, Sphere FROM SpellandSphere ORDER BY rowid"),
              (QStringList{"Mordenkainen\u2019s Faithful Hound|Conjuration/Summoning",
                           "Caf\u00E9 Light|Alteration", "Caf\u00E9 Light|Evocation"}));
}

TEST_F(LibraryTest, ReadersTakeLineEndsAndFieldsAsTheFormatHasThem)
{
    // LF line ends, a byte-order mark, extra fields and lines, markers inside values.
    const QByteArray file =
        "\xEF\xBB\xBF"
        "For Vellumar Use Only\n 3 \n" +
        spellLine("Plain", "2",
                  "||Rare||x||B||9||V||R||D||A||Hour(s)||1||S||One^^Two^^||Me||A~~B||extra||more") +
        "\n" + spellLine("Odd Unit", "1", "||||||||||||||||||hour(s)||||||||||") + "\r\n" +
        spellLine("Shifted", "1", "||Common||||B||7||V||10||20 feet||D||A||Round(s)||1||S||Desc||Me||X") +
        "\nIgnored||line\n";
    const QString path = writeFile(library.folder(), "lf.spel", file);
    VM_SpellSaver saver;
    ListRows list;
    saver.OpenSpellFile2(list, path);
    ASSERT_EQ(saver.Import_List().size(), 3u);
    EXPECT_EQ(spellText(saver.Import_List()[0]), "Plain|2|Rare|B|9|V|R|D|A|Hour(s)|1|S|One\r\nTwo\r\n|Me");
    EXPECT_EQ(saver.Import_List()[0].Fetch_Spell_Schools_Collection(), (QStringList{"A", "B"}));
    EXPECT_EQ(saver.Import_List()[1].Fetch_Spell_Casting_Time_Type(), QString());
    // A value that held "||" pushes the fields after it one place on.
    EXPECT_EQ(saver.Import_List()[2].Fetch_Spell_Range(), "10");
    EXPECT_EQ(saver.Import_List()[2].Fetch_Spell_Duration(), "20 feet");

    ListRows empty{ListRow{"stale", {}}};
    saver.OpenSpellFile2(empty, writeFile(library.folder(), "zero.spel", "For Vellumar Use Only\r\n0\r\n"));
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(saver.Import_List().empty());
}

TEST_F(LibraryTest, BadFilesEndWithAMessageNamingTheLineAndKeepWhatWasRead)
{
    const QByteArray header = "For Vellumar Use Only\r\n";
    const QByteArray good = spellLine("Good") + "\r\n";
    const char *invalid = "Invalid File requested for Import";
    const struct
    {
        QByteArray bytes;
        bool spellbook;
        const char *message;
        int kept;
    } cases[] = {
        {"for vellumar use only\r\n1\r\n" + good, false, invalid, 0},
        {"For Vellumar Use Only \r\n1\r\n" + good, false, invalid, 0},
        {QByteArray(), false, invalid, 0},
        {QByteArray("\x00\xFF\xFE\x81\x9D garbage\x00\r\n", 16), false, invalid, 0},
        {header, false, "Line 2 is missing: it should give the number of spells.", 0},
        {header + "two\r\n" + good, false,
         "Line 2 should give the number of spells, but \"two\" is not a number.", 0},
        {header + "99999999999999999999999\r\n" + good, false,
         "Line 2 should give the number of spells, but \"99999999999999999999999\" is not a number.", 0},
        {header + "-3\r\n" + good, false, "Line 2 gives -3 spells; the number of spells cannot be negative.",
         0},
        {header + "5\r\n" + good + spellLine("Better") + "\r\n", false,
         "Line 5 is missing: the file announces 5 spells but holds only 2.", 2},
        {header + "2147483647\r\n" + good, false,
         "Line 4 is missing: the file announces 2147483647 spells but holds only 1.", 1},
        {header + "3\r\n" + good + "Short||1||2||3||4||5||6||7||8||9||10||11\r\n" + good, false,
         "Line 4 has 12 fields; a spell line needs 16", 1},
        {header + "1\r\nMira||7||Elf||Mage||1\r\n" + good, true,
         "Line 3 has 5 fields; a caster line needs 13", 0},
        {header + "0\r\n", true, "Line 3 is missing: a spellbook file gives the caster there.", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(read(library.folder(), c.bytes, c.spellbook),
                  QStringLiteral("-1 %1: %2; kept %3/%3")
                      .arg(c.spellbook ? "OpenSpellbookFile" : "OpenSpellFile", c.message)
                      .arg(c.kept));

    VM_SpellSaver saver;
    ListRows list;
    EXPECT_TRUE(raised([&] {
                    saver.OpenSpellFile2(list, library.folder() + "/absent.spel");
                }).contains("could not be opened"));
    // A pipe with no writer would hold the reader for ever.
    const QString pipe = library.folder() + "/pipe.spel";
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_TRUE(
        raised([&] { saver.OpenSpellFile2(list, pipe); }).contains("is not a file that Vellumar can read"));

    // However many spells a file announces or holds, and however many separators a line has,
    // reading takes a bounded share of them.
    const QByteArray empty = QByteArray("||").repeated(ExchangeFormat::kSpellFields - 1) + "\r\n";
    const QByteArray crowded = "Crowd" + QByteArray("||").repeated(1'000'000) + "\r\n";
    QByteArray manyLines = header + "999999999\r\n" + crowded;
    for (int i = 0; i < ExchangeReader::kMaximumSpells; ++i)
        manyLines += "N" + QByteArray::number(i) + empty;
    const ExchangeContent many = ExchangeReader::parse(manyLines, ExchangeReader::Kind::SpellsFile);
    EXPECT_EQ(many.spells.size(), ExchangeReader::kMaximumSpells);
    EXPECT_EQ(many.spells.first().size(), ExchangeFormat::kSpellFields);
    EXPECT_EQ(many.error, QStringLiteral("Line %1: the file holds more than %2 spells, more than Vellumar "
                                         "takes from one file.")
                              .arg(ExchangeReader::kMaximumSpells + 3)
                              .arg(ExchangeReader::kMaximumSpells));
}

TEST_F(LibraryTest, TheCasterDetailsFollowTheLastSpellbookFileRead)
{
    VM_SpellSaver saver;
    ListRows list;
    const QByteArray caster = "  Mira ||7||Elf||Mage||4||3||2||1||0||0||0||0||0||ignored\r\n";
    saver.OpenSpellbookFile2(
        list, writeFile(library.folder(), "a.sbok",
                        "For Vellumar Use Only\r\n1\r\n" + caster + spellLine("Good") + "\r\n"));
    EXPECT_EQ(saver.Caster_Details().value(0), "  Mira ");
    EXPECT_EQ(saver.Caster_Details().size(), 13);
    EXPECT_EQ(list.size(), 1);

    // A spells file leaves them; a caster line that cannot be read leaves none.
    saver.OpenSpellFile2(list, writeFile(library.folder(), "b.spel", "For Vellumar Use Only\r\n0\r\n"));
    EXPECT_EQ(saver.Caster_Details().value(0), "  Mira ");
    EXPECT_FALSE(raised([&] {
                     saver.OpenSpellbookFile2(list, writeFile(library.folder(), "c.sbok",
                                                              "For Vellumar Use Only\r\n0\r\nA||B\r\n"));
                 }).isEmpty());
    EXPECT_EQ(saver.Caster_Details(), QStringList(13));

    // A spellbook file that fails before its caster line leaves the details of the last one read.
    saver.OpenSpellbookFile2(
        list, writeFile(library.folder(), "a.sbok",
                        "For Vellumar Use Only\r\n1\r\n" + caster + spellLine("Good") + "\r\n"));
    for (const QByteArray &header :
         {QByteArray("Not Ours\r\n1\r\n"), QByteArray("For Vellumar Use Only\r\nx\r\n"),
          QByteArray("For Vellumar Use Only\r\n-1\r\n"), QByteArray("For Vellumar Use Only")}) {
        EXPECT_FALSE(raised([&] {
                         saver.OpenSpellbookFile2(list,
                                                  writeFile(library.folder(), "d.sbok", header + caster));
                     }).isEmpty());
        EXPECT_EQ(saver.Caster_Details().value(0), "  Mira ") << header.data();
    }
    // A missing caster line is one that fails to read.
    EXPECT_FALSE(raised([&] {
                     saver.OpenSpellbookFile2(
                         list, writeFile(library.folder(), "e.sbok", "For Vellumar Use Only\r\n0\r\n"));
                 }).isEmpty());
    EXPECT_EQ(saver.Caster_Details(), QStringList(13));

    saver.Set_Caster_Details({"Renamed", "3"});
    EXPECT_EQ(saver.Caster_Details(), QStringList({"Renamed", "3"}) + QStringList(11));
    EXPECT_EQ(saver.SaveScroll(QString(), library.folder() + "/x.srol", "Mira", "Parent"),
              "Functionality not yet implemented");
    EXPECT_FALSE(QFile::exists(library.folder() + "/x.srol"));
}

// Hostile lines are left out one by one, each named by its line; the rest of the file is read.
TEST_F(LibraryTest, LinesThatWouldHarmTheLibraryAreLeftOutAndTheRestIsRead)
{
    const QByteArray header = "For Vellumar Use Only\r\n";
    const auto schools = [](int count) {
        QByteArrayList names;
        for (int i = 0; i < count; ++i)
            names.append("S" + QByteArray::number(i));
        return names.join("~~");
    };
    const auto withSchools = [](const QByteArray &name, const QByteArray &schools) {
        return spellLine(name, "1", QByteArray("||").repeated(13) + "||" + schools);
    };
    const QList<QByteArray> lines = {
        withSchools("Tildes", QByteArray("~").repeated(1'000'000)),  // line 3: no school at all
        withSchools("Gaps", "~~ A~~~~ ~~B~~"),                       // 4: A and B
        withSchools("Crowded", schools(65)),                         // 5: refused
        withSchools("Full", schools(64)),                            // 6
        QByteArray("||").repeated(ExchangeFormat::kSpellFields + 3), // 7: refused, no name
        spellLine("  ", "2"),                                        // 8: refused, no name
        spellLine("Return", "1", QByteArray("||").repeated(11) + "||One\rTwo||Me||A"), // 9: two paragraphs
        spellLine("Stray", "1\r"),                                                     // 10: refused
        spellLine("Last") + "\r",                                                      // 11: refused
        spellLine("Kept"),                                                             // 12
    };
    QByteArray file = header + QByteArray::number(lines.size()) + "\r\n";
    for (const QByteArray &line : lines)
        file += line + "\r\n";
    VM_SpellSaver saver;
    ListRows list;
    const QString error =
        raised([&] { saver.OpenSpellFile2(list, writeFile(library.folder(), "hostile.spel", file)); });
    EXPECT_EQ(error,
              "-1 OpenSpellFile: Line 5 was left out: the spell has 65 schools, and a spell has at most 64.\n"
              "Line 7 was left out: the spell has no name.\n"
              "Line 8 was left out: the spell has no name.\n"
              "Line 10 was left out: field 2 holds a carriage return that does not end the line.\n"
              "Line 11 was left out: field 16 holds a carriage return that does not end the line.");
    QStringList names;
    for (ListRow &row : list) {
        names.append(row.text);
        row.checked = true;
    }
    EXPECT_EQ(names, (QStringList{"Tildes", "Gaps", "Full", "Return", "Kept"}));
    saver.ImportSpells(list);
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellandSphere WHERE Name = 'Tildes'"), 0);
    EXPECT_EQ(library.rows("SELECT Sphere FROM SpellandSphere WHERE Name = 'Gaps' ORDER BY rowid"),
              (QStringList{"A", "B"}));
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellandSphere WHERE Name = 'Full'"), 64);
    EXPECT_EQ(library.rows("SELECT Description FROM Spells WHERE Name = 'Return'"),
              QStringList{"One\r\nTwo"});
    EXPECT_EQ(
        library.count("SELECT count(*) FROM Spells WHERE Name = '' OR Name LIKE '%' || char(13) || '%'"), 0);

    // A spellbook file's caster line with a stray return is left out, and its spells are read.
    const QString book =
        writeFile(library.folder(), "hostile.sbok",
                  header + "1\r\nMira\r||7||||||||||||||||||||||\r\n" + spellLine("Kept") + "\r\n");
    EXPECT_EQ(raised([&] { saver.OpenSpellbookFile2(list, book); }),
              "-1 OpenSpellbookFile: Line 3 was left out: the caster's details hold a carriage return that "
              "does not end the line.");
    EXPECT_EQ(list.size(), 1);
    EXPECT_EQ(saver.Caster_Details().value(0), QString());
}

// The reader keeps the rules that the windows and the writer keep: a value past its length, a
// control character, or what no file could carry back leaves its line out, named; the rest is read.
TEST_F(LibraryTest, TheReaderRefusesWhatTheWindowsAndTheWriterWouldRefuse)
{
    const auto spell = [](const QByteArray &name, const QByteArray &range, const QByteArray &description,
                          const QByteArray &author, const QByteArray &schools) {
        return name + "||1||Rare||||PHB||9||V||" + range + "||1 round||One||Round(s)||1||None||" +
               description + "||" + author + "||" + schools;
    };
    struct Case
    {
        QByteArray line;
        QString why; // empty: the line is read
    };
    const Case cases[] = {
        {spell("Tilde", "", "", "", "~~~~Alteration~~~~~ ~~  ~~Evo~"),
         R"(the school "~" of "Tilde" ends with "~", which would merge with the "~~" after it.)"},
        {spell("Trail", "", "", "", "Alteration~~Evo~"), R"(the school "Evo~" of "Trail" ends with "~")"},
        {spell(QByteArray(10'000'000, 'N'), "", "", "", "A"),
         "the name is 10000000 characters long; it may have at most 200."},
        {spell("Wide", "", "", "", QByteArray(101, 'S')),
         R"(the school ")" + QString(40, u'S') +
             R"(..." of "Wide" is 101 characters long; it may have at most 100.)"},
        {spell("Far", QByteArray(256, 'r'), "", "", "A"),
         R"(the range of "Far" is 256 characters long; it may have at most 255.)"},
        {spell("Told", "", QByteArray(20'001, 'd'), "", "A"),
         R"(the description of "Told" is 20001 characters long; it may have at most 20000.)"},
        {spell(QByteArray("Nul\0x", 5), "", "", "", "A"), "the name holds the control character U+0000"},
        {spell("Escaped", "", "", "Me\x1B[0m", "A"),
         R"(the author of "Escaped" holds the control character U+001B)"},
        {spell("Feed", "", "One\x0CTwo", "", "A"),
         R"(the description of "Feed" holds the control character U+000C)"},
        {spell("Tabbed", "\tTouch", "One\tTwo^^Three", "", "A"), {}},
        {spell("Longest", QByteArray(255, 'r'), QByteArray(20'000, 'd'), "", QByteArray(100, 'S')), {}},
    };
    QByteArray file = "For Vellumar Use Only\r\n" + QByteArray::number(std::size(cases)) + "\r\n";
    for (const Case &c : cases)
        file += c.line + "\r\n";
    VM_SpellSaver saver;
    ListRows list;
    const QString error =
        raised([&] { saver.OpenSpellFile2(list, writeFile(library.folder(), "rules.spel", file)); });
    QStringList read;
    for (qsizetype i = 0; i < qsizetype(std::size(cases)); ++i) {
        const QString left = QStringLiteral("Line %1 was left out: ").arg(i + 3);
        if (cases[i].why.isEmpty()) {
            read.append(QString::fromLatin1(cases[i].line.left(cases[i].line.indexOf("||"))));
            EXPECT_FALSE(error.contains(left)) << i;
        } else {
            EXPECT_TRUE(error.contains(left + cases[i].why)) << i << " " << error.left(2000).toStdString();
        }
    }
    QStringList names;
    for (const ListRow &row : list)
        names.append(row.text);
    EXPECT_EQ(names, read);
    EXPECT_EQ(saver.Import_List().at(0).Fetch_Spell_Description(), "One\tTwo\r\nThree");
    EXPECT_EQ(saver.Import_List().at(0).Fetch_Spell_Range(), "\tTouch");
}
