#include "RecordingReportOutput.h"
#include "ScrollsFixture.h"
#include "SpellFiles.h"

#include "scrolls/Frm_Scrolls.h"

namespace {

const QString kLastLine =
    "You cannot delete the last Spell from a Scroll\n\nIf you want to delete the Scroll, "
    "highlight the Scroll\nin the Tree View and click the Delete button.";
const QString kDelete = "Are you sure you want to Delete the Selected Caster/ Scroll?";

// Which entries of the Print drop-down can be chosen, by key.
QStringList printEntries(const Frm_Scrolls *window)
{
    QStringList keys;
    const QList<QAction *> entries = window->findChild<QToolButton *>("Print")->menu()->actions();
    for (const QAction *entry : entries) {
        if (!entry->isSeparator() && entry->isEnabled())
            keys.append(entry->data().toString());
    }
    return keys;
}

// A drag of a browser's selected spells that ends on a list.
void dragOnto(Frm_Browser *from, ListView *target)
{
    EXPECT_TRUE(dragAndDrop(control<ListView>(from, "LV_Spells"), target->viewport()));
}

} // namespace

TEST_F(ScrollsTest, TheTreeHasOneNodePerScrollUnderEachCasterAndShowsTheChosenOnesLines)
{
    openScrolls();
    // A scroll of three lines is one node; the name both casters use is one node under each.
    EXPECT_EQ(treeTexts(), (QStringList{"Bryn", "  Embers", "  Frost", "Corwin", "  Embers"}));
    EXPECT_FALSE(canPress(window, "Print"));
    EXPECT_FALSE(canPress(window, "Delete"));
    EXPECT_FALSE(canPress(window, "Add"));

    click(node("Corwin", "Embers"));
    EXPECT_EQ(rowTexts(lines()),
              (QStringList{"Dusk Ward|1|Very Rare|KXR|12", "Bramble Gate|2|UnCommon|KXR|12"}));
    EXPECT_EQ(printEntries(window), (QStringList{"Print Selected Scroll", "Preview Selected Scroll"}));
    EXPECT_TRUE(canPress(window, "Add") && canPress(window, "Replace") && canPress(window, "Save"));
    EXPECT_TRUE(lines()->dropsAccepted());

    click(node("Bryn"));
    EXPECT_EQ(lines()->rowCount(), 0);
    EXPECT_FALSE(lines()->dropsAccepted());
    EXPECT_EQ(printEntries(window),
              (QStringList{"Print Selected Caster's Scrolls", "Preview Selected Caster's Scrolls"}));
    EXPECT_FALSE(canPress(window, "Add") || canPress(window, "Replace") || canPress(window, "Save"));
    EXPECT_TRUE(canPress(window, "Delete") && canPress(window, "Export Scroll"));

    // The tool bar's button brings the one window forward rather than opening another.
    pressButton(&frame(), "Manage Scrolls");
    EXPECT_EQ(OpenWindows::all<Frm_Scrolls>(frame().area()).size(), 1);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(ScrollsTest, DeletingScrollsAndCastersUpdatesTheTreeInPlace)
{
    openScrolls();
    click(node("Bryn", "Frost"));
    prompt.answer(false);
    pressButton(window, "Delete");
    EXPECT_EQ(library.count("SELECT count(*) FROM Scrolls"), 6);

    prompt.answer(true);
    pressButton(window, "Delete");
    EXPECT_EQ(prompt.messages(), QStringList{"Frost has been deleted"});
    EXPECT_EQ(treeTexts(), (QStringList{"Bryn", "  Embers", "Corwin", "  Embers"}));
    // The node chosen after the deletion shows as though clicked.
    EXPECT_EQ(tree()->currentItem(), node("Bryn", "Embers"));
    EXPECT_EQ(lines()->rowCount(), 3);

    // Corwin's only scroll goes with its caster node; Bryn's scroll of the same name stays.
    prompt.clear();
    click(node("Corwin", "Embers"));
    prompt.answer(true);
    pressButton(window, "Delete");
    EXPECT_EQ(prompt.messages(),
              QStringList{"Embers has been deleted. \n\nCorwin was also removed as that Caster "
                          "no longer has any Scrolls"});
    EXPECT_EQ(treeTexts(), (QStringList{"Bryn", "  Embers"}));
    EXPECT_EQ(savedSpells("Bryn", "Embers"), (QStringList{"Ember Call", "Amber Lantern", "Cinder Veil"}));

    prompt.clear();
    click(node("Bryn"));
    prompt.answer(true);
    pressButton(window, "Delete");
    EXPECT_EQ(prompt.messages(), QStringList{"All Scrolls for Bryn have been deleted"});
    EXPECT_TRUE(treeTexts().isEmpty());
    EXPECT_EQ(library.count("SELECT count(*) FROM Scrolls"), 0);
    EXPECT_FALSE(canPress(window, "Delete") || canPress(window, "Print"));
    EXPECT_EQ(prompt.questions(), (QStringList{kDelete}));
}

TEST_F(ScrollsTest, LinesAreAddedReplacedAndRemovedInTheListAndReachTheLibraryOnSave)
{
    openScrolls();
    click(node("Bryn", "Embers"));
    pick("Frost Lance");
    pressButton(window, "Add");
    selectLine("LV_Scrolls", 0);
    pick("Dusk Ward");
    pressButton(window, "Replace");
    selectLine("LV_Scrolls", 1);
    chooseMenuEntry(&frame(), "Private_Scroll_Remove");
    EXPECT_EQ(columnTexts(lines()), (QStringList{"Dusk Ward", "Cinder Veil", "Frost Lance"}));
    EXPECT_EQ(lines()->text(0, 2), "Very Rare");
    // Nothing is written before Save.
    EXPECT_EQ(savedSpells("Bryn", "Embers"), (QStringList{"Ember Call", "Amber Lantern", "Cinder Veil"}));

    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{"Scroll saved"});
    EXPECT_EQ(savedSpells("Bryn", "Embers"), (QStringList{"Dusk Ward", "Cinder Veil", "Frost Lance"}));
    EXPECT_EQ(savedSpells("Corwin", "Embers"), (QStringList{"Dusk Ward", "Bramble Gate"}));

    // The only line of a shown scroll stays, with a word on how to delete the scroll.
    prompt.clear();
    click(node("Bryn", "Frost"));
    selectLine("LV_Scrolls", 0);
    choosePopupEntry(lines(), "Private_Scroll_Remove");
    EXPECT_EQ(prompt.messages(), QStringList{kLastLine});
    EXPECT_EQ(columnTexts(lines()), QStringList{"Frost Lance"});
    EXPECT_FALSE(window->hasUnsavedScroll());
}

// Leaving a scroll whose lines changed, or printing or exporting it, asks first: Save keeps the
// changes in the library, Discard drops them, Cancel stays on the scroll with its changes and
// sends nothing out. What goes out agrees with the library.
TEST_F(ScrollsTest, LeavingPrintingOrExportingAChangedScrollAsksWhetherToSaveIt)
{
    library.addReportFiles();
    RecordingReportOutput output;
    const QString file = QDir(library.folder()).filePath("frost.spel");
    const QString question =
        "The changes to Scroll Frost of Bryn have not been saved.\n\nDo you want to save them?";
    const QStringList changed{"Frost Lance", "Amber Lantern"};
    for (const QString &leaving : QStringList{"node", "tab", "close", "print", "export"}) {
        for (const Prompt::Choice choice :
             {Prompt::Choice::Save, Prompt::Choice::Discard, Prompt::Choice::Cancel}) {
            SCOPED_TRACE(leaving.toStdString() + " " + std::to_string(int(choice)));
            const bool left = choice != Prompt::Choice::Cancel;
            const QStringList saved = choice == Prompt::Choice::Save ? changed : QStringList{"Frost Lance"};
            library.db().exec("DELETE FROM Scrolls WHERE ScrollName = 'Frost'");
            addScroll("Bryn", "Frost", {"Frost Lance"});
            if (!window)
                openScrolls();
            showTab(window, Frm_Scrolls::ViewTab);
            click(node("Bryn", "Frost"));
            pick("Amber Lantern");
            pressButton(window, "Add");
            prompt.clear();
            output.jobs.clear();
            QFile::remove(file);

            prompt.answerSave(choice);
            if (leaving == "node")
                click(node("Corwin", "Embers"));
            else if (leaving == "tab")
                showTab(window, Frm_Scrolls::AddTab);
            else if (leaving == "close")
                clickButton(window, "Cmd_Cancel");
            else if (leaving == "print")
                chooseEntry(window, "Print", "Print Selected Scroll");
            else {
                // Staying with the changes never reaches the file dialog.
                if (left)
                    prompt.chooseFile(file);
                pressButton(window, "Export Scroll");
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            window = OpenWindows::named<Frm_Scrolls>(frame().area(), "Frm_Scrolls");

            EXPECT_EQ(prompt.questions(), QStringList{question});
            EXPECT_EQ(savedSpells("Bryn", "Frost"), saved);
            EXPECT_EQ(window == nullptr, leaving == "close" && left);
            if (!left) {
                // Still on the scroll, with its changes; nothing went out.
                EXPECT_EQ(tree()->currentItem(), node("Bryn", "Frost"));
                EXPECT_EQ(control<QTabWidget>(window, "SSTab1")->currentIndex(), int(Frm_Scrolls::ViewTab));
                EXPECT_EQ(columnTexts(lines()), changed);
                EXPECT_TRUE(window->hasUnsavedScroll());
                EXPECT_TRUE(output.jobs.isEmpty());
                EXPECT_FALSE(QFile::exists(file));
                // Saved now, the scroll is left without a question.
                pressButton(window, "Save");
                click(node("Corwin", "Embers"));
                EXPECT_EQ(prompt.questions().size(), 1);
            } else if (leaving == "print") {
                EXPECT_EQ(columnTexts(lines()), saved);
                ASSERT_EQ(output.jobs.size(), 1);
                EXPECT_EQ(output.pdfText(output.jobs[0]).contains("Amber Lantern"), saved == changed);
            } else if (leaving == "export") {
                EXPECT_EQ(columnTexts(lines()), saved);
                EXPECT_EQ(namesInSpellFile(file), saved);
            }
        }
    }
}

TEST_F(ScrollsTest, LeavingTheProgramWithAChangedScrollAsksFirst)
{
    openScrolls();
    click(node("Bryn", "Frost"));
    pick("Amber Lantern");
    pressButton(window, "Add");

    // Staying keeps the program, the window and its changes.
    prompt.answerSave(Prompt::Choice::Cancel);
    chooseMenuEntry(&frame(), "Main_File_Exit");
    EXPECT_TRUE(frame().isVisible());
    ASSERT_EQ(OpenWindows::named<Frm_Scrolls>(frame().area(), "Frm_Scrolls"), window);
    EXPECT_EQ(columnTexts(lines()), (QStringList{"Frost Lance", "Amber Lantern"}));
    EXPECT_EQ(savedSpells("Bryn", "Frost"), QStringList{"Frost Lance"});

    prompt.answerSave(Prompt::Choice::Save);
    chooseMenuEntry(&frame(), "Main_File_Exit");
    EXPECT_FALSE(frame().isVisible());
    EXPECT_EQ(savedSpells("Bryn", "Frost"), (QStringList{"Frost Lance", "Amber Lantern"}));
    EXPECT_EQ(prompt.questions().size(), 2);
}

TEST_F(ScrollsTest, SpellsDroppedFromABrowserJoinTheShownScrollAndThePopupOpensTheirCards)
{
    library.addToSpellbook("Bryn", "Bramble Gate");
    openScrolls();
    click(node("Bryn", "Frost"));
    Frm_Browser *browser = nullptr;
    chooseEntry(&frame(), "Browser", "Bryn");
    browser = OpenWindows::all<Frm_Browser>(frame().area()).value(0);
    ASSERT_NE(browser, nullptr);
    clickRow(browser->findChild<ListView *>("LV_Spells"), 0);

    // The dragged spell comes in; the old line goes: the scroll's spell is replaced.
    dragOnto(browser, lines());
    EXPECT_EQ(rowTexts(lines()),
              (QStringList{"Frost Lance|4|Common|KXR|12", "Bramble Gate|2|UnCommon|KXR|12"}));
    EXPECT_TRUE(window->hasUnsavedScroll());
    selectLine("LV_Scrolls", 0);
    chooseMenuEntry(&frame(), "Private_Scroll_Remove");
    pressButton(window, "Save");
    EXPECT_EQ(savedSpells("Bryn", "Frost"), QStringList{"Bramble Gate"});

    // A caster node shows no scroll to drop onto; the Add tab's list always takes spells.
    click(node("Bryn"));
    EXPECT_FALSE(lines()->dropsAccepted());
    showTab(window, Frm_Scrolls::AddTab);
    dragOnto(browser, lines("LV_Add"));
    EXPECT_EQ(columnTexts(lines("LV_Add")), QStringList{"Bramble Gate"});

    // "View Spell" and a double click open a card of the first selected line.
    const auto cards = [this] { return OpenWindows::all<Frm_Spell>(frame().area()).size(); };
    choosePopupEntry(lines("LV_Add"), "Private_Scroll_View");
    EXPECT_EQ(cards(), 0);
    selectLine("LV_Add", 0);
    chooseMenuEntry(&frame(), "Private_Scroll_View");
    doubleClickRow(lines("LV_Add"), 0);
    EXPECT_EQ(cards(), 2);
    EXPECT_EQ(prompt.messages(), QStringList{"Scroll saved"});
}

TEST_F(ScrollsTest, SpellsDroppedFromTheSearchResultsJoinEachListThatTakesThem)
{
    openScrolls();
    // Before a scroll is chosen the View tab's list has nowhere to put spells.
    dropFrom("Search", {"Dusk Ward"}, lines());
    EXPECT_EQ(lines()->rowCount(), 0);

    click(node("Corwin", "Embers"));
    dropFrom("Search", {"Frost Lance", "No Such Spell", "Amber Lantern"}, lines());
    EXPECT_EQ(columnTexts(lines()),
              (QStringList{"Dusk Ward", "Bramble Gate", "Frost Lance", "Amber Lantern"}));
    EXPECT_EQ(lines()->text(2, 1), "4");
    prompt.answerSave(Prompt::Choice::Save);
    showTab(window, Frm_Scrolls::AddTab);
    EXPECT_EQ(savedSpells("Corwin", "Embers"),
              (QStringList{"Dusk Ward", "Bramble Gate", "Frost Lance", "Amber Lantern"}));

    dropFrom("Search", {"Cinder Veil"}, lines("LV_Add"));
    showTab(window, Frm_Scrolls::GenerateTab);
    // An empty generated list takes spells too: a scroll can be started from a search.
    dropFrom("Search", {"Bramble Gate"}, lines("LV_Spells"));
    EXPECT_EQ(columnTexts(lines("LV_Add")), QStringList{"Cinder Veil"});
    EXPECT_EQ(rowTexts(lines("LV_Spells")), QStringList{"Bramble Gate|2|UnCommon|KXR|12"});
    EXPECT_TRUE(canPress(window, "Save"));
    EXPECT_EQ(prompt.messages(), QStringList{"Scroll saved"});
}

TEST_F(ScrollsTest, ThePickerFollowsTheFindBoxAndLosesItsChoiceOnlyWithTheChosenSpell)
{
    library.addSpell("amber Glow", "1", {"Sun"});
    openScrolls();
    auto *picker = control<QComboBox>(window, "Cmbo_Spell");
    EXPECT_EQ(picker->currentText(), QString());
    click(node("Bryn", "Frost"));
    auto deleteSpell = [this](const QString &spell) {
        Statement(library.db(), "DELETE FROM Spells WHERE Name = ?").bind(1, spell).run();
        emit frame().events().spellDeleted(spell);
    };

    // Another spell goes: the choice stays where it was.
    pick("Ember Call");
    deleteSpell("Dusk Ward");
    EXPECT_EQ(picker->currentText(), "Ember Call");

    // The chosen one goes: nothing is chosen, and Add cannot take a neighbour in its place.
    deleteSpell("Ember Call");
    EXPECT_EQ(picker->currentIndex(), -1);
    EXPECT_EQ(picker->currentText(), QString());
    if (canPress(window, "Add"))
        pressButton(window, "Add");
    EXPECT_EQ(columnTexts(lines()), QStringList{"Frost Lance"});
    EXPECT_FALSE(window->hasUnsavedScroll());

    // The find box chooses the first spell that begins with the typed letters, in any case.
    showTab(window, Frm_Scrolls::AddTab);
    auto *find = control<QLineEdit>(window, "txtFind");
    const QList<std::pair<QString, QString>> typed = {{" AM", "amber Glow"},
                                                      {"amber l", "Amber Lantern"},
                                                      {"c", "Cinder Veil"},
                                                      {"zz", "Cinder Veil"},
                                                      {"", "Cinder Veil"}};
    for (const auto &[text, chosen] : typed) {
        find->setText(text);
        EXPECT_EQ(picker->currentText(), chosen) << text.toStdString();
    }
    EXPECT_EQ(picker->count(), 5);
}
