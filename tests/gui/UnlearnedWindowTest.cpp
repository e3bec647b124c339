#include "SearchFixture.h"

#include "widgets/ListViewRows.h"

namespace {

const QString kStatus = "sbr_Failed";

class UnlearnedTest : public SearchTest
{
protected:
    UnlearnedTest()
    {
        library.addFailed("Bryn", "Ember Call", "1");
        library.addFailed("Bryn", "Dusk Ward", "1");
        library.addFailed("Corwin", "amber Lantern", "1");
    }

    // Opened as a user does: the "Unlearned Spells" button of the caster's browser.
    Frm_Unlearned *openFailed(const QString &caster)
    {
        pressButton(openBrowser(caster), "Unlearned Spells");
        return unlearnedWindow();
    }

    QStringList failedRows(const QString &caster)
    {
        return library.rows("SELECT SpellName FROM FailedSpells WHERE Caster = ? ORDER BY rowid", {caster});
    }
};

} // namespace

TEST_F(UnlearnedTest, OneWindowFollowsTheBrowserItWasOpenedFrom)
{
    EXPECT_FALSE(canPress(openBrowser("KXR"), "Unlearned Spells"));
    Frm_Unlearned *window = openFailed("Bryn");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Spells Failed to Learn");
    EXPECT_EQ(comboItems(window, "Cmbo_Casters"), (QStringList{"Bryn", "Corwin"}));
    EXPECT_EQ(window->ResetCurrent(), "Bryn");
    EXPECT_EQ(rowTexts(failedOf(window)),
              (QStringList{"Ember Call|1|Common|KXR|12", "Dusk Ward|1|Common|KXR|12"}));
    EXPECT_EQ(panelTexts(window, kStatus), (QStringList{"2 spells listed", "", ""}));

    selectRows(failedOf(window), {"Dusk Ward"});
    EXPECT_EQ(panelTexts(window, kStatus).at(1), "1 spells selected");

    // Corwin's button switches the open window to Corwin.
    Frm_Unlearned *again = openFailed("Corwin");
    EXPECT_EQ(again, window);
    EXPECT_EQ(OpenWindows::all<Frm_Unlearned>(frame().area()).size(), 1);
    EXPECT_EQ(control<QComboBox>(window, "Cmbo_Casters")->currentText(), "Corwin");
    EXPECT_EQ(columnTexts(failedOf(window)), QStringList{"amber Lantern"});
    EXPECT_EQ(panelTexts(window, kStatus), (QStringList{"1 spells listed", "", ""}));

    // Choosing in the list of casters.
    chooseItem(window, "Cmbo_Casters", "Bryn");
    EXPECT_EQ(window->ResetCurrent(), "Bryn");
    EXPECT_EQ(failedOf(window)->rowCount(), 2);

    // A double click opens the spell card.
    doubleClickRow(failedOf(window), 1);
    ASSERT_EQ(OpenWindows::all<Frm_Spell>(frame().area()).size(), 1);
    EXPECT_EQ(OpenWindows::all<Frm_Spell>(frame().area()).at(0)->windowTitle(), "Dusk Ward (1)");
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(UnlearnedTest, SpellsDroppedFromBrowsersAndTheSearchAreAddedOnceAndNeverWhenLearned)
{
    Frm_Unlearned *window = openFailed("Bryn");
    Frm_Browser *kxr = openBrowser("KXR");
    // Bramble Gate is in Bryn's book: a spell learned is not also one she failed to learn.
    selectSpells(kxr, {"Ember Call", "Bramble Gate", "Maud's \"Quiet\" Step", "amber Lantern"});
    dragOnto(spellsOf(kxr), failedOf(window));
    EXPECT_EQ(prompt.messages(), QStringList{"These spells are already in the spellbook of Bryn and were not "
                                             "added to the failed spells: Bramble Gate"});
    EXPECT_EQ(failedRows("Bryn"),
              (QStringList{"Ember Call", "Dusk Ward", "amber Lantern", "Maud's \"Quiet\" Step"}));
    EXPECT_EQ(panelTexts(window, kStatus), (QStringList{"4 spells listed", "", "2 spells added"}));
    EXPECT_TRUE(control<QTimer>(window, "Timer1")->isActive());

    // Already failed: nothing added, and said so.
    prompt.clear();
    Frm_Search *search = openSearch();
    SearchTest::search(search, "Ember");
    dragOnto(hitsOf(search), failedOf(window));
    EXPECT_EQ(failedRows("Bryn").size(), 4);
    EXPECT_EQ(panelTexts(window, kStatus).at(2), "0 spells added");
    letTimerRunOut(window);
    EXPECT_EQ(panelTexts(window, kStatus).at(2), QString());

    SearchTest::search(search, "Cinder");
    dragOnto(hitsOf(search), failedOf(window));
    EXPECT_EQ(prompt.messages(), QStringList{"These spells are already in the spellbook of Bryn and were not "
                                             "added to the failed spells: Cinder Veil"});
    EXPECT_EQ(failedRows("Bryn").size(), 4);
}

TEST_F(UnlearnedTest, TheListKeepsItsSelectionAndSortWhenASpellIsSavedElsewhere)
{
    library.addFailed("Bryn", "Maud's \"Quiet\" Step", "1");
    Frm_Unlearned *window = openFailed("Bryn");
    clickHeader(failedOf(window), 0);
    const QStringList sorted = columnTexts(failedOf(window));
    EXPECT_EQ(sorted, (QStringList{"Maud's \"Quiet\" Step", "Ember Call", "Dusk Ward"}));
    selectRows(failedOf(window), {"Ember Call"});

    emit frame().events().spellsChanged(); // a spell saved in the manage-spells window
    EXPECT_EQ(columnTexts(failedOf(window)), sorted);
    EXPECT_TRUE(failedOf(window)->header()->isSortIndicatorShown());
    EXPECT_EQ(firstSelectedName(failedOf(window)), "Ember Call");
    EXPECT_EQ(selectedCount(failedOf(window)), 1);
    EXPECT_EQ(panelTexts(window, kStatus).at(1), "1 spells selected");
}

TEST_F(UnlearnedTest, LearnedSpellsMoveIntoTheOpenBrowserInOneChangeOnceThePastCapacityQuestionAllows)
{
    library.db().exec("UPDATE SpellCasters SET First = '1' WHERE Spellbook = 'Bryn'");
    Frm_Unlearned *window = openFailed("Bryn");
    Frm_Browser *bryn = openBrowser("Bryn");
    const QString question = "This takes Bryn's 1st-level spells to 2 of 1. Add anyway?";

    // No to the question, or a spellbook that refuses one of them: both lists stay as they were.
    library.db().exec("CREATE TRIGGER refuse BEFORE INSERT ON Spellbook WHEN NEW.SpellName = 'Dusk Ward' "
                      "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;");
    const QStringList before = library.dump();
    selectRows(failedOf(window), {"Ember Call", "Dusk Ward"});
    prompt.answer(false);
    chooseMenuEntry(&frame(), "Private_Unlearned_Learned");
    EXPECT_EQ(prompt.shown(), QStringList{question});
    prompt.clear();
    prompt.answer(true);
    chooseMenuEntry(&frame(), "Private_Unlearned_Learned");
    EXPECT_EQ(prompt.shown(), (QStringList{question, "database or disk is full"}));
    EXPECT_EQ(library.dump(), before);
    EXPECT_EQ(failedOf(window)->rowCount(), 2);
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Cinder Veil"}));

    library.db().exec("DROP TRIGGER refuse;");
    prompt.clear();
    prompt.answer(true);
    chooseMenuEntry(&frame(), "Private_Unlearned_Learned");
    EXPECT_EQ(prompt.shown(),
              (QStringList{question, "Selected Spells have been removed and added to Spellbook"}));
    EXPECT_TRUE(failedRows("Bryn").isEmpty());
    EXPECT_EQ(failedOf(window)->rowCount(), 0);
    EXPECT_EQ(panelTexts(window, kStatus), (QStringList{"0 spells listed", "", ""}));
    // The browser re-queried through its school filter, which a spell without a school never passes.
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Cinder Veil", "Ember Call"}));
    EXPECT_EQ(
        library.rows("SELECT SpellName, SpellLevel FROM Spellbook WHERE Caster = 'Bryn' ORDER BY rowid"),
        (QStringList{"Bramble Gate|2", "Cinder Veil|3", "Ember Call|1", "Dusk Ward|1"}));
}

TEST_F(UnlearnedTest, RemovingAsksNothingAndCommandsNeedASelection)
{
    Frm_Unlearned *window = openFailed("Bryn");
    const QStringList before = library.dump();
    for (const char *entry :
         {"Private_Unlearned_Learned", "Private_Unlearned_Remove", "Private_Unlearned_View"}) {
        prompt.clear();
        chooseMenuEntry(&frame(), entry);
        EXPECT_EQ(prompt.shown(), QStringList{"No spells are selected"}) << entry;
    }
    EXPECT_EQ(library.dump(), before);
    EXPECT_TRUE(OpenWindows::all<Frm_Spell>(frame().area()).isEmpty());
    EXPECT_EQ(frame().menuEntry("Private_Unlearned_Manage")->isEnabled(),
              frame().menuEntry("Main_Tools_Spells")->isEnabled());

    selectRows(failedOf(window), {"Ember Call"});
    prompt.clear();
    chooseMenuEntry(&frame(), "Private_Unlearned_Remove");
    EXPECT_EQ(prompt.shown(), QStringList{"Selected Spells have been removed but not added to Spellbook"});
    EXPECT_EQ(failedRows("Bryn"), QStringList{"Dusk Ward"});
    EXPECT_EQ(columnTexts(failedOf(window)), QStringList{"Dusk Ward"});
    EXPECT_EQ(panelTexts(window, kStatus), (QStringList{"1 spells listed", "", ""}));
    EXPECT_EQ(library.count("SELECT count(*) FROM Spellbook WHERE SpellName = 'Ember Call'"), 0);
}

TEST_F(UnlearnedTest, ADeletedCasterIsNeverLeftChosen)
{
    Frm_Unlearned *window = openFailed("Corwin");
    library.db().exec("DELETE FROM SpellCasters WHERE Spellbook = 'Corwin';");
    library.addCaster("Dara");
    emit frame().events().castersChanged();
    EXPECT_EQ(comboItems(window, "Cmbo_Casters"), (QStringList{"Bryn", "Dara"}));
    EXPECT_EQ(control<QComboBox>(window, "Cmbo_Casters")->currentIndex(), -1);
    EXPECT_EQ(window->ResetCurrent(), QString());
    EXPECT_EQ(failedOf(window)->rowCount(), 0);
    EXPECT_FALSE(failedOf(window)->dropsAccepted());

    // A caster still there stays chosen when the list reloads.
    window->showCaster("Bryn");
    emit frame().events().castersChanged();
    EXPECT_EQ(window->ResetCurrent(), "Bryn");
    EXPECT_EQ(failedOf(window)->rowCount(), 2);
}
