#include "ExchangeTestSupport.h"

#include "exchange/ImportReview.h"
#include "exchange/VM_SpellSaver.h"

#include <numeric>

namespace {

QByteArray spellLine(int i, const QByteArray &schools = "Alteration")
{
    return "Spell " + QByteArray::number(i) +
           "||1||Rare||||PHB||9||V||Touch||1 round||One||Round(s)||1||None||"
           "Text||Author||" +
           schools + "\r\n";
}

QString writeSpells(const QString &folder, const QString &name, int count, const QByteArray &caster = {})
{
    QByteArray file = "For Vellumar Use Only\r\n" + QByteArray::number(count) + "\r\n" + caster;
    for (int i = 0; i < count; ++i)
        file += spellLine(i);
    return writeFile(folder, name, file);
}

} // namespace

TEST_F(LibraryTest, AnImportStoppedByItsProgressKeepsWhatItWroteAndCountsOnlyCheckedSpells)
{
    VM_SpellSaver saver;
    ListRows list;
    saver.OpenSpellFile2(list, writeSpells(library.folder(), "five.spel", 5));
    list[1].checked = false;

    QList<std::pair<int, int>> reports;
    saver.ImportSpells(list, [&](int done, int total) {
        reports.append({done, total});
        return done < 2;
    });
    EXPECT_EQ(reports, (QList<std::pair<int, int>>{{1, 4}, {2, 4}}));
    EXPECT_EQ(library.rows("SELECT Name FROM Spells ORDER BY rowid"), (QStringList{"Spell 0", "Spell 2"}));

    // A spellbook stopped part way still gets its caster row, so its listed spells can be found.
    VM_SpellSaver book;
    ListRows rows;
    book.OpenSpellbookFile2(
        rows, writeSpells(library.folder(), "book.sbok", 3, "Mira||7||Elf||Mage||||||||||||||||||\r\n"));
    book.ImportSpellbook(rows, true, true, true, [](int done, int) { return done < 1; });
    EXPECT_EQ(library.rows("SELECT Spellbook FROM SpellCasters"), QStringList{"Mira"});
    EXPECT_EQ(library.rows("SELECT SpellName FROM Spellbook WHERE Caster = 'Mira'"), QStringList{"Spell 0"});
}

TEST_F(LibraryTest, TheReviewComparesWhatAnImportStoresWithTheFirstRowOfEachName)
{
    library.addSpell("Spell 0", "1", {"Alteration"});
    library.setSpell("Spell 0", {{"Book", "PHB"},
                                 {"Page", "9"},
                                 {"Components", "V"},
                                 {"Range", "Touch"},
                                 {"Duration", "1 round"},
                                 {"[Area of Effect]", "One"},
                                 {"[Casting Time Type]", "Round(s)"},
                                 {"[Saving Throw]", "None"},
                                 {"Description", "Text"},
                                 {"Author", "Author"},
                                 {"Frequency", "Rare"}});
    library.addSpell("Spell 1", "1", {"Evocation", "Alteration"});
    library.setSpell("Spell 1", {{"Author", QString()}}); // NULL reads as empty
    library.addSpell("Spell 1", "9", {}); // a second row of the name: an import never touches it

    VM_SpellSaver saver;
    ListRows list;
    QByteArray file = "For Vellumar Use Only\r\n3\r\n" + spellLine(0, " Alteration ") +
                      spellLine(1, "Alteration~~Evocation") + spellLine(2);
    saver.OpenSpellFile2(list, writeFile(library.folder(), "three.spel", file));

    ImportReview review;
    review.read(library.db(), saver.Import_List());
    const std::vector<VM_Spell> &records = saver.Import_List();
    EXPECT_EQ(review.status(records[0]), ImportReview::Status::Same); // blanks and school order aside
    EXPECT_EQ(review.status(records[1]), ImportReview::Status::Changed);
    EXPECT_EQ(review.status(records[2]), ImportReview::Status::New);
    const ImportReview::Difference difference = review.difference(records[1]);
    EXPECT_TRUE(difference.schoolsAdded.isEmpty());
    EXPECT_TRUE(difference.schoolsRemoved.isEmpty());
    EXPECT_TRUE(difference.fields.contains(SpellFields::Author));
    EXPECT_FALSE(difference.fields.contains(SpellFields::Level)); // the first row's level, 1
    ASSERT_NE(review.libraryVersion(" Spell 1 "), nullptr);
    EXPECT_EQ(review.libraryVersion("Spell 1")->details.at(SpellFields::Author), QString());
}

// What an import brought in is taken in by the review when it is next asked: a version handed
// out before stays valid while later questions take in the rest, and each spell reads as the
// file gave it.
TEST_F(LibraryTest, TheReviewTakesInWhatAnImportBroughtWhenAskedAndKeepsWhatItHandedOut)
{
    library.addSpell("Spell 0", "2", {"Alteration"}); // other details than the file's
    for (int i = 1; i < 300; ++i)
        library.addSpell(QStringLiteral("Spell %1").arg(i), "1", {"Alteration"});
    VM_SpellSaver saver;
    ListRows list;
    saver.OpenSpellFile2(list, writeSpells(library.folder(), "many.spel", 300));
    const std::vector<VM_Spell> &records = saver.Import_List();
    ImportReview review;
    review.read(library.db(), records);
    std::vector<qsizetype> imported(299);
    std::iota(imported.begin(), imported.end(), 1);
    review.adoptLater(records, imported);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(review.libraryVersion("No such spell"), nullptr);
    const ImportReview::Version *version = review.libraryVersion("Spell 0");
    ASSERT_NE(version, nullptr);
    EXPECT_FALSE(review.difference(records[0]).isEmpty()); // the ninth question takes in every spell
    EXPECT_EQ(version, review.libraryVersion("Spell 0"));
    EXPECT_EQ(version->details.at(SpellFields::Level), "2");
    for (const qsizetype i : imported)
        EXPECT_EQ(review.status(records[size_t(i)]), ImportReview::Status::Same) << i;
}
