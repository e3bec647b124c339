#include "BrowserFixture.h"
#include "SpellFiles.h"
#include "exchange/VM_SpellSaver.h"

namespace {

class ExportTest : public BrowserTest
{
protected:
    QString fileNamed(const QString &name) const { return QDir(library.folder()).filePath(name); }
};

} // namespace

TEST_F(ExportTest, SelectedSpellsAreWrittenToAFileThatReadsBack)
{
    Frm_Browser *kxr = openBrowser("KXR");
    selectSpells(kxr, {"Maud's \"Quiet\" Step", "Cinder Veil"});
    const QString path = fileNamed("chosen.spel");
    prompt.chooseFile(path);
    pressButton(kxr, "Export Selected Spells");
    EXPECT_EQ(prompt.shown(),
              QStringList{"save: Spell Files (*.spel)|*.spel|Markdown (*.md)|*.md|JSON (*.json)|*.json"});
    EXPECT_EQ(prompt.suggestedNames(), QStringList{"KXR.spel"});
    EXPECT_TRUE(frame().statusPanel(2)->text().isEmpty());

    EXPECT_EQ(namesInSpellFile(path), (QStringList{"Cinder Veil", "Maud's \"Quiet\" Step"}));

    // One spell selected: its name is offered. Cancelling ends the command without a word.
    selectSpells(kxr, {"Cinder Veil"});
    prompt.clear();
    prompt.cancelFile();
    pressButton(kxr, "Export Selected Spells");
    EXPECT_EQ(prompt.suggestedNames(), QStringList{"Cinder Veil.spel"});
    EXPECT_TRUE(prompt.messages().isEmpty());

    // Nothing selected: said before any file is asked for, and the file as it was.
    const QByteArray written = fileBytes(path);
    spellsOf(kxr)->clearSelection();
    prompt.clear();
    choosePopupEntry(spellsOf(kxr), "Private_Browser_Export");
    EXPECT_EQ(prompt.shown(), QStringList{"There are no spells selected"});
    EXPECT_TRUE(frame().statusPanel(2)->text().isEmpty());
    EXPECT_EQ(fileBytes(path), written);
}

TEST_F(ExportTest, SpellbooksExportFullOrFilteredButNeverKXROrAnEmptyOne)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    selectExactly(bryn, "Lst_Levels", {"2nd"});
    pressButton(bryn, "Requery");
    ASSERT_EQ(namesIn(bryn), QStringList{"Bramble Gate"});

    const QString full = fileNamed("full.sbok");
    const QString filtered = fileNamed("filtered.sbok");
    prompt.chooseFile(full);
    chooseEntry(bryn, "Export Spellbook", "Full");
    prompt.chooseFile(filtered);
    chooseEntry(bryn, "Export Spellbook", "Filtered");
    EXPECT_EQ(prompt.shown(),
              QStringList(2, "save: Spellbooks (*.sbok)|*.sbok|Markdown (*.md)|*.md|JSON (*.json)|*.json"));

    EXPECT_EQ(namesInSpellFile(full), (QStringList{"Bramble Gate", "Cinder Veil"}));
    EXPECT_EQ(namesInSpellFile(filtered), QStringList{"Bramble Gate"});
    VM_SpellSaver reader;
    ListRows read;
    reader.OpenSpellbookFile2(read, full);
    EXPECT_EQ(reader.Caster_Details().value(0), "Bryn");

    // The file name's extension picks Markdown or JSON instead of the exchange file.
    prompt.chooseFile(fileNamed("bryn.md"));
    chooseEntry(bryn, "Export Spellbook", "Filtered");
    EXPECT_TRUE(fileBytes(fileNamed("bryn.md")).startsWith("# Bryn\n"));
    EXPECT_FALSE(fileBytes(fileNamed("bryn.md")).contains("Cinder Veil"));
    selectSpells(bryn, {"Bramble Gate"});
    prompt.chooseFile(fileNamed("bryn.json"));
    pressButton(bryn, "Export Selected Spells");
    EXPECT_TRUE(fileBytes(fileNamed("bryn.json")).contains("\"name\": \"Bramble Gate\""));

    prompt.clear();
    Frm_Browser *kxr = openBrowser("KXR");
    // KXR offers no spellbook export at all.
    EXPECT_FALSE(canPress(kxr, "Export Spellbook"));
    Frm_Browser *corwin = openBrowser("Corwin");
    chooseEntry(corwin, "Export Spellbook", "Filtered");
    pressButton(corwin, "Export Selected Spells");
    EXPECT_EQ(prompt.shown(), (QStringList{"You can not Export an empty Spellbook.",
                                           "There are no spells in this Spellbook to export"}));
}
