#include "BrowserFixture.h"
#include "RecordingReportOutput.h"
#include "TextChecks.h"

#include "browse/Frm_Memorized.h"
#include "store/VM_Spellbook.h"

#include <QSpinBox>
#include <QStatusBar>

namespace {

// Bryn (see BrowserTest) also holds Ember Call (1st) and can memorize one 1st-level spell, two
// 2nd-level ones and one 3rd-level one.
class MemorizedWindowTest : public BrowserTest
{
protected:
    MemorizedWindowTest()
    {
        library.addToSpellbook("Bryn", "Ember Call", "1");
        library.db().exec(
            "UPDATE SpellCasters SET First = '1', Second = '2', Third = '1' WHERE Spellbook = 'Bryn'");
    }

    Frm_Memorized *openMemorized(Frm_Browser *browser)
    {
        pressButton(browser, "Memorized Spells");
        auto *window = OpenWindows::find<Frm_Memorized>(
            frame().area(), [browser](const Frm_Memorized *w) { return w->tag() == browser->tag(); });
        if (!window)
            ADD_FAILURE() << "no memorized window opened";
        return window;
    }

    static QTreeWidget *slotsOf(const Frm_Memorized *window)
    {
        return control<QTreeWidget>(window, "TV_Memorized");
    }

    static QStringList captions(const Frm_Memorized *window)
    {
        QStringList texts;
        for (int level = 0; level < slotsOf(window)->topLevelItemCount(); ++level)
            texts.append(slotsOf(window)->topLevelItem(level)->text(0));
        return texts;
    }

    // The rows of one level: spell and note, or the free-slots row.
    static QStringList rowsOf(const Frm_Memorized *window, int level)
    {
        QStringList texts;
        const QTreeWidgetItem *group = slotsOf(window)->topLevelItem(level - 1);
        for (int child = 0; child < group->childCount(); ++child) {
            const QTreeWidgetItem *row = group->child(child);
            texts.append(row->text(1).isEmpty() ? row->text(0) : row->text(0) + "|" + row->text(1));
        }
        return texts;
    }

    static QAbstractButton *slotButton(const Frm_Memorized *window, int level, int index, int column)
    {
        QTreeWidgetItem *row = window->slotItem(level, index);
        return row ? qobject_cast<QAbstractButton *>(slotsOf(window)->itemWidget(row, column)) : nullptr;
    }

    // A drag of the selected spells of a browser that ends at a point of a widget of the window
    // (its middle when none is given): a widget that takes no drops hands them to the one around it.
    static void dropAt(Frm_Browser *from, const QStringList &spells, QWidget *target, QPoint at = {})
    {
        selectSpells(from, spells);
        EXPECT_TRUE(dragAndDrop(spellsOf(from), target, at));
    }

    // The same, ending on the heading of a level, whichever level the spells are of.
    static void dropOn(Frm_Browser *from, const QStringList &spells, Frm_Memorized *window, int level)
    {
        QTreeWidget *view = slotsOf(window);
        dropAt(from, spells, view->viewport(), view->visualItemRect(view->topLevelItem(level - 1)).center());
    }

    static QSpinBox *slotsBox(const Frm_Memorized *window, int level)
    {
        return qobject_cast<QSpinBox *>(
            slotsOf(window)->itemWidget(slotsOf(window)->topLevelItem(level - 1), 2));
    }

    // Types a number of slots into a level's box and presses Enter, as the user does.
    static void typeSlots(const Frm_Memorized *window, int level, int count)
    {
        QSpinBox *box = slotsBox(window, level);
        ASSERT_NE(box, nullptr);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::number(count));
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    QStringList day()
    {
        return library.rows("SELECT SpellName, SpellLevel, SlotOrder, IsCast FROM Memorized "
                            "WHERE Caster = 'Bryn' ORDER BY SpellLevel, SlotOrder");
    }
};

} // namespace

TEST_F(MemorizedWindowTest, ADayIsPreparedFromTheBookCastRestedAndCleared)
{
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *bryn = openBrowser("Bryn");
    EXPECT_FALSE(canPress(kxr, "Memorized Spells"));
    frame().showMemorized("KXR");
    EXPECT_EQ(prompt.messages(),
              QStringList{"KXR is the whole library, not a caster: it memorizes no spells"});
    prompt.clear();
    Frm_Memorized *window = openMemorized(bryn);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(openMemorized(bryn), window); // one window per caster
    EXPECT_EQ(OpenWindows::all<Frm_Memorized>(frame().area()).size(), 1);
    EXPECT_EQ(window->windowTitle(), "Memorized Spells of Bryn");
    EXPECT_EQ(captions(window).mid(0, 5),
              (QStringList{"1st: 0 of 1 memorized, 0 cast", "2nd: 0 of 2 memorized, 0 cast",
                           "3rd: 0 of 1 memorized, 0 cast", "4th: no slots", "5th: no slots"}));
    EXPECT_EQ(rowsOf(window, 2), QStringList{"2 free slots"});
    EXPECT_FALSE(canPress(window, "Rest"));
    EXPECT_FALSE(canPress(window, "Clear All"));

    // The same spell twice fills the level; a third is refused with the reason, changing nothing.
    dropOn(bryn, {"Bramble Gate"}, window, 2);
    dropOn(bryn, {"Bramble Gate"}, window, 2);
    EXPECT_EQ(rowsOf(window, 2), (QStringList{"Bramble Gate", "Bramble Gate"}));
    EXPECT_EQ(captions(window)[1], "2nd: 2 of 2 memorized, 0 cast");
    EXPECT_EQ(panelTexts(window, "SB_Memorized").value(0), "2 of 4 slots memorized, 0 cast");
    EXPECT_TRUE(prompt.shown().isEmpty());
    const QStringList full = day();
    EXPECT_EQ(full, (QStringList{"Bramble Gate|2|1|0", "Bramble Gate|2|2|0"}));

    struct Refused
    {
        Frm_Browser *from;
        QString spell;
        QString message;
    };
    const QList<Refused> refusals = {
        {bryn, "Bramble Gate",
         "No 2nd-level slot of Bryn is free (2 of 2 memorized), so these were not memorized: Bramble Gate. "
         "Forget a spell of that level, or give the level more slots."},
        {kxr, "Dusk Ward",
         "Only spells from the spellbook of Bryn can be memorized here: drag them from the browser of that "
         "spellbook."},
    };
    for (const Refused &refused : refusals) {
        prompt.clear();
        dropOn(refused.from, {refused.spell}, window, 1);
        EXPECT_EQ(prompt.messages(), QStringList{refused.message});
        EXPECT_EQ(day(), full);
    }

    // Cast greys the slot and can be undone; Rest makes every cast slot ready again.
    clickButton(slotButton(window, 2, 0, 2));
    EXPECT_EQ(captions(window)[1], "2nd: 2 of 2 memorized, 1 cast");
    EXPECT_EQ(rowsOf(window, 2), (QStringList{"Bramble Gate|cast", "Bramble Gate"}));
    EXPECT_EQ(window->slotItem(2, 0)->foreground(0).color(),
              window->palette().color(QPalette::Disabled, QPalette::Text));
    EXPECT_EQ(slotButton(window, 2, 0, 2)->text(), "Undo Cast");
    clickButton(slotButton(window, 2, 0, 2));
    EXPECT_EQ(day(), full);
    clickButton(slotButton(window, 2, 0, 2));
    clickButton(slotButton(window, 2, 1, 2));
    EXPECT_EQ(day(), (QStringList{"Bramble Gate|2|1|1", "Bramble Gate|2|2|1"}));
    pressButton(window, "Rest");
    EXPECT_EQ(day(), full);
    EXPECT_EQ(panelTexts(window, "SB_Memorized").value(2), "Rested: 2 spells ready again");
    EXPECT_FALSE(canPress(window, "Rest"));

    // Forget frees one slot; Clear All asks first.
    clickButton(slotButton(window, 2, 1, 3));
    EXPECT_EQ(rowsOf(window, 2), (QStringList{"Bramble Gate", "1 free slot"}));
    prompt.answer(false);
    pressButton(window, "Clear All");
    EXPECT_EQ(day(), QStringList{"Bramble Gate|2|1|0"});
    prompt.answer(true);
    pressButton(window, "Clear All");
    EXPECT_EQ(prompt.questions().value(1), "Are you sure you want to forget every spell Bryn has memorized?");
    EXPECT_TRUE(day().isEmpty());
    EXPECT_EQ(captions(window)[1], "2nd: 0 of 2 memorized, 0 cast");
}

TEST_F(MemorizedWindowTest, TheWindowMarksSpellsThatLeftTheBookAndFollowsTheCaster)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Memorized *window = openMemorized(bryn);
    ASSERT_NE(window, nullptr);
    dropOn(bryn, {"Cinder Veil"}, window, 3);
    dropOn(bryn, {"Ember Call"}, window, 1);

    // Removed from the book in the browser: the slot stays, marked.
    selectSpells(bryn, {"Cinder Veil"});
    prompt.answer(true);
    choosePopupEntry(spellsOf(bryn), "Private_Browser_Remove");
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Ember Call"}));
    EXPECT_EQ(rowsOf(window, 3), QStringList{"Cinder Veil|no longer in the spellbook"});
    EXPECT_EQ(day(), (QStringList{"Ember Call|1|1|0", "Cinder Veil|3|1|0"}));

    // The record gives the level fewer slots: the caption and the slot say so.
    library.db().exec("UPDATE SpellCasters SET Third = '' WHERE Spellbook = 'Bryn'");
    emit frame().events().castersChanged();
    EXPECT_EQ(captions(window)[2], "3rd: 1 of 0 memorized, 0 cast (1 more than the day's slots)");
    EXPECT_EQ(rowsOf(window, 3),
              QStringList{"Cinder Veil|no longer in the spellbook; beyond the day's slots"});

    // A double click opens the spell's card.
    QTreeWidget *view = slotsOf(window);
    const QRect row = view->visualItemRect(window->slotItem(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row.center());
    const QList<Frm_Spell *> cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0]->spellName(), "Ember Call");

    // The caster deleted: the day goes with it, and so does the window.
    ASSERT_EQ(VM_Spellbook().Delete_Existing_Caster("Bryn"), QString());
    emit frame().events().castersChanged();
    QCoreApplication::processEvents();
    EXPECT_TRUE(OpenWindows::all<Frm_Memorized>(frame().area()).isEmpty());
    EXPECT_EQ(library.count("SELECT count(*) FROM Memorized"), 0);
}

TEST_F(MemorizedWindowTest, TheSheetPrintsEachLevelsSlotsWithBoxesToTick)
{
    library.addReportFiles();
    RecordingReportOutput output;
    QStringList progress;
    output.onDelivery = [&](const ReportJob &) { progress.append(frame().statusPanel(2)->text()); };
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Memorized *window = openMemorized(bryn);
    ASSERT_NE(window, nullptr);
    dropOn(bryn, {"Ember Call"}, window, 1);
    dropOn(bryn, {"Bramble Gate"}, window, 2);
    dropOn(bryn, {"Bramble Gate"}, window, 2);
    clickButton(slotButton(window, 2, 1, 2));

    chooseEntry(window, "Print", "Preview Memorized");
    ASSERT_EQ(output.jobs.size(), 1) << prompt.shown().join("\n").toStdString();
    EXPECT_EQ(output.jobs[0].destination, ReportJob::Destination::Window);
    EXPECT_EQ(output.jobs[0].title, "Previewing Memorized Spells of Bryn");
    const QString text = output.pdfText(output.jobs[0]);
    EXPECT_EQ(outOfOrder(text, {"Memorized Spells of Bryn", "Level 5 Elf Mage",
                                "1st level 1 of 1 memorized, 0 cast", "Ember Call",
                                "2nd level 2 of 2 memorized, 1 cast", "Bramble Gate", "Bramble Gate",
                                "3rd level 0 of 1 memorized, 0 cast", "free slot"}),
              QString())
        << text.toStdString();
    EXPECT_EQ(text.count(QChar(0x2610)), 3) << text.toStdString(); // two ready slots, one free
    EXPECT_EQ(text.count(QChar(0x2612)), 1);                       // the one cast
    EXPECT_FALSE(text.contains("4th level"));

    chooseMenuEntry(&frame(), "Main_File_Print");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(output.jobs[1].destination, ReportJob::Destination::Printer);
    EXPECT_EQ(progress.value(1), "Printing Memorized Spells of Bryn...");
    EXPECT_EQ(frame().statusPanel(2)->text(), QString());
    EXPECT_TRUE(prompt.shown().isEmpty());

    // The sheet counts the day's slots as the window sets them.
    typeSlots(window, 3, 2);
    typeSlots(window, 4, 1);
    chooseEntry(window, "Print", "Preview Memorized");
    ASSERT_EQ(output.jobs.size(), 3);
    const QString changed = output.pdfText(output.jobs[2]);
    EXPECT_EQ(
        outOfOrder(changed, {"3rd level 0 of 2 memorized, 0 cast", "4th level 0 of 1 memorized, 0 cast"}),
        QString())
        << changed.toStdString();
}

TEST_F(MemorizedWindowTest, ADropAnywhereTakesEachSpellToItsLevelAndTheDaysSlotsAreSetHere)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Memorized *window = openMemorized(bryn);
    ASSERT_NE(window, nullptr);
    const QList<int> shown = {slotsBox(window, 1)->value(), slotsBox(window, 2)->value(),
                              slotsBox(window, 3)->value(), slotsBox(window, 4)->value()};
    EXPECT_EQ(shown, (QList<int>{1, 2, 1, 0}));

    // On the status bar, on the tool bar, on another level's heading: each spell to its own level.
    dropAt(bryn, {"Bramble Gate", "Ember Call"}, control<QWidget>(window, "SB_Memorized"));
    dropAt(bryn, {"Cinder Veil"}, control<QWidget>(window, "Toolbar1"));
    dropOn(bryn, {"Bramble Gate"}, window, 1);
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.shown().join("\n").toStdString();
    EXPECT_EQ(day(), (QStringList{"Ember Call|1|1|0", "Bramble Gate|2|1|0", "Bramble Gate|2|2|0",
                                  "Cinder Veil|3|1|0"}));

    // The day's slots are the window's own: more 2nd-level slots than the book's figure, kept in
    // the library, while the caster's figure (what the book holds) stays.
    typeSlots(window, 2, 3);
    EXPECT_EQ(captions(window)[1], "2nd: 2 of 3 memorized, 0 cast");
    EXPECT_EQ(rowsOf(window, 2), (QStringList{"Bramble Gate", "Bramble Gate", "1 free slot"}));
    EXPECT_EQ(library.rows("SELECT SpellLevel, Slots FROM MemorizedSlots WHERE Caster = 'Bryn'"),
              QStringList{"2|3"});
    EXPECT_EQ(library.rows("SELECT Second FROM SpellCasters WHERE Spellbook = 'Bryn'"), QStringList{"2"});
    dropAt(bryn, {"Bramble Gate"}, slotsOf(window)->viewport());
    EXPECT_EQ(rowsOf(window, 2), (QStringList{"Bramble Gate", "Bramble Gate", "Bramble Gate"}));
    // Fewer slots than memorized: the extra slot is marked, nothing is forgotten.
    typeSlots(window, 2, 1);
    EXPECT_EQ(captions(window)[1], "2nd: 3 of 1 memorized, 0 cast (2 more than the day's slots)");
    EXPECT_EQ(day().size(), 5);
    EXPECT_EQ(slotsBox(window, 2)->value(), 1);
}

TEST_F(MemorizedWindowTest, APlanIsSavedAndLoadedInOneStepNamingSpellsThatLeftTheBook)
{
    library.db().exec("UPDATE SpellCasters SET Second = '2', Third = '2' WHERE Spellbook = 'Bryn'");
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Memorized *window = openMemorized(bryn);
    ASSERT_NE(window, nullptr);
    auto *plans = control<QComboBox>(window, "Cbo_Plan");
    EXPECT_FALSE(canPress(window, "Load Plan"));

    dropAt(bryn, {"Ember Call", "Bramble Gate", "Cinder Veil"}, slotsOf(window)->viewport());
    QTest::keyClicks(plans->lineEdit(), "Travel");
    pressButton(window, "Save Plan");
    dropAt(bryn, {"Bramble Gate"}, slotsOf(window)->viewport());
    typeText(window, "Cbo_Plan", QString());
    pressButton(window, "Save Plan");
    EXPECT_EQ(prompt.messages(), QStringList{"Type a name for the plan in the plan box first."});
    QTest::keyClicks(plans->lineEdit(), "Dungeon");
    pressButton(window, "Save Plan");
    EXPECT_EQ(plans->count(), 2);
    EXPECT_EQ(plans->itemText(0), "Dungeon");
    // A name taken is replaced only when the user says so.
    prompt.answer(false);
    pressButton(window, "Save Plan");
    EXPECT_EQ(prompt.questions(), QStringList{"Replace the plan Dungeon with the spells memorized now?"});

    // One step: choose the plan, press Load. Cast slots and extra spells give way to the plan.
    clickButton(slotButton(window, 1, 0, 2));
    prompt.clear();
    chooseItem(window, "Cbo_Plan", "Travel");
    pressButton(window, "Load Plan");
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(day(), (QStringList{"Ember Call|1|1|0", "Bramble Gate|2|1|0", "Cinder Veil|3|1|0"}));
    EXPECT_EQ(panelTexts(window, "SB_Memorized").value(2), "Plan Travel loaded: 3 spells memorized");

    // A spell that left the book is named in one message; the rest of the plan is loaded.
    selectSpells(bryn, {"Cinder Veil"});
    prompt.answer(true);
    choosePopupEntry(spellsOf(bryn), "Private_Browser_Remove");
    prompt.clear();
    chooseItem(window, "Cbo_Plan", "Dungeon");
    pressButton(window, "Load Plan");
    EXPECT_EQ(prompt.messages(),
              QStringList{"These spells of the plan are no longer in the spellbook of Bryn "
                          "and were not memorized: Cinder Veil"});
    EXPECT_EQ(day(), (QStringList{"Ember Call|1|1|0", "Bramble Gate|2|1|0", "Bramble Gate|2|2|0"}));

    prompt.answer(true);
    pressButton(window, "Delete Plan");
    EXPECT_EQ(plans->count(), 1);
    EXPECT_EQ(library.rows("SELECT DISTINCT PlanName FROM MemorizedPlans"), QStringList{"Travel"});
}
