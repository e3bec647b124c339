#include "WindowTest.h"

#include "exchange/VM_SpellSaver.h"
#include "import/Frm_Import.h"
#include "widgets/ListViewModel.h"

#include <QGroupBox>
#include <QProgressDialog>

namespace {

// Files as an older installation wrote them: Windows-1252, CR LF.
const QByteArray kHeader = "For Vellumar Use Only\r\n";
// Held by the library exactly as the file has it.
const QByteArray kSameLine = "Ward of Ash||3||Common||x||KXR||12||V,S||60 yards||1 round||One creature||"
                             "Segment(s)||1||Neg.||A test spell.||||Abjuration\r\n";
// In the library with another description, and Evocation where the file has Alteration.
const QByteArray kChangedLine =
    "Cinder Veil||2||Common||||KXR||12||V,S||60 yards||1 round||One creature||"
    "Segment(s)||1||Neg.||A veil of embers.^^It smoulders.||||Abjuration~~Alteration\r\n";
// Not in the library; one of its schools is unknown there.
const QByteArray kNewLine =
    "Caf\xE9 Light||1||Rare||||Homebrew||3||V||Touch||1 hour||1 room||Turn(s)||2||None||"
    "A warm glow.||Ren\xE9"
    "e||Alteration~~Druidic Lore\r\n";
const QString kCafe = QStringLiteral("Caf\u00E9 Light");
const QString kOverwriteOne =
    "Import will replace the details of 1 spell in your library. Continue?\n"
    "Answer No to keep your library's details of those spells and import only the new ones.";

class ImportWindowTest : public WindowTest
{
protected:
    ImportWindowTest()
    {
        for (const char *school : {"Abjuration", "Alteration", "Evocation"})
            library.addSchool(school);
        library.addSpell("Ward of Ash", "3", {"Abjuration"});
        library.addSpell("Cinder Veil", "2", {"Evocation", "Abjuration"});
        library.addCaster("Bryn");
    }

    QString file(const QString &name, const QByteArray &lines, int count, const QByteArray &caster = {})
    {
        return writeFile(library.folder(), name,
                         kHeader + QByteArray::number(count) + "\r\n" + caster + lines);
    }
    QString spellsFile() { return file("friend.spel", kSameLine + kChangedLine + kNewLine, 3); }
    QString spellbookFile()
    {
        return file("mira.sbok", kChangedLine + kNewLine, 2,
                    "Mira||7||Human||Mage||4||3||2||1||||||||||\r\n");
    }

    Frm_Import *importWindow()
    {
        pressButton(&frame(), "Import Spells");
        return OpenWindows::all<Frm_Import>(frame().area()).value(0);
    }
    void open(Frm_Import *window, const QString &path)
    {
        prompt.chooseFile(path);
        chooseMenuEntry(window, "Menu_File_Open");
    }

    static ListView *spells(const Frm_Import *window) { return control<ListView>(window, "LV_Spells"); }
    static QStringList checkedNames(const Frm_Import *window)
    {
        QStringList names;
        const ListView *list = spells(window);
        for (int row = 0; row < list->rowCount(); ++row) {
            if (list->rows()->isChecked(row))
                names.append(list->text(row));
        }
        return names;
    }
    static void show(Frm_Import *window, const QString &name, int occurrence = 0)
    {
        ListView *list = spells(window);
        for (int row = 0; row < list->rowCount(); ++row) {
            if (list->text(row) == name && occurrence-- == 0) {
                clickRow(list, row);
                return;
            }
        }
        ADD_FAILURE() << "no row " << name.toStdString();
    }
    static QString panel(const Frm_Import *window, int number)
    {
        return panelTexts(window, "SB").value(number - 1);
    }
    // Typed into a box, the text is refused by the button with that message and stays in the box
    // until it is put back.
    void refuses(Frm_Import *window, const char *box, const QString &typed, const char *button,
                 const QString &message)
    {
        const QString kept = boxText(window, box);
        typeText(window, box, typed);
        prompt.clear();
        pressButton(window, button);
        EXPECT_EQ(prompt.shown(), QStringList{message}) << box;
        EXPECT_EQ(boxText(window, box), typed) << box;
        typeText(window, box, kept);
    }
    const VM_Spell &record(const Frm_Import *window, qsizetype index)
    {
        return window->saver().Import_List().at(size_t(index));
    }
};

} // namespace

TEST_F(ImportWindowTest, OnlyExactSpelAndSbokExtensionsOpenAndTheWindowIsOneOfItsKind)
{
    Frm_Import *window = importWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Vellumar Import");
    EXPECT_EQ(importWindow(), window);
    EXPECT_EQ(OpenWindows::all<Frm_Import>(frame().area()).size(), 1);

    const QString path = spellsFile();
    open(window, path);
    EXPECT_EQ(prompt.shown(), QStringList{"open: Vellumar Files (*.spel;*.sbok)|*.spel;*.sbok"});
    EXPECT_EQ(window->windowTitle(), "Vellumar Import (" + path + ")");

    // A refused file leaves the loaded one in place, with the loading text still showing.
    for (const char *refused : {"FRIEND.SPEL", "friend.Sbok", "friend.v2.spel", "scrolls.srol", "friend"}) {
        prompt.clear();
        open(window, file(refused, kNewLine, 1));
        EXPECT_EQ(prompt.messages(), QStringList{"A file of an invalid type was requested to be opened"})
            << refused;
        EXPECT_EQ(panel(window, 2), QStringLiteral("Loading Spells from %1...").arg(refused));
        EXPECT_EQ(columnTexts(spells(window)), (QStringList{"Ward of Ash", "Cinder Veil", kCafe}));
        EXPECT_EQ(window->windowTitle(), "Vellumar Import (" + path + ")");
    }

    // A file that is not an exchange file says so and changes nothing; cancelling the dialog says
    // nothing.
    prompt.clear();
    open(window, writeFile(library.folder(), "notes.spel", "Shopping list\r\n"));
    EXPECT_EQ(prompt.messages(), QStringList{"Invalid File requested for Import"});
    EXPECT_EQ(columnTexts(spells(window)), (QStringList{"Ward of Ash", "Cinder Veil", kCafe}));
    EXPECT_EQ(window->windowTitle(), "Vellumar Import (" + path + ")");
    prompt.clear();
    prompt.cancelFile();
    chooseMenuEntry(window, "Menu_File_Open");
    EXPECT_TRUE(prompt.messages().isEmpty());

    chooseMenuEntry(window, "Menu_File_Exit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(OpenWindows::all<Frm_Import>(frame().area()).isEmpty());
}

TEST_F(ImportWindowTest, TheReviewSaysWhatEachSpellWouldChange)
{
    Frm_Import *window = importWindow();
    open(window, spellsFile());

    ListView *list = spells(window);
    EXPECT_EQ(columnTexts(list, 1), (QStringList{"3", "2", "1"}));
    EXPECT_EQ(columnTexts(list, 2), (QStringList{"", "", "Ren\u00E9e"}));
    EXPECT_EQ(columnTexts(list, 3), (QStringList{"Same", "Changed", "New"}));
    EXPECT_EQ(checkedNames(window), (QStringList{"Ward of Ash", "Cinder Veil", kCafe}));
    EXPECT_EQ(panelTexts(window, "SB"), (QStringList{"1 of 3", "3 spells: 1 new, 1 changed, 1 same"}));
    EXPECT_EQ(control<QLabel>(window, "lbl_Changes")->text(),
              "Your library holds this spell exactly as it is here.");

    show(window, "Cinder Veil");
    EXPECT_EQ(panelTexts(window, "SB"), (QStringList{"2 of 3", "Displaying details for Cinder Veil"}));
    EXPECT_EQ(boxText(window, "txt_Desc"), "A veil of embers.\nIt smoulders.");
    EXPECT_EQ(control<QTextEdit>(window, "txt_Desc")->toolTip(), "In your library: A test spell.");
    EXPECT_EQ(control<QLineEdit>(window, "txt_Range")->toolTip(), QString());
    EXPECT_EQ(
        control<QLabel>(window, "lbl_Changes")->text(),
        "Changed from your library: Description (your library: A test spell.). Schools added: Alteration. "
        "Schools removed: Evocation.");
    EXPECT_EQ(selectedItems(window, "Lst_Schools"), (QStringList{"Abjuration", "Alteration"}));

    // The popup's entries choose by what an import would do.
    chooseMenuEntry(window, "PopUp_CheckNew");
    EXPECT_EQ(checkedNames(window), QStringList{kCafe});
    chooseMenuEntry(window, "PopUp_CheckNewChanged");
    EXPECT_EQ(checkedNames(window), (QStringList{"Cinder Veil", kCafe}));
    chooseMenuEntry(window, "PopUp_UnCheck");
    EXPECT_EQ(checkedNames(window), QStringList());
    chooseMenuEntry(window, "PopUp_Check");
    EXPECT_EQ(checkedNames(window).size(), 3);

    // Overwriting a changed spell is asked about once; No imports only the spell the library lacks.
    prompt.answer(false);
    pressButton(window, "Import");
    EXPECT_EQ(prompt.questions(), QStringList{kOverwriteOne});
    EXPECT_EQ(panel(window, 2), "Checked Spells Imported");
    EXPECT_EQ(library.rows("SELECT Name, Lvl, Author FROM Spells ORDER BY Name"),
              (QStringList{"Caf\u00E9 Light|1|Ren\u00E9e", "Cinder Veil|2|", "Ward of Ash|3|"}));
    EXPECT_EQ(library.rows("SELECT Description FROM Spells WHERE Name = 'Cinder Veil'"),
              QStringList{"A test spell."});
    // The review follows the library it changed.
    EXPECT_EQ(columnTexts(list, 3), (QStringList{"Same", "Changed", "Same"}));

    // Yes overwrites.
    prompt.clear();
    chooseMenuEntry(window, "PopUp_Check");
    prompt.answer(true);
    pressButton(window, "Import");
    EXPECT_EQ(prompt.questions().size(), 1);
    EXPECT_EQ(library.rows("SELECT Sphere FROM SpellandSphere WHERE Name = 'Cinder Veil' ORDER BY Sphere"),
              (QStringList{"Abjuration", "Alteration"}));
    EXPECT_EQ(columnTexts(list, 3), (QStringList{"Same", "Same", "Same"}));
    show(window, "Cinder Veil");
    EXPECT_EQ(control<QLabel>(window, "lbl_Changes")->text(),
              "Your library holds this spell exactly as it is here.");
    // A correction after the import is judged against the spell as it was imported.
    typeText(window, "txt_Range", "Far away");
    pressButton(window, "Save");
    EXPECT_EQ(columnTexts(list, 3), (QStringList{"Same", "Changed", "Same"}));
    EXPECT_EQ(control<QLabel>(window, "lbl_Changes")->text(),
              "Changed from your library: Range (your library: 60 yards).");
    typeText(window, "txt_Range", "60 yards");
    pressButton(window, "Save");

    // Changes made elsewhere are followed. A description whose lines the program broke with LF
    // is the file's CR LF text all the same.
    library.db().exec("UPDATE Spells SET Description = replace(Description, char(13), '') "
                      "WHERE Name = 'Cinder Veil';");
    ASSERT_EQ(library.rows("SELECT instr(Description, char(10)) > 0 FROM Spells WHERE Name = 'Cinder Veil'"),
              QStringList{"1"});
    emit frame().events().spellsChanged();
    EXPECT_EQ(columnTexts(list, 3), (QStringList{"Same", "Same", "Same"}));
    library.db().exec("UPDATE Spells SET Range = 'Far' WHERE Name = 'Cinder Veil';"
                      "DELETE FROM Spells WHERE Name = 'Ward of Ash';");
    emit frame().events().spellDeleted("Ward of Ash");
    EXPECT_EQ(columnTexts(list, 3), (QStringList{"New", "Changed", "Same"}));

    // Sorting keeps each row with its own record.
    clickHeader(list, 1);
    ASSERT_EQ(list->header()->sortIndicatorSection(), 1);
    show(window, kCafe); // the first row and the last swapped places
    EXPECT_EQ(boxText(window, "txt_Desc"), "A warm glow.");
    show(window, "Cinder Veil");
    EXPECT_EQ(panel(window, 1), "2 of 3");
}

TEST_F(ImportWindowTest, SaveStoresTheShownRecordOnlyWithAtLeastOneKnownSchool)
{
    Frm_Import *window = importWindow();
    open(window, spellsFile());
    show(window, kCafe);
    // The school the library does not know is shown, marked as new, after the known ones.
    EXPECT_EQ(record(window, 2).Fetch_Spell_Schools_Collection(),
              (QStringList{"Alteration", "Druidic Lore"}));
    EXPECT_EQ(selectedItems(window, "Lst_Schools"), (QStringList{"Alteration", "Druidic Lore (new)"}));
    auto *schools = control<QListWidget>(window, "Lst_Schools");
    EXPECT_EQ(schools->item(schools->count() - 1)->text(), "Druidic Lore (new)");
    EXPECT_EQ(control<QComboBox>(window, "cbo_CT")->currentText(), "Turn(s)");
    EXPECT_EQ(boxText(window, "txt_CT"), "2");

    selectExactly(window, "Lst_Schools", {});
    typeText(window, "txt_Range", "Ten feet");
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{"You must select at least one School"});
    EXPECT_EQ(panel(window, 2), QString());
    EXPECT_EQ(record(window, 2).Fetch_Spell_Range(), "Touch");
    EXPECT_FALSE(record(window, 2).WasUpdated());

    // "Special" takes the casting time away.
    chooseItem(window, "cbo_CT", "Special");
    EXPECT_EQ(boxText(window, "txt_CT"), QString());
    EXPECT_FALSE(control<QLineEdit>(window, "txt_CT")->isEnabled());

    selectExactly(window, "Lst_Schools", {"Alteration", "Evocation"});
    // A correction no spells file could carry is refused, and kept in its box to be changed.
    typeText(window, "txt_Range", "Ten || feet");
    prompt.clear();
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(),
              QStringList{"The range holds \"||\", which separates the fields of a Vellumar file.\n"
                          "Change the range so that the spell can be exported."});
    EXPECT_EQ(boxText(window, "txt_Range"), "Ten || feet");
    EXPECT_FALSE(record(window, 2).WasUpdated());
    typeText(window, "txt_Range", "Ten feet");
    pressButton(window, "Save");
    const VM_Spell &saved = record(window, 2);
    EXPECT_EQ(saved.Fetch_Spell_Schools_Collection(), (QStringList{"Alteration", "Evocation"}));
    EXPECT_EQ(saved.Fetch_Spell_Range(), "Ten feet");
    EXPECT_EQ(saved.Fetch_Spell_Casting_Time(), QString());
    EXPECT_EQ(saved.Fetch_Spell_Casting_Time_Type(), "Special");
    EXPECT_EQ(panel(window, 2), kCafe + " has been updated for Import");
    show(window, "Ward of Ash");
    show(window, kCafe);
    EXPECT_EQ(panel(window, 2), "Displaying details for " + kCafe + " - UPDATED");

    // Opening another file would lose the correction: asked first, No keeps it.
    prompt.clear();
    prompt.answer(false);
    chooseMenuEntry(window, "Menu_File_Open");
    EXPECT_EQ(prompt.shown().size(), 1); // the question, no file dialog
    EXPECT_EQ(record(window, 2).Fetch_Spell_Range(), "Ten feet");
    // So would closing the window, by Exit or by the program's close: No keeps it open.
    prompt.answer(false);
    chooseMenuEntry(window, "Menu_File_Exit");
    prompt.answer(false);
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(prompt.questions().size(), 3);
    EXPECT_TRUE(prompt.questions().last().startsWith(
        "Spells you updated in this file have not been imported. Close"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(OpenWindows::all<Frm_Import>(frame().area()).size(), 1);
    // The warning follows the corrections, not the last import: one that leaves the corrected
    // spell out still asks.
    chooseMenuEntry(window, "PopUp_UnCheck");
    toggleCheck(spells(window), 0);
    pressButton(window, "Import");
    EXPECT_EQ(panel(window, 2), "Checked Spells Imported");
    prompt.answer(false);
    chooseMenuEntry(window, "Menu_File_Open");
    EXPECT_EQ(prompt.questions().size(), 4);
    EXPECT_EQ(record(window, 2).Fetch_Spell_Range(), "Ten feet");
    chooseMenuEntry(window, "PopUp_CheckNew");
    pressButton(window, "Import");
    EXPECT_EQ(
        library.rows("SELECT Range, [Casting Time], [Casting Time Type] FROM Spells WHERE Name = ?", {kCafe}),
        QStringList{"Ten feet||Special"});
    // Imported, the correction is safe: the next file opens without a question.
    prompt.clear();
    open(window, spellsFile());
    EXPECT_TRUE(prompt.questions().isEmpty());
}

// One spell name is one decision: a later line of a name is left out, and said so; the row, its
// correction, its check box and what the library gets are the first line's.
TEST_F(ImportWindowTest, ANameRepeatedInAFileIsOneRowOneCorrectionAndOneImport)
{
    Frm_Import *window = importWindow();
    const QByteArray second = "Ward of Ash||4||Common||||KXR||99||V||Touch||1 turn||One creature||"
                              "Round(s)||1||None||The second ward.||||Abjuration\r\n";
    open(window, file("twice.spel", kNewLine + kSameLine + second, 3));
    EXPECT_EQ(prompt.messages(),
              QStringList{"Line 5 was left out: \"Ward of Ash\" is named on line 4 already; "
                          "that line is the one imported."});
    EXPECT_EQ(columnTexts(spells(window)), (QStringList{kCafe, "Ward of Ash"}));
    EXPECT_EQ(window->saver().Import_List().size(), 2u);

    show(window, "Ward of Ash");
    EXPECT_EQ(boxText(window, "txt_Page"), "12");
    typeText(window, "txt_Page", "100");
    pressButton(window, "Save");
    EXPECT_EQ(columnTexts(spells(window), 3), (QStringList{"New", "Changed"}));
    prompt.answer(true);
    pressButton(window, "Import");
    QStringList shown;
    for (int row = 0; row < spells(window)->rowCount(); ++row) {
        show(window, spells(window)->text(row));
        shown.append(spells(window)->text(row) + "|" + spells(window)->text(row, 1) + "|" +
                     boxText(window, "txt_Page") + "|" + boxText(window, "txt_Desc"));
    }
    EXPECT_EQ(library.rows("SELECT Name, Lvl, Page, Description FROM Spells WHERE Name <> 'Cinder Veil' "
                           "ORDER BY Name"),
              shown);
    EXPECT_EQ(columnTexts(spells(window), 3), (QStringList{"Same", "Same"}));
}

TEST_F(ImportWindowTest, ASpellbookImportsUnderItsEditedNameAndTheFrameFollows)
{
    Frm_Import *window = importWindow();
    auto *panel = control<QGroupBox>(window, "fra_Spellbook");
    auto *options = control<QMenu>(window, "Menu_Spellbook");
    EXPECT_FALSE(panel->isVisibleTo(window));
    EXPECT_FALSE(options->menuAction()->isVisible());

    open(window, spellbookFile());
    EXPECT_TRUE(panel->isVisibleTo(window));
    EXPECT_TRUE(options->menuAction()->isVisible());
    EXPECT_EQ(menuTexts(options),
              (QStringList{"&Replace Existing Spellbook List", "Replace Existing Spellbook &Details", "-",
                           "&Overwrite Existing Spell Details"}));
    for (QAction *option : options->actions())
        EXPECT_TRUE(option->isSeparator() || option->isChecked());
    EXPECT_EQ(boxText(window, "txt_SB"), "Mira");
    EXPECT_EQ(boxText(window, "Txt_Race"), "Human");
    EXPECT_EQ(boxText(window, "txt_4"), "1");
    EXPECT_EQ(checkedNames(window), (QStringList{"Cinder Veil", kCafe}));

    // Without overwriting, the changed spell is kept and nothing is asked.
    chooseMenuEntry(window, "Menu_Spellbook_Overwrite");
    typeText(window, "txt_SB", "  Mira the Bold ");
    pressButton(window, "Import");
    EXPECT_TRUE(prompt.questions().isEmpty());
    EXPECT_EQ(panelTexts(window, "SB").value(1), "Spellbook Imported");
    EXPECT_EQ(
        library.rows(
            "SELECT Spellbook, Lvl, Race, First, Fourth FROM SpellCasters WHERE Spellbook LIKE 'Mira%'"),
        QStringList{"Mira the Bold|7|Human|4|1"});
    EXPECT_EQ(
        library.rows("SELECT SpellName FROM Spellbook WHERE Caster = 'Mira the Bold' ORDER BY SpellName"),
        (QStringList{"Caf\u00E9 Light", "Cinder Veil"}));
    EXPECT_EQ(library.rows("SELECT Description FROM Spells WHERE Name = 'Cinder Veil'"),
              QStringList{"A test spell."});
    EXPECT_TRUE(menuTexts(frame().TB_Main()->buttonMenu("Browser")).contains("Mira the Bold"));

    // With it, the question comes first.
    chooseMenuEntry(window, "Menu_Spellbook_Overwrite");
    prompt.answer(true);
    pressButton(window, "Import");
    EXPECT_EQ(prompt.questions(), QStringList{kOverwriteOne});

    // A spells file afterwards hides the caster; its details stay with the saver, unused.
    open(window, spellsFile());
    EXPECT_FALSE(panel->isVisibleTo(window));
    EXPECT_FALSE(options->menuAction()->isVisible());
    EXPECT_EQ(window->saver().Caster_Details().value(0), "Mira the Bold");
    const int casters = library.count("SELECT count(*) FROM SpellCasters");
    chooseMenuEntry(window, "PopUp_CheckNew");
    pressButton(window, "Import");
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellCasters"), casters);
}

TEST_F(ImportWindowTest, CancellingALongImportKeepsTheSpellsAlreadyImportedAndSaysHowMany)
{
    QByteArray lines;
    for (int i = 0; i < 600; ++i)
        lines += "Spell " + QByteArray::number(i) +
                 "||1||Rare||||PHB||9||V||Touch||1 round||One||Round(s)||1||"
                 "None||Text||Author||Alteration\r\n";
    Frm_Import *window = importWindow();
    open(window, file("many.spel", lines, 600));
    const int before = library.count("SELECT count(*) FROM Spells");
    // Cancel is pressed as soon as the import first lets the window breathe.
    QTimer::singleShot(0, window, [window] {
        if (auto *progress = window->findChild<QProgressDialog *>())
            progress->cancel();
    });
    pressButton(window, "Import");
    const int imported = library.count("SELECT count(*) FROM Spells") - before;
    EXPECT_GT(imported, 0);
    EXPECT_LT(imported, 600);
    const QString said = QStringLiteral("Import cancelled: %1 of 600 spells were imported.").arg(imported);
    EXPECT_EQ(prompt.messages(), QStringList{said});
    EXPECT_EQ(panelTexts(window, "SB").value(1), said);
    // The spells left are judged as before, however many there are.
    EXPECT_EQ(columnTexts(spells(window), 3).count("Same"), imported);
    EXPECT_EQ(columnTexts(spells(window), 3).count("New"), 600 - imported);
    chooseMenuEntry(window, "PopUp_CheckNew");
    EXPECT_EQ(checkedNames(window).size(), 600 - imported);
}

TEST_F(ImportWindowTest, ACasterEditedIntoWhatNoSpellbookFileCouldHoldIsRefusedBeforeTheImport)
{
    Frm_Import *window = importWindow();
    open(window, spellbookFile());
    const QStringList before = library.dump();
    const struct
    {
        const char *box;
        const char *typed;
        const char *message;
    } cases[] = {
        {"txt_SB", "Mira || Bo",
         "The spellbook name holds \"||\", which separates the fields of a Vellumar file.\n"
         "Change the spellbook name so that the spellbook can be exported."},
        {"Txt_Class", "Mage|",
         "The class ends with \"|\", which would merge with the \"||\" after it.\n"
         "Change the class so that the spellbook can be exported."},
        {"txt_3", "2||",
         "The 3rd-level figure holds \"||\", which separates the fields of a Vellumar file.\n"
         "Change the 3rd-level figure so that the spellbook can be exported."},
    };
    for (const auto &refused : cases) {
        refuses(window, refused.box, refused.typed, "Import", refused.message);
        EXPECT_EQ(library.dump(), before) << refused.box;
    }
    prompt.answer(true);
    pressButton(window, "Import");
    EXPECT_EQ(library.rows("SELECT Class FROM SpellCasters WHERE Spellbook = 'Mira'"), QStringList{"Mage"});
}

// Spells the library could not list (a level outside 1 to 9, no school) are shown, unchecked and
// marked with the reason; corrected, they are checked and imported; checked uncorrected, the
// import names them and leaves them out.
TEST_F(ImportWindowTest, ASpellWithoutALevelOrASchoolIsMarkedAndImportedOnlyOnceCorrected)
{
    const auto spell = [](const QByteArray &name, const QByteArray &level, const QByteArray &schools) {
        return name + "||" + level +
               "||Rare||||PHB||9||V||Touch||1 round||One||Round(s)||1||None||Text||Me||" + schools + "\r\n";
    };
    Frm_Import *window = importWindow();
    open(window, file("odd.spel",
                      spell("High", "12", "Abjuration") + spell("Wordy", "abc", "Abjuration") +
                          spell("Homeless", "3", "") + spell("Sound", "3", "Abjuration"),
                      4));
    ListView *list = spells(window);
    EXPECT_EQ(columnTexts(list, 3), (QStringList{"To correct", "To correct", "To correct", "New"}));
    EXPECT_EQ(checkedNames(window), QStringList{"Sound"});
    EXPECT_EQ(panel(window, 2), "4 spells: 1 new, 0 changed, 0 same, 3 to correct before import");
    chooseMenuEntry(window, "PopUp_Check");
    EXPECT_EQ(checkedNames(window), QStringList{"Sound"});

    show(window, "High");
    auto *level = control<QComboBox>(window, "cbo_Level");
    EXPECT_EQ(level->currentIndex(), -1);
    EXPECT_EQ(level->placeholderText(), "12");
    EXPECT_EQ(
        control<QLabel>(window, "lbl_Changes")->text(),
        "Cannot be imported as it is: its level \"12\" is not one from 1 to 9. Correct it and press Save.");
    show(window, "Homeless");
    EXPECT_TRUE(control<QLabel>(window, "lbl_Changes")->text().contains("it has no school"));

    // Checked by hand, an uncorrected spell is named and left out.
    toggleCheck(list, 1);
    pressButton(window, "Import");
    EXPECT_EQ(prompt.lastMessage(), "1 checked spell was not imported, since the library could not list it:\n"
                                    "Wordy: its level \"abc\" is not one from 1 to 9.\n"
                                    "Give each a level from 1 to 9 and a school, then import it.");
    EXPECT_EQ(library.rows("SELECT Name FROM Spells WHERE Author = 'Me'"), QStringList{"Sound"});

    // Corrected through the window, the spell is checked and imported.
    show(window, "High");
    chooseItem(window, "cbo_Level", "5");
    pressButton(window, "Save");
    show(window, "Homeless");
    selectExactly(window, "Lst_Schools", {"Evocation"});
    pressButton(window, "Save");
    EXPECT_EQ(columnTexts(list, 1), (QStringList{"5", "abc", "3", "3"}));
    EXPECT_EQ(columnTexts(list, 3), (QStringList{"New", "To correct", "New", "Same"}));
    toggleCheck(list, 1);
    prompt.clear();
    pressButton(window, "Import");
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(library.rows("SELECT Name, Lvl FROM Spells WHERE Author = 'Me' ORDER BY Name"),
              (QStringList{"High|5", "Homeless|3", "Sound|3"}));
    EXPECT_EQ(library.rows("SELECT Sphere FROM SpellandSphere WHERE Name = 'Homeless'"),
              QStringList{"Evocation"});
}

// Drop-downs keep a value they do not offer, shown greyed, and Save and the import keep it; text
// past its length or holding a control character is refused where it is typed.
TEST_F(ImportWindowTest, ACorrectionKeepsWhatTheListsDoNotOfferAndRefusesWhatNoFileTakes)
{
    Frm_Import *window = importWindow();
    open(window, file("odd.spel",
                      "Sparks||2||Rare||||PHB||9||S,V||Touch||1 round||One||Round(s)||1||None||Text||Me||"
                      "Abjuration\r\n",
                      1));
    auto *components = control<QComboBox>(window, "cbo_Components");
    EXPECT_EQ(components->currentIndex(), -1);
    EXPECT_EQ(components->placeholderText(), "S,V");
    const struct
    {
        const char *box;
        QString typed;
        QString message;
    } refused[] = {
        {"txt_Range", QString(256, u'r'),
         "The range is 256 characters long; it may have at most 255.\n"
         "Change the range so that the spell can be exported."},
        {"txt_Caster", QStringLiteral("Me\x1B"),
         "The author holds the control character U+001B, which is no part of a text.\n"
         "Change the author so that the spell can be exported."},
        {"txt_Desc", QString(20'001, u'd'),
         "The description is 20001 characters long; it may have at most 20000.\n"
         "Change the description so that the spell can be exported."},
    };
    for (const auto &c : refused) {
        refuses(window, c.box, c.typed, "Save", c.message);
        EXPECT_FALSE(record(window, 0).WasUpdated());
    }
    typeText(window, "txt_Desc", "One\tcolumn\nTwo");
    pressButton(window, "Save");
    EXPECT_EQ(record(window, 0).Fetch_Spell_Components(), "S,V");
    pressButton(window, "Import");
    EXPECT_EQ(library.rows("SELECT Components, Description FROM Spells WHERE Name = 'Sparks'"),
              QStringList{"S,V|One\tcolumn\r\nTwo"});
}

// A spellbook file grows the window within the area and one that fails at its header leaves the
// window as it was; a spells file after a spellbook file gives back the room the caster took; a
// spell's schools show without scrolling.
TEST_F(ImportWindowTest, AFailedFileChangesNothingAndTheLayoutFitsWhatIsShown)
{
    for (int i = 0; i < 20; ++i)
        library.addSchool(QStringLiteral("School %1").arg(i, 2, 10, QLatin1Char('0')).toUtf8());
    frame().resize(1300, 1000);
    Frm_Import *window = importWindow();
    auto *subWindow = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    ASSERT_NE(subWindow, nullptr);
    QCoreApplication::processEvents();
    const QRect area = frame().area()->viewport()->rect();
    // Made lower than the caster needs, and placed where the user left it: in the area's bottom
    // right corner, a little inside. The caster grows it within the area.
    subWindow->resize(subWindow->width(), 520);
    subWindow->move(area.width() - subWindow->width() - 4, area.height() - subWindow->height() - 4);
    const QSize spellsSize = subWindow->size();

    const QString book = spellbookFile();
    open(window, book);
    EXPECT_TRUE(subWindow->height() > spellsSize.height() || subWindow->width() > spellsSize.width());
    EXPECT_TRUE(area.contains(subWindow->geometry()))
        << subWindow->geometry().x() << "," << subWindow->geometry().y() << " " << subWindow->width() << "x"
        << subWindow->height() << " in " << area.width() << "x" << area.height();
    for (const QByteArray &header :
         {QByteArray("Not Ours\r\n1\r\n"), QByteArray("For Vellumar Use Only\r\nx\r\n")}) {
        prompt.clear();
        open(window, writeFile(library.folder(), "broken.sbok", header));
        EXPECT_EQ(prompt.messages().size(), 1);
        EXPECT_EQ(window->windowTitle(), "Vellumar Import (" + book + ")");
        EXPECT_EQ(boxText(window, "txt_SB"), "Mira");
        EXPECT_EQ(columnTexts(spells(window)), (QStringList{"Cinder Veil", kCafe}));
        EXPECT_EQ(window->saver().Import_List().size(), 2u);
    }

    open(window, file("wide.spel",
                      "Broad||2||Rare||||PHB||9||V||Touch||1 round||One||Round(s)||1||None||Text||Me||"
                      "Abjuration~~School 19~~School 07~~Evocation\r\n",
                      1));
    EXPECT_EQ(subWindow->size(), spellsSize);
    QCoreApplication::processEvents();
    auto *schools = control<QListWidget>(window, "Lst_Schools");
    const QRect visible = schools->viewport()->rect();
    int selected = 0;
    for (int i = 0; i < schools->count(); ++i) {
        if (!schools->item(i)->isSelected())
            continue;
        ++selected;
        EXPECT_TRUE(visible.contains(schools->visualItemRect(schools->item(i))))
            << schools->item(i)->text().toStdString();
    }
    EXPECT_EQ(selected, 4);
}
