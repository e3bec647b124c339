#include "ScrollsFixture.h"

#include "scrolls/Frm_ScrollSaver.h"
#include "scrolls/Frm_Scrolls.h"

class NewScrollTest : public ScrollsTest
{
protected:
    // Sets the Generate tab's choices and presses Apply.
    void generate(const QString &count, const QString &frequency, const QStringList &levels = {},
                  const QStringList &schools = {})
    {
        control<QComboBox>(window, "cmbo_Spells")->setEditText(count);
        auto *frequencies = control<QComboBox>(window, "Cmbo_Frequency");
        frequencies->setCurrentIndex(frequencies->findText(frequency));
        if (!levels.isEmpty())
            selectExactly(window, "Lst_Levels", levels);
        if (!schools.isEmpty())
            selectExactly(window, "Lst_Schools", schools);
        clickButton(window, "Cmd_Apply");
    }

    // Presses Save on the Generate tab and answers the scroll saver once it is up.
    void saveGenerated(const std::function<void(Frm_ScrollSaver *)> &answer)
    {
        whenDialogIsUp<Frm_ScrollSaver>(window, [this, answer](Frm_ScrollSaver *saver) {
            // Save cannot be pressed again while its dialog is open.
            EXPECT_FALSE(canPress(window, "Save"));
            answer(saver);
        });
        pressButton(window, "Save");
    }

    static void fill(Frm_ScrollSaver *saver, const QString &name, const QString &caster)
    {
        saver->findChild<QLineEdit *>("Txt_Name")->setText(name);
        saver->findChild<QComboBox *>("Cmbo_Casters")->setEditText(caster);
    }
};

TEST_F(NewScrollTest, TheAddTabChecksEverythingBeforeSavingANewScroll)
{
    openScrolls();
    showTab(window, Frm_Scrolls::AddTab);
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(),
              (QStringList{"Scoll is pretty useless without any spells", "Caster is a required field",
                           "Scroll Name is a required field"}));
    EXPECT_EQ(library.count("SELECT count(*) FROM Scrolls"), 6);

    // On the Add tab the only line may go.
    pick("Frost Lance");
    pressButton(window, "Add");
    selectLine("LV_Add", 0);
    chooseMenuEntry(&frame(), "Private_Scroll_Remove");
    EXPECT_EQ(lines("LV_Add")->rowCount(), 0);

    // A name the caster already uses keeps the lines for another try.
    prompt.clear();
    pick("Bramble Gate");
    pressButton(window, "Add");
    pick("Dusk Ward");
    pressButton(window, "Add");
    control<QLineEdit>(window, "Txt_ScrollName")->setText("Embers");
    control<QComboBox>(window, "Cmbo_CasterName")->setEditText("Corwin");
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(),
              QStringList{"Embers already exists for Caster Corwin.  Please choose another name"});
    EXPECT_EQ(columnTexts(lines("LV_Add")), (QStringList{"Bramble Gate", "Dusk Ward"}));

    // A caster the library does not know holds scrolls too.
    prompt.clear();
    control<QComboBox>(window, "Cmbo_CasterName")->setEditText("  Old Mag  ");
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{"Scroll saved"});
    EXPECT_EQ(savedSpells("Old Mag", "Embers"), (QStringList{"Bramble Gate", "Dusk Ward"}));
    EXPECT_EQ(treeTexts().mid(5, 2), (QStringList{"Old Mag", "  Embers"}));
    EXPECT_EQ(lines("LV_Add")->rowCount(), 0);
    EXPECT_EQ(control<QLineEdit>(window, "Txt_ScrollName")->text(), QString());

    // Casters added elsewhere are offered at once.
    library.addCaster("Dara");
    emit frame().events().castersChanged();
    EXPECT_GE(control<QComboBox>(window, "Cmbo_CasterName")->findText("Dara"), 0);
}

TEST_F(NewScrollTest, ApplyRefusesWhatCannotBeDrawn)
{
    openScrolls();
    EXPECT_FALSE(control<QPushButton>(window, "Cmd_Apply")->isEnabled());
    showTab(window, Frm_Scrolls::GenerateTab);
    const QString invalid = "Please input a valid number of spells";
    const QList<std::pair<QString, QString>> counts = {
        {"", invalid}, {"0", invalid}, {"-3", invalid}, {"ab", invalid}, {"0.4", invalid}};
    for (const auto &[count, message] : counts) {
        prompt.clear();
        generate(count, "Common");
        EXPECT_EQ(prompt.messages(), QStringList{message}) << count.toStdString();
    }
    // Two figures at most; more than 99 reaching Apply some other way is still refused.
    auto *count = control<QComboBox>(window, "cmbo_Spells");
    count->setEditText(" 100");
    EXPECT_EQ(count->currentText(), "10");
    prompt.clear();
    {
        const QSignalBlocker quiet(count);
        count->lineEdit()->setText("99.5");
    }
    clickButton(window, "Cmd_Apply");
    EXPECT_EQ(prompt.messages(), QStringList{"Please limit the spell number to 99 or less"});

    prompt.clear();
    control<QComboBox>(window, "Cmbo_Frequency")->setCurrentIndex(-1);
    control<QComboBox>(window, "cmbo_Spells")->setEditText("3");
    clickButton(window, "Cmd_Apply");
    // No level speaks first, even with no school either.
    clickButton(window, "Opt_None_Levels");
    clickButton(window, "Opt_None");
    generate("3", "Common");
    clickButton(window, "Opt_All_Levels");
    generate("3", "Common");
    EXPECT_EQ(prompt.messages(),
              (QStringList{"Please select a valid lowest frequency", "You must select at least 1 level",
                           "You must select at least 1 School"}));
    EXPECT_EQ(lines("LV_Spells")->rowCount(), 0);

    // No candidate: an empty list and not a word.
    prompt.clear();
    generate("3", "Common", {"3rd"}, {"Sun"});
    EXPECT_EQ(lines("LV_Spells")->rowCount(), 0);
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_FALSE(canPress(window, "Save"));

    // The most a scroll may hold is drawn; 100 typed is cut to 10.
    clickButton(window, "Opt_All");
    clickButton(window, "Opt_All_Levels");
    generate("99", "Restricted");
    EXPECT_EQ(lines("LV_Spells")->rowCount(), 99);
    generate("100", "Restricted");
    EXPECT_EQ(lines("LV_Spells")->rowCount(), 10);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(NewScrollTest, AGeneratedScrollHoldsOnlySpellsOfTheChosenKindsAndTheSaverNamesAndSavesItOnce)
{
    // Decoys: a level not chosen, a school not chosen, a frequency above the bound.
    library.addSpell("Glass Step", "2", {"Illusion"}, "UnCommon");
    library.addSpell("Hollow Bell", "5", {"Sun"});
    library.addSpell("Iron Thorn", "1", {"Evocation"});
    library.addSpell("Jade Mist", "1", {"Illusion"}, "Unique");
    openScrolls();
    showTab(window, Frm_Scrolls::GenerateTab);
    generate("12", "UnCommon", {"1st", "2nd"}, {"Sun", "Illusion", "Alteration"});

    const QSet<QString> allowed{"Amber Lantern", "Bramble Gate", "Glass Step"};
    ListView *drawn = lines("LV_Spells");
    ASSERT_EQ(drawn->rowCount(), 12);
    for (int row = 0; row < drawn->rowCount(); ++row) {
        EXPECT_TRUE(allowed.contains(drawn->text(row))) << drawn->text(row).toStdString();
        EXPECT_TRUE(QStringList({"Common", "UnCommon"}).contains(drawn->text(row, 2)));
        const QStringList shown = {drawn->text(row, 1), drawn->text(row, 2), drawn->text(row, 3),
                                   drawn->text(row, 4)};
        EXPECT_EQ(
            library.rows("SELECT Lvl, Frequency, Book, Page FROM Spells WHERE Name = ?", {drawn->text(row)}),
            QStringList{shown.join('|')});
    }
    EXPECT_TRUE(prompt.shown().isEmpty());

    // "7." is a number; the only line of a generated scroll stays.
    generate("7.", "Common", {"4th"}, {"Evocation"});
    EXPECT_EQ(columnTexts(lines("LV_Spells")), QStringList(7, "Frost Lance"));
    for (int removed = 0; removed < 7; ++removed) {
        selectLine("LV_Spells", 0);
        choosePopupEntry(lines("LV_Spells"), "Private_Scroll_Remove");
    }
    EXPECT_EQ(columnTexts(lines("LV_Spells")), QStringList{"Frost Lance"});
    EXPECT_EQ(prompt.messages(), QStringList{"You cannot delete the last Spell from a Scroll"});

    // The scroll saver names the scroll and saves it once.
    prompt.clear();
    generate("4", "Common", {"4th"}, {"Evocation"});

    // Both fields are needed, a blank caster counts as none, and a name in use is refused.
    saveGenerated([this](Frm_ScrollSaver *saver) {
        // KXR is the whole library, not a caster who could hold a scroll.
        const auto *casters = saver->findChild<QComboBox *>("Cmbo_Casters");
        EXPECT_GE(casters->findText("Bryn"), 0);
        EXPECT_EQ(casters->findText("KXR"), -1);
        fill(saver, "Loot", "   ");
        clickButton(saver, "Cmd_Save");
        fill(saver, "Frost", "Bryn");
        clickButton(saver, "Cmd_Save");
        EXPECT_TRUE(saver->isVisible());
        clickButton(saver, "Cmd_Cancel");
    });
    EXPECT_EQ(prompt.messages(),
              (QStringList{"Both fields are required",
                           "Frost already exists for Caster Bryn.  Please choose another name"}));
    EXPECT_EQ(library.count("SELECT count(*) FROM Scrolls"), 6);
    EXPECT_TRUE(canPress(window, "Save"));

    // A double click saves once; the caster is trimmed and need not be in the library.
    prompt.clear();
    saveGenerated([this](Frm_ScrollSaver *saver) {
        fill(saver, " Loot ", "  Goblin Chief ");
        auto *save = control<QPushButton>(saver, "Cmd_Save");
        QTest::mouseClick(save, Qt::LeftButton);
        QTest::mouseClick(save, Qt::LeftButton); // the second click of a double click
    });
    EXPECT_EQ(prompt.messages(), QStringList{"Scroll saved"});
    EXPECT_EQ(library.rows("SELECT DISTINCT Caster, ScrollName FROM Scrolls WHERE Spell = 'Frost Lance' "
                           "AND ScrollName <> 'Frost'"),
              QStringList{"Goblin Chief|Loot"});
    EXPECT_EQ(savedSpells("Goblin Chief", "Loot").size(), 4);
    EXPECT_EQ(treeTexts().mid(5, 2), (QStringList{"Goblin Chief", "  Loot"}));
    EXPECT_TRUE(canPress(window, "Save"));
}

TEST_F(NewScrollTest, EnterDrawsOnTheGenerateTabAndEscClosesTheWindowAfterAskingAboutChanges)
{
    openScrolls();
    showTab(window, Frm_Scrolls::GenerateTab);
    clickButton(window, "Opt_All_Levels");
    clickButton(window, "Opt_All");
    auto *count = control<QComboBox>(window, "cmbo_Spells");
    auto *frequencies = control<QComboBox>(window, "Cmbo_Frequency");
    frequencies->setCurrentIndex(frequencies->findText("Restricted"));
    count->setEditText("3");
    QTest::keyClick(count->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(lines("LV_Spells")->rowCount(), 3);
    EXPECT_TRUE(prompt.shown().isEmpty());

    // The View tab has no button of its own: Enter in the find box draws nothing.
    showTab(window, Frm_Scrolls::ViewTab);
    click(node("Bryn", "Frost"));
    pick("Amber Lantern");
    pressButton(window, "Add");
    QTest::keyClick(control<QLineEdit>(window, "txtFind"), Qt::Key_Return);
    EXPECT_EQ(lines("LV_Spells")->rowCount(), 3);
    EXPECT_TRUE(prompt.shown().isEmpty());

    // Esc leaves as Cancel does: staying keeps the window and its changes, discarding closes it.
    prompt.answerSave(Prompt::Choice::Cancel);
    QTest::keyClick(control<QTreeWidget>(window, "TV_Scrolls"), Qt::Key_Escape);
    ASSERT_EQ(OpenWindows::named<Frm_Scrolls>(frame().area(), "Frm_Scrolls"), window);
    EXPECT_TRUE(window->hasUnsavedScroll());
    prompt.answerSave(Prompt::Choice::Discard);
    QTest::keyClick(control<QLineEdit>(window, "txtFind"), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenWindows::named<Frm_Scrolls>(frame().area(), "Frm_Scrolls"), nullptr);
    EXPECT_EQ(prompt.questions().size(), 2);
    EXPECT_EQ(savedSpells("Bryn", "Frost"), QStringList{"Frost Lance"});
}

TEST_F(NewScrollTest, CancelAndCloseAskBeforeLinesAddedOnTheAddTabAreThrownAway)
{
    const QString question =
        "The new scroll Kindling on the Add tab has not been saved.\n\nDo you want to save it?";
    openScrolls();
    showTab(window, Frm_Scrolls::AddTab);
    pick("Bramble Gate");
    pressButton(window, "Add");
    control<QLineEdit>(window, "Txt_ScrollName")->setText("Kindling");

    // Cancel on the question keeps the window and its lines; Save that cannot save keeps them too.
    prompt.answerSave(Prompt::Choice::Cancel);
    clickButton(window, "Cmd_Cancel");
    prompt.answerSave(Prompt::Choice::Save);
    clickButton(window, "Cmd_Cancel");
    EXPECT_EQ(prompt.questions(), (QStringList{question, question}));
    EXPECT_EQ(prompt.messages(), QStringList{"Caster is a required field"});
    ASSERT_EQ(OpenWindows::named<Frm_Scrolls>(frame().area(), "Frm_Scrolls"), window);
    EXPECT_EQ(columnTexts(lines("LV_Add")), QStringList{"Bramble Gate"});

    // Save saves the scroll, then the window closes; so does the close button of its frame.
    control<QComboBox>(window, "Cmbo_CasterName")->setEditText("Bryn");
    showTab(window, Frm_Scrolls::ViewTab);
    prompt.answerSave(Prompt::Choice::Save);
    auto *subWindow = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    ASSERT_NE(subWindow, nullptr);
    EXPECT_TRUE(subWindow->close());
    EXPECT_EQ(savedSpells("Bryn", "Kindling"), QStringList{"Bramble Gate"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Discard closes without saving.
    openScrolls();
    showTab(window, Frm_Scrolls::AddTab);
    pick("Dusk Ward");
    pressButton(window, "Add");
    const QStringList before = library.dump();
    prompt.clear();
    prompt.answerSave(Prompt::Choice::Discard);
    clickButton(window, "Cmd_Cancel");
    EXPECT_EQ(prompt.questions(),
              QStringList{"The new scroll on the Add tab has not been saved.\n\nDo you want "
                          "to save it?"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenWindows::named<Frm_Scrolls>(frame().area(), "Frm_Scrolls"), nullptr);
    EXPECT_EQ(library.dump(), before);
}
