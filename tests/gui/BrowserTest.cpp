#include "BrowserFixture.h"
#include "widgets/FormScrollArea.h"
#include "widgets/ListViewModel.h"
#include "widgets/WindowArrangement.h"

#include <QAbstractButton>

namespace {

const QString kStatus = "SB_Browser";

} // namespace

TEST_F(BrowserTest, ANewBrowserListsEverySpellWithItsOwnSchoolsAndEveryFilterSelected)
{
    Frm_Browser *kxr = openBrowser("KXR");
    EXPECT_EQ(kxr->windowTitle(), "Browsing Spellbook KXR");
    const ListView *list = spellsOf(kxr);
    EXPECT_EQ(list->rows()->headerData(2, Qt::Horizontal).toString(), "Schools");
    EXPECT_EQ(rowTexts(list),
              (QStringList{"amber Lantern|1|Sun|Rare|KXR|12", "Bramble Gate|2|Alteration|Common|KXR|12",
                           "Cinder Veil|3|Alteration, Illusion/Phantasm, Sun|Common|KXR|12",
                           // A spell without a school takes nobody else's schools.
                           "Dusk Ward|1||Common|KXR|12", "Ember Call|1|Necromancy|Common|KXR|12",
                           "Maud's \"Quiet\" Step|1|Mistress' Shadows|Common|KXR|12"}));
    EXPECT_EQ(panelTexts(kxr, kStatus), (QStringList{"6 spells listed", "1 spells selected", ""}));
    EXPECT_EQ(selectedItems(kxr, "Lst_Levels"),
              (QStringList{"1st", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th", "9th"}));
    EXPECT_EQ(selectedItems(kxr, "Lst_Schools"),
              (QStringList{"Alteration", "Illusion/Phantasm", "Mistress' Shadows", "Necromancy", "Sun"}));

    // Clicking rows counts the selection.
    selectSpells(kxr, {"Bramble Gate", "Ember Call", "Dusk Ward"});
    EXPECT_EQ(panelTexts(kxr, kStatus).at(1), "3 spells selected");

    Frm_Browser *corwin = openBrowser("Corwin");
    EXPECT_TRUE(namesIn(corwin).isEmpty());
    EXPECT_EQ(panelTexts(corwin, kStatus), (QStringList{"0 spells listed", "0 spells selected", ""}));
}

TEST_F(BrowserTest, RequeryNarrowsTheListByLevelsAndSchoolsAndTheCountsFollow)
{
    Frm_Browser *kxr = openBrowser("KXR");
    clickButton(kxr, "Opt_Schools_None");
    EXPECT_TRUE(selectedItems(kxr, "Lst_Schools").isEmpty());
    selectExactly(kxr, "Lst_Schools", {"Mistress' Shadows", "Sun"});
    // Changing the filters alone does not re-read.
    EXPECT_EQ(namesIn(kxr).size(), 6);

    pressButton(kxr, "Requery");
    EXPECT_EQ(namesIn(kxr), (QStringList{"amber Lantern", "Cinder Veil", "Maud's \"Quiet\" Step"}));
    EXPECT_EQ(panelTexts(kxr, kStatus), (QStringList{"3 spells listed", "1 spells selected", ""}));
    EXPECT_TRUE(frame().statusPanel(2)->text().isEmpty());

    selectExactly(kxr, "Lst_Levels", {"1st"});
    pressButton(kxr, "Requery");
    EXPECT_EQ(namesIn(kxr), (QStringList{"amber Lantern", "Maud's \"Quiet\" Step"}));
    EXPECT_EQ(panelTexts(kxr, kStatus).at(0), "2 spells listed");

    clickButton(kxr, "Opt_Levels_All");
    clickButton(kxr, "Opt_Schools_All");
    pressButton(kxr, "Requery");
    EXPECT_EQ(namesIn(kxr).size(), 5); // the spell without a school has none of the selected ones
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(BrowserTest, RequeryWithoutALevelOrASchoolKeepsTheRowsAndWithoutAMatchListsNothing)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Browser *kxr = openBrowser("KXR");
    clickButton(bryn, "Opt_Levels_None");
    pressButton(bryn, "Requery");
    EXPECT_EQ(prompt.messages(), QStringList{"You must select at least 1 level"});
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Cinder Veil"}));

    prompt.clear();
    clickButton(bryn, "Opt_Levels_All");
    clickButton(bryn, "Opt_Schools_None");
    pressButton(bryn, "Requery");
    EXPECT_EQ(prompt.messages(), QStringList{"You must select at least 1 School"});
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Cinder Veil"}));
    EXPECT_EQ(panelTexts(bryn, kStatus).at(0), "2 spells listed");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(frame().statusPanel(2)->text().isEmpty());
    prompt.clear();

    // Every browser reads through the frame's one library object: a filter that matches
    // nothing must not hand one browser the table another browser read last.
    struct Case
    {
        QStringList levels;
        QStringList schools;
    };
    const QList<Case> cases = {
        {{"1st", "2nd", "3rd"}, {"Necromancy"}}, // spells at the levels, none of the school
        {{"9th"}, {"Sun"}},                      // no spell at the level
    };
    for (const Case &matchNothing : cases) {
        pressButton(kxr, "Requery");
        ASSERT_EQ(namesIn(kxr).size(), 5);
        selectExactly(bryn, "Lst_Levels", matchNothing.levels);
        selectExactly(bryn, "Lst_Schools", matchNothing.schools);
        pressButton(bryn, "Requery");
        EXPECT_TRUE(namesIn(bryn).isEmpty()) << matchNothing.schools.join(",").toStdString();
        EXPECT_EQ(panelTexts(bryn, kStatus), (QStringList{"0 spells listed", "0 spells selected", ""}));
        // With nothing listed there is nothing to act on.
        pressButton(bryn, "Export Selected Spells");
        EXPECT_EQ(prompt.messages().value(0), "There are no spells in this Spellbook to export");
        prompt.clear();
    }
    // The caster's spellbook itself is untouched, and a full filter lists it again.
    clickButton(bryn, "Opt_Levels_All");
    clickButton(bryn, "Opt_Schools_All");
    pressButton(bryn, "Requery");
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Cinder Veil"}));
}

TEST_F(BrowserTest, RemoveAsksThenRemovesTheSelectedSpellsAndKXRRefuses)
{
    Frm_Browser *kxr = openBrowser("KXR");
    selectSpells(kxr, {"Dusk Ward"});
    QTest::keyClick(spellsOf(kxr), Qt::Key_Delete);
    EXPECT_EQ(prompt.messages(), QStringList{"Can not remove spells from KXR"});
    EXPECT_EQ(namesIn(kxr).size(), 6);

    library.addToSpellbook("Corwin", "Ember Call", "1");
    library.addToSpellbook("Corwin", "Dusk Ward", "1");
    library.addToSpellbook("Corwin", "amber Lantern", "1");
    Frm_Browser *corwin = openBrowser("Corwin");
    const QStringList before = library.dump();
    selectSpells(corwin, {"amber Lantern", "Ember Call"});
    prompt.clear();
    prompt.answer(false);
    choosePopupEntry(spellsOf(corwin), "Private_Browser_Remove");
    EXPECT_EQ(
        prompt.questions(),
        QStringList{"Are you sure you want to remove all of the highlighted\nspells from this Spellbook?"});
    EXPECT_EQ(library.dump(), before);
    EXPECT_EQ(namesIn(corwin).size(), 3);

    prompt.answer(true);
    choosePopupEntry(spellsOf(corwin), "Private_Browser_Remove");
    EXPECT_EQ(namesIn(corwin), QStringList{"Dusk Ward"});
    EXPECT_EQ(library.rows("SELECT SpellName FROM Spellbook WHERE Caster = 'Corwin'"),
              QStringList{"Dusk Ward"});
    EXPECT_EQ(library.rows("SELECT SpellName FROM Spellbook WHERE Caster = 'Bryn' ORDER BY 1"),
              (QStringList{"Bramble Gate", "Cinder Veil"}));
    EXPECT_EQ(panelTexts(corwin, kStatus),
              (QStringList{"1 spells listed", "1 spells selected", "2 Spell(s) Removed"}));
    auto *timer = control<QTimer>(corwin, "Timer1");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);

    // The last one: nothing listed, nothing selected.
    prompt.answer(true);
    choosePopupEntry(spellsOf(corwin), "Private_Browser_Remove");
    EXPECT_EQ(panelTexts(corwin, kStatus),
              (QStringList{"0 spells listed", "0 spells selected", "1 Spell(s) Removed"}));
    letTimerRunOut(corwin);
    EXPECT_EQ(panelTexts(corwin, kStatus), (QStringList{"0 spells listed", "0 spells selected", ""}));
    EXPECT_FALSE(timer->isActive());

    // Nothing selected: nothing asked.
    prompt.clear();
    choosePopupEntry(spellsOf(corwin), "Private_Browser_Remove");
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(BrowserTest, HeaderClicksSortDescendingThenAscendingWithOneToggleForAllColumns)
{
    Frm_Browser *kxr = openBrowser("KXR");
    ListView *list = spellsOf(kxr);
    clickHeader(list, 0);
    EXPECT_EQ(namesIn(kxr), (QStringList{"Maud's \"Quiet\" Step", "Ember Call", "Dusk Ward", "Cinder Veil",
                                         "Bramble Gate", "amber Lantern"}));
    clickHeader(list, 0);
    EXPECT_EQ(namesIn(kxr), (QStringList{"amber Lantern", "Bramble Gate", "Cinder Veil", "Dusk Ward",
                                         "Ember Call", "Maud's \"Quiet\" Step"}));
    clickHeader(list, 1); // the toggle is shared: descending again
    EXPECT_EQ(columnTexts(list, 1), (QStringList{"3", "2", "1", "1", "1", "1"}));
    EXPECT_TRUE(list->header()->isSortIndicatorShown());

    // Read again, the rows are in name order and no arrow claims otherwise.
    pressButton(kxr, "Requery");
    EXPECT_EQ(namesIn(kxr).constFirst(), "amber Lantern");
    EXPECT_FALSE(list->header()->isSortIndicatorShown());
}

TEST_F(BrowserTest, KXRBrowserOffersNoPrintExportOrFailedSpellsAndPopupCommandsGoToTheFocusedList)
{
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *bryn = openBrowser("Bryn");
    const auto *kxrBar = control<ButtonToolBar>(kxr, "Toolbar1");
    const auto *brynBar = control<ButtonToolBar>(bryn, "Toolbar1");
    for (const QString &key :
         QStringList{"Print Spellbook", "Export Spellbook", "Unlearned Spells", "Divider1", "Divider2"}) {
        EXPECT_FALSE(kxrBar->isItemVisible(key)) << key.toStdString();
        EXPECT_TRUE(brynBar->isItemVisible(key)) << key.toStdString();
    }
    for (const QString &key : QStringList{"View Spell", "Manage Spell", "Export Selected Spells", "Requery"})
        EXPECT_TRUE(kxrBar->isItemVisible(key)) << key.toStdString();
    EXPECT_EQ(menuTexts(brynBar->buttonMenu("Print Spellbook")),
              (QStringList{"Print Spellbook", "Preview Spellbook", "-", "Print Filtered", "Preview Filtered",
                           "-", "Print Selected Spells", "-", "Print Deck\u2026"}));
    EXPECT_EQ(menuTexts(brynBar->buttonMenu("Export Spellbook")),
              (QStringList{"Full Spellbook", "-", "Filtered Only"}));

    // Popup commands go to the browser whose list had the focus.
    QApplication::setActiveWindow(&frame());
    spellsOf(bryn)->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([] { return Constants::Active_Browser_Name == "Bryn"; }, 2000));

    selectSpells(bryn, {"Cinder Veil"});
    chooseMenuEntry(&frame(), "Private_Browser_View");
    QList<Frm_Spell *> cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards.at(0)->spellName(), "Cinder Veil");

    // The menu key on the list of KXR shows the popup, with Remove disabled.
    QMenu *popup = frame().menu("Private_Menu_Browser");
    QTest::keyClick(spellsOf(kxr), Qt::Key_Menu);
    EXPECT_EQ(Constants::Active_Browser_Name, "KXR");
    EXPECT_TRUE(popup->isVisible());
    EXPECT_FALSE(frame().menuEntry("Private_Browser_Remove")->isEnabled());
    popup->hide();
    prompt.answer(true);
    choosePopupEntry(spellsOf(bryn), "Private_Browser_Remove");
    EXPECT_EQ(namesIn(bryn), QStringList{"Bramble Gate"});
    EXPECT_EQ(namesIn(kxr).size(), 6);
}

TEST_F(BrowserTest, ToolTipToggleSwitchesEveryOpenBrowserAndTheNextOne)
{
    const QString hint = QStringLiteral(
        "Drag Spells from another Spellbook or from the Search Form to add spells to this Spellbook");
    // KXR takes no drops, and its tip says what it does take part in instead.
    const QString kxrHint = QStringLiteral(
        "KXR is the whole library: drag spells from here onto a Spellbook, the failed spells or a scroll");
    const QAction *toggle = frame().menuEntry("Private_Browser_Tooltip");

    // Turned off with no browser open, it holds for the browsers opened next; turned on again,
    // the open ones follow and so do the next.
    chooseMenuEntry(&frame(), "Private_Browser_Tooltip");
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(Constants::Browser_Tooltip_Text, QString());
    Frm_Browser *bryn = openBrowser("Bryn");
    EXPECT_EQ(spellsOf(bryn)->toolTip(), QString());
    chooseMenuEntry(&frame(), "Private_Browser_Tooltip");
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(spellsOf(bryn)->toolTip(), hint);
    Frm_Browser *kxr = openBrowser("KXR");
    EXPECT_EQ(spellsOf(kxr)->toolTip(), kxrHint);

    // Off with browsers open: every one of them, and the next.
    chooseMenuEntry(&frame(), "Private_Browser_Tooltip");
    EXPECT_EQ(spellsOf(kxr)->toolTip(), QString());
    EXPECT_EQ(spellsOf(bryn)->toolTip(), QString());
    EXPECT_EQ(spellsOf(openBrowser("Corwin"))->toolTip(), QString());
    chooseMenuEntry(&frame(), "Private_Browser_Tooltip");
    for (Frm_Browser *browser : openBrowsers())
        EXPECT_EQ(spellsOf(browser)->toolTip(), browser == kxr ? kxrHint : hint);
}

TEST_F(BrowserTest, ABrowserOpensAtItsLaidOutSizeShrinksToTheSmallestWindowAndItsListFollows)
{
    Frm_Browser *kxr = openBrowser("KXR");
    auto *window = qobject_cast<QMdiSubWindow *>(kxr->parentWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_GE(kxr->width(), 600);
    EXPECT_GE(kxr->height(), 413);
    ListView *list = spellsOf(kxr);

    // Shrinking below the smallest window snaps back to it, and the list shrinks with the window
    // (it scrolls), never below nothing and never narrower than the filters beside it.
    const QSize minimum = WindowArrangement::kSmallestWindow;
    const QSize before = kxr->size();
    const QRect listBefore = list->geometry();
    window->resize(50, 30);
    EXPECT_EQ(kxr->size(), minimum);
    EXPECT_EQ(list->height(), listBefore.height() - (before - minimum).height());
    EXPECT_LT(list->width(), listBefore.width());
    EXPECT_GE(list->width(), kxr->findChild<FormScrollArea *>()->width());
    EXPECT_GT(list->height(), 20);
    const QRect listAtMinimum = list->geometry();
    window->resize(40, 20);
    EXPECT_EQ(list->geometry(), listAtMinimum);

    window->resize(window->size() + QSize(500, 300));
    EXPECT_EQ(kxr->size(), minimum + QSize(500, 300));
    EXPECT_EQ(list->size(), listAtMinimum.size() + QSize(500, 300));
    EXPECT_EQ(list->pos(), listAtMinimum.topLeft());
}

TEST_F(BrowserTest, TheKeyboardAloneViewsRemovesAndSelects)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    ListView *list = spellsOf(bryn);
    list->setFocus();
    selectSpells(bryn, {"Cinder Veil"});

    // Enter opens the card of the current row.
    QTest::keyClick(list, Qt::Key_Return);
    const QList<Frm_Spell *> cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards.at(0)->windowTitle(), "Cinder Veil (3)");

    // Delete asks before it removes; No keeps the spell.
    prompt.answer(false);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Cinder Veil"}));

    // Ctrl+A selects every row.
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectedRowNumbers(), (QList<int>{0, 1}));

    // A drag shows the names it carries, the first few and how many more.
    EXPECT_FALSE(ListView::dragPicture({"Bramble Gate", "Cinder Veil"}, list->font()).isNull());
    EXPECT_GT(ListView::dragPicture({"Bramble Gate", "Cinder Veil"}, list->font()).height(),
              ListView::dragPicture({"Bramble Gate"}, list->font()).height());
}

TEST_F(BrowserTest, ARenamedSpellTakesItsNewNameInABrowserWhoseFiltersWouldBeRefused)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Browser *kxr = openBrowser("KXR");
    clickButton(control<QAbstractButton>(bryn, "Opt_Levels_None"));
    clickButton(control<QAbstractButton>(kxr, "Opt_Schools_None"));
    library.db().exec("UPDATE Spells SET Name = 'Ashen Veil' WHERE Name = 'Cinder Veil';"
                      "UPDATE SpellandSphere SET Name = 'Ashen Veil' WHERE Name = 'Cinder Veil';"
                      "UPDATE Spellbook SET SpellName = 'Ashen Veil' WHERE SpellName = 'Cinder Veil';");
    emit frame().events().spellRenamed("Cinder Veil", "Ashen Veil"); // as the manage-spells window does
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Ashen Veil"}));
    EXPECT_TRUE(namesIn(kxr).contains("Ashen Veil"));
    EXPECT_FALSE(namesIn(kxr).contains("Cinder Veil"));
    EXPECT_TRUE(prompt.shown().isEmpty());
}
