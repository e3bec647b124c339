#include "ExchangeTestSupport.h"
#include "FileSizeLimit.h"
#include "SpellText.h"

#include "exchange/VM_SpellSaver.h"

namespace {

// Name, Lvl, Frequency, In_School, Book, Page, Components, Range, Duration, Area of Effect,
// Casting Time Type, Casting Time, Saving Throw, Description, Author; a null or missing value is
// NULL.
void insertSpell(TestLibrary &library, const QStringList &values, const QStringList &schools = {})
{
    Statement insert(library.db(),
                     "INSERT INTO Spells (Name, Lvl, Frequency, In_School, Book, Page, Components, "
                     "Range, Duration, [Area of Effect], [Casting Time Type], [Casting Time], "
                     "[Saving Throw], Description, Author) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < 15; ++i) {
        if (values.value(i).isNull())
            insert.bindNull(i + 1);
        else
            insert.bind(i + 1, values.value(i));
    }
    insert.run();
    for (const QString &school : schools) {
        Statement link(library.db(), "INSERT INTO SpellandSphere (Name, Sphere) VALUES (?, ?)");
        link.bind(1, values[0]).bind(2, school).run();
    }
}

const QString kDisc = "Tenser's \u201CFloating\u201D Disc";
const QString kDiscDescription =
    QStringLiteral("A disc of force.\r\nIt holds 100 lb. per level \u2014 caf\u00E9 tables "
                   "included, for 5 \u20AC.\r\n\r\nIt follows at 6\" behind.");

} // namespace

TEST_F(LibraryTest, AWrittenSpellsFileReadsBackIdentically)
{
    insertSpell(library,
                {kDisc, "1", "Common", "anything at all", "PHB", "72", "V,S,M", "  20 yards ",
                 "3 turns + 1/level", "Special", "Hour(s)", "1", "None", kDiscDescription, "Zo\u00EB"},
                {"Evocation", " Alteration "});
    insertSpell(library, {"Bare", "2"});
    const QString path = writeFile(library.folder(), "out.spel", QByteArray(100000, 'x'));

    VM_SpellSaver saver;
    saver.Save2(
        "out.spel", path,
        {selected(kDisc), ListRow{"Unselected", {}}, selected("Bare"), selected("Gone From The Library")});

    // Single-byte Windows-1252, CR LF after every line, 16 fields to a spell line.
    const QByteArray bytes = fileBytes(path);
    EXPECT_TRUE(bytes.startsWith("For Vellumar Use Only\r\n3\r\nTenser's \x93"
                                 "Floating\x94 Disc||1||Common||"
                                 "anything at all||PHB||72||V,S,M||20 yards||"));
    EXPECT_TRUE(bytes.contains("caf\xE9 tables included, for 5 \x80.^^^^It follows"));
    EXPECT_TRUE(bytes.endsWith("Bare||2" + QByteArray("||").repeated(14) + "\r\nGone From The Library" +
                               QByteArray("||").repeated(15) + "\r\n"));
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 6);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(lines[i].endsWith('\r')) << i;
    for (int i = 2; i < 5; ++i)
        EXPECT_EQ(QString::fromLatin1(lines[i]).split("||").size(), 16) << i;

    ListRows list{ListRow{"left over", {}}};
    saver.OpenSpellFile2(list, path);
    ASSERT_EQ(saver.Import_List().size(), 3u);
    EXPECT_EQ(spellText(saver.Import_List()[0]),
              kDisc + "|1|Common|PHB|72|V,S,M|20 yards|3 turns + 1/level|Special|Hour(s)|1|None|" +
                  kDiscDescription + "|Zo\u00EB");
    EXPECT_EQ(saver.Import_List()[0].Fetch_Spell_Schools_Collection(),
              (QStringList{"Evocation", "Alteration"}));
    EXPECT_EQ(spellText(saver.Import_List()[1]), "Bare|2" + QString("|").repeated(12));
    EXPECT_TRUE(saver.Import_List()[1].Fetch_Spell_Schools_Collection().isEmpty());
    EXPECT_EQ(spellText(saver.Import_List()[2]), "Gone From The Library" + QString("|").repeated(13));
    EXPECT_EQ(list, (ListRows{ListRow{kDisc, {"1", "Zo\u00EB"}, false, true},
                              ListRow{"Bare", {"2", QString()}, false, true},
                              ListRow{"Gone From The Library", {QString(), QString()}, false, true}}));
}

TEST_F(LibraryTest, TextOutsideWindows1252IsWrittenAsUtf8AndEveryLineBreakAsAMarker)
{
    insertSpell(library,
                {"\u03A9 Ward", "3", "Rare", QString(), QString(), QString(), QString(), QString(), QString(),
                 QString(), "Round(s)", QString(), QString(), "One\nTwo\rThree\r\nFour \u96F7", "caf\u00E9"},
                {"\u00C9vocation"});
    const QString path = QDir(library.folder()).filePath("utf8.spel");
    VM_SpellSaver saver;
    saver.Save2(QString(), path, {selected("\u03A9 Ward")});

    const QByteArray bytes = fileBytes(path);
    EXPECT_TRUE(bytes.contains("\xCE\xA9 Ward||3||Rare"));
    EXPECT_TRUE(bytes.contains("||One^^Two^^Three^^Four \xE9\x9B\xB7||caf\xC3\xA9||\xC3\x89vocation\r\n"));
    EXPECT_EQ(bytes.count('\n'), 3);

    ListRows list;
    saver.OpenSpellFile2(list, path);
    ASSERT_EQ(saver.Import_List().size(), 1u);
    EXPECT_EQ(saver.Import_List()[0].Fetch_Spell_Description(), "One\r\nTwo\r\nThree\r\nFour \u96F7");
    EXPECT_EQ(saver.Import_List()[0].Fetch_Spell_Schools_Collection(), QStringList{"\u00C9vocation"});
}

TEST_F(LibraryTest, NoSelectionOrAValueTheFormatCannotCarryRefusesTheWholeExport)
{
    const QString path = writeFile(library.folder(), "kept.spel", "the user's earlier file");
    const struct
    {
        QString name;
        QString column;
        QString value;
        QStringList schools;
        QString refusal; // empty: the export goes through
    } cases[] = {
        {"Pipe",
         "Range",
         "1|0 ||20 feet",
         {},
         "Save: The spell \"Pipe\" cannot be exported: its range holds "
         "\"||\", which separates the fields of a Vellumar file."},
        {"Half Pipe", "Author", "Rary|", {}, "its author ends with \"|\""},
        {"Two\nLines",
         {},
         {},
         {},
         "The spell \"Two\nLines\" cannot be exported: its name holds a line break"},
        {"Tilde", {}, {}, {"F~ire~~Ice"}, "its school \"F~ire~~Ice\" holds \"~~\""},
        {"Tilde End", {}, {}, {"Fire~", "Ice"}, "its school \"Fire~\" ends with \"~\""},
        {"Caret",
         "Description",
         "Costs 5^\r\nmore",
         {},
         "its description has \"^\" just before a line break"},
        {"Carets", "Description", "Up ^ and ^^ down", {}, "its description holds \"^^\""},
        // The same characters where they do no harm are carried.
        {"|Lead", "Description", "^Lead\r\n^line^", {"~Ice", "Fire~"}, {}},
    };
    VM_SpellSaver saver;
    const QString none = library.folder() + "/none.spel";
    EXPECT_TRUE(raised([&] {
                    saver.Save2(QString(), none, {ListRow{"Not Selected", {}}});
                }).endsWith(" Save: There are no spells selected"));
    EXPECT_FALSE(QFile::exists(none));
    for (const auto &c : cases) {
        EXPECT_EQ(fileBytes(path), "the user's earlier file");
        library.db().exec("DELETE FROM Spells; DELETE FROM SpellandSphere;");
        insertSpell(library, {"Fine", "1"});
        insertSpell(library, {c.name, "1"}, c.schools);
        if (!c.column.isEmpty())
            library.setSpell(c.name, {{c.column, c.value}});
        const QString error = raised([&] {
            saver.Save2(QString(), path, {selected("Fine"), selected(c.name)});
        });
        EXPECT_EQ(error.isEmpty(), c.refusal.isEmpty()) << error.toStdString();
        EXPECT_TRUE(error.contains(c.refusal)) << error.toStdString();
    }
}

TEST_F(LibraryTest, SpellbookFilesCarryTheCasterAndTheChosenSpells)
{
    Statement caster(library.db(), "INSERT INTO SpellCasters VALUES ('Mira \"Quill\"', ' 7', 'Elf ', 'Mage', "
                                   "'4', '3', '2', '1', NULL, '', '', '', '0')");
    caster.run();
    library.addSpell("Zed", "2", {"Abjuration"});
    library.addSpell("Alpha", "1", {});
    library.addToSpellbook("Mira \"Quill\"", "Zed");
    library.addToSpellbook("Mira \"Quill\"", "Alpha");
    const QString path = QDir(library.folder()).filePath("mira.sbok");
    const ListRows browser{ListRow{"Alpha", {}}};
    VM_SpellSaver saver;

    saver.SaveSpellbook2(QString(), path, browser, "Mira \"Quill\" ", " Full");
    QList<QByteArray> lines = fileBytes(path).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[1], "2\r");
    EXPECT_EQ(lines[2], "Mira \"Quill\"||7||Elf||Mage||4||3||2||1||||||||||0\r");
    EXPECT_TRUE(lines[3].startsWith("Zed||2||Common"));
    EXPECT_TRUE(lines[4].startsWith("Alpha||1||"));

    saver.SaveSpellbook2(QString(), path, browser, "Mira \"Quill\"", "Filtered");
    lines = fileBytes(path).split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1], "1\r");
    EXPECT_TRUE(lines[3].startsWith("Alpha||1||"));

    ListRows list;
    saver.OpenSpellbookFile2(list, path);
    EXPECT_EQ(saver.Caster_Details(), (QStringList{"Mira \"Quill\"", "7", "Elf", "Mage", "4", "3", "2", "1",
                                                   QString(), QString(), QString(), QString(), "0"}));

    // The caller's order is kept, and a name listed twice is written twice.
    saver.SaveSpellbook2(QString(), path, {ListRow{"Zed", {}}, ListRow{"Alpha", {}}, ListRow{"Zed", {}}},
                         "Mira \"Quill\"", "Filtered");
    lines = fileBytes(path).split('\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[3].startsWith("Zed||2||") && lines[4].startsWith("Alpha||1||") &&
                lines[5].startsWith("Zed||2||"));

    // A caster without a row is written with an empty caster line; a bad value refuses the file.
    saver.SaveSpellbook2(QString(), path, browser, "Nobody", "Filtered");
    EXPECT_EQ(fileBytes(path).split('\n')[2], QByteArray("||").repeated(12) + '\r');
    library.db().exec("UPDATE SpellCasters SET Race = 'Half||Elf'");
    EXPECT_TRUE(raised([&] {
                    saver.SaveSpellbook2(QString(), path, browser, "Mira \"Quill\"", "Full");
                }).contains(" SaveSpellbook: The spellbook \"Mira \"Quill\"\" cannot be exported: its race"));
    EXPECT_FALSE(raised([&] { saver.SaveSpellbook2(QString(), path, browser, "Nobody", "full"); }).isEmpty());
}

// A disk that fills up part way: the file size limit makes the write fail after a few bytes.
TEST_F(LibraryTest, AWriteThatFailsPartWayLeavesTheEarlierFileAndNoHalfFile)
{
    for (int i = 0; i < 50; ++i)
        library.addSpell(QStringLiteral("Spell %1").arg(i), "1", {"Alteration"});
    ListRows list;
    for (int i = 0; i < 50; ++i)
        list.append(selected(QStringLiteral("Spell %1").arg(i)));
    const QString path = writeFile(library.folder(), "earlier.spel", "the earlier export");
    const QStringList before = QDir(library.folder()).entryList(QDir::Files);

    VM_SpellSaver saver;
    QString error;
    {
        FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.active());
        error = raised([&] { saver.Save2(QString(), path, list); });
    }
    EXPECT_TRUE(error.contains(" Save: ") && error.contains("could not be written")) << error.toStdString();
    EXPECT_FALSE(error.contains("Unknown error")) << error.toStdString();
    EXPECT_EQ(fileBytes(path), QByteArray("the earlier export"));
    EXPECT_EQ(QDir(library.folder()).entryList(QDir::Files), before);

    saver.Save2(QString(), path, list);
    EXPECT_TRUE(fileBytes(path).startsWith("For Vellumar Use Only\r\n50\r\n"));
    // A folder that is not there fails as clearly, before anything is written.
    EXPECT_TRUE(raised([&] {
                    saver.Save2(QString(), library.folder() + "/no such folder/x.spel", list);
                }).contains("could not be written"));
}
