#include "WindowTest.h"

#include "browse/LevelCountDelegate.h"
#include "maintain/Frm_ManageSpellbooks.h"

namespace {

const QString kQuoted = QStringLiteral("O'Hara \"the Grey\" || Ash");

class ManageSpellbooks : public WindowTest
{
protected:
    ManageSpellbooks()
    {
        library.addSpell("Bramble Gate", "2", {});
        library.addCaster("Corwin");
        library.addCaster(kQuoted);
        library.addToSpellbook("Corwin", "Bramble Gate");
        library.addToSpellbook(kQuoted, "Bramble Gate");
    }

    Frm_ManageSpellbooks *open() { return openFromMenu<Frm_ManageSpellbooks>("Main_Tools_Spellbooks"); }

    QStringList casterRow(const QString &name)
    {
        return library.rows("SELECT Spellbook, Lvl, Race, Class, First, Second, Third, Fourth, Fifth, Sixth, "
                            "Seventh, Eighth, Ninth FROM SpellCasters WHERE Spellbook = ?",
                            {name});
    }

    QStringList dropDown() { return menuTexts(frame().TB_Main()->buttonMenu("Browser")); }
};

const QStringList kLevelBoxes = {"Txt_Levels_0", "Txt_Levels_1", "Txt_Levels_2",
                                 "Txt_Levels_3", "Txt_Levels_4", "Txt_Levels_5",
                                 "Txt_Levels_6", "Txt_Levels_7", "Txt_Levels_8"};

} // namespace

TEST_F(ManageSpellbooks, ListsCastersButNeverKXRAndRefusesNamesThatAreTakenOrBlank)
{
    pressButton(&frame(), "Manage Spellbooks");
    auto *window = OpenWindows::named<Frm_ManageSpellbooks>(frame().area(), "Frm_ManageSpellbooks");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Manage Spell Books");
    EXPECT_EQ(comboItems(window, "Cmbo_Names"), (QStringList{"<new>", "Corwin", kQuoted}));
    EXPECT_EQ(comboItems(window, "Cmbo_Delete"), (QStringList{"Corwin", kQuoted}));
    // Opening it again brings the same window forward.
    EXPECT_EQ(open(), window);
    EXPECT_EQ(OpenWindows::all<Frm_ManageSpellbooks>(frame().area()).size(), 1);

    // Another program adds a caster after the list was filled.
    library.addCaster("Elsewhere");
    const QStringList before = library.dump();
    const struct
    {
        QString name;
        QString message; // empty: nothing is said
    } refused[] = {
        {"Elsewhere", "Please select a different Caster Name"},
        {"", ""},
        {"   ", "Caster Name required"},
        {"  Corwin ", "Please select a different Caster Name"},
        {kQuoted, "Please select a different Caster Name"},
        {"<new>", "Please select a different Caster Name"},
        {"KXR", "Please select a different Caster Name"},
    };
    for (const auto &[name, message] : refused) {
        prompt.clear();
        typeText(window, "Txt_Name", name);
        clickButton(window, "CmdApply");
        EXPECT_EQ(prompt.messages(), message.isEmpty() ? QStringList() : QStringList{message})
            << name.toStdString();
    }
    EXPECT_EQ(library.dump(), before);
}

TEST_F(ManageSpellbooks, ShowsAndSavesACastersDetailsAndSpellsPerLevelTakingOnlyWholeNumbers)
{
    library.db().exec("UPDATE SpellCasters SET Fourth = 'many' WHERE Spellbook = 'Corwin'");
    Frm_ManageSpellbooks *window = open();
    ASSERT_TRUE(window);
    // A name typed for a new caster does not turn choosing another caster into an add.
    typeText(window, "Txt_Name", "Zed");
    chooseItem(window, "Cmbo_Names", "Corwin");
    EXPECT_FALSE(window->findChild<QLineEdit *>("Txt_Name")->isEnabled());
    EXPECT_EQ(boxText(window, "Txt_Name"), "");
    EXPECT_EQ(boxText(window, "Txt_Level"), "5");
    EXPECT_EQ(boxText(window, "Txt_Race"), "Elf");
    EXPECT_EQ(boxText(window, "Txt_Class"), "Mage");
    EXPECT_EQ(window->spellsPerLevelBox(1)->text(), "4");
    EXPECT_EQ(window->spellsPerLevelBox(1)->objectName(), "Txt_Levels_0");

    // A figure an older record holds is shown as it is, and not saved so.
    EXPECT_EQ(boxText(window, "Txt_Levels_3"), "many");
    const QStringList before = library.dump();
    clickButton(window, "CmdApply");
    EXPECT_EQ(prompt.messages(),
              QStringList{"The figure for fourth-level spells is a whole number from 0 to 99, or empty."});
    EXPECT_EQ(library.dump(), before);
    prompt.clear();

    // A level and the figures take only whole numbers from 0 to 99, as they are typed.
    struct Typed
    {
        QString box;
        QString keys;
        QString shown;
    };
    const QList<Typed> typing = {{"Txt_Level", "abc", ""},
                                 {"Txt_Level", "-12", "12"},
                                 {"Txt_Levels_0", "100", "10"},
                                 {"Txt_Levels_1", "2.5", "25"},
                                 {"Txt_Levels_2", " 7", "7"}};
    for (const Typed &typed : typing) {
        auto *edit = window->findChild<QLineEdit *>(typed.box);
        ASSERT_NE(edit, nullptr);
        edit->clear();
        QTest::keyClicks(edit, typed.keys);
        EXPECT_EQ(edit->text(), typed.shown) << typed.box.toStdString() << " " << typed.keys.toStdString();
    }

    typeText(window, "Txt_Level", " 7 ");
    for (int index = 0; index < kLevelBoxes.size(); ++index)
        typeText(window, kLevelBoxes.at(index), QString::number(9 - index));
    clickButton(window, "CmdApply");
    EXPECT_EQ(prompt.messages(), QStringList{"Update successful"});
    EXPECT_EQ(casterRow("Corwin"), QStringList{"Corwin|7|Elf|Mage|9|8|7|6|5|4|3|2|1"});
    EXPECT_TRUE(casterRow("Zed").isEmpty());

    // Enter in a box presses Apply.
    prompt.clear();
    typeText(window, "Txt_Class", "Bard");
    QTest::keyClick(window->findChild<QLineEdit *>("Txt_Class"), Qt::Key_Return);
    EXPECT_EQ(prompt.messages(), QStringList{"Update successful"});
    EXPECT_EQ(library.rows("SELECT Class FROM SpellCasters WHERE Spellbook = 'Corwin'"), QStringList{"Bard"});

    // The caster with quotes in its name loads and saves like any other.
    chooseItem(window, "Cmbo_Names", kQuoted);
    EXPECT_EQ(boxText(window, "Txt_Level"), "5");
    typeText(window, "Txt_Race", "Gnome");
    clickButton(window, "CmdApply");
    EXPECT_EQ(library.rows("SELECT Race FROM SpellCasters WHERE Spellbook = ?", {kQuoted}),
              QStringList{"Gnome"});

    // A caster gone from the library since it was chosen is reported, not saved as a success.
    chooseItem(window, "Cmbo_Names", "Corwin");
    library.db().exec("DELETE FROM SpellCasters WHERE Spellbook = 'Corwin'");
    prompt.clear();
    clickButton(window, "CmdApply");
    EXPECT_EQ(prompt.messages(), QStringList{"Spellbook details could not be found"});

    // "<new>" starts again from empty boxes.
    chooseItem(window, "Cmbo_Names", "<new>");
    EXPECT_TRUE(window->findChild<QLineEdit *>("Txt_Name")->isEnabled());
    for (const QString &box : kLevelBoxes + QStringList{"Txt_Level", "Txt_Race", "Txt_Class"})
        EXPECT_EQ(boxText(window, box), "") << box.toStdString();
}

TEST_F(ManageSpellbooks, CapacitiesAppliedShowInTheBrowserAndTypingSurvivesOtherWindows)
{
    Frm_Browser *corwin = openBrowser("Corwin");
    Frm_ManageSpellbooks *window = open();
    ASSERT_TRUE(window);
    const auto secondLevel = [corwin] {
        const QListWidgetItem *second = control<QListWidget>(corwin, "Lst_Levels")->item(1);
        return second->data(LevelCountDelegate::CountRole).toString();
    };
    EXPECT_FALSE(secondLevel().endsWith("/1")) << secondLevel().toStdString();
    chooseItem(window, "Cmbo_Names", "Corwin");
    typeText(window, "Txt_Levels_1", "1");
    clickButton(window, "CmdApply");
    EXPECT_EQ(prompt.messages(), QStringList{"Update successful"});
    EXPECT_TRUE(secondLevel().endsWith("/1")) << secondLevel().toStdString();

    // Another window changes the casters: edits not yet applied, and a new caster being
    // typed, stay as the user left them.
    typeText(window, "Txt_Class", "Bard");
    library.addCaster("Ilse");
    emit frame().events().castersChanged();
    EXPECT_EQ(comboItems(window, "Cmbo_Names"), (QStringList{"<new>", "Corwin", kQuoted, "Ilse"}));
    EXPECT_EQ(boxText(window, "Txt_Class"), "Bard");
    chooseItem(window, "Cmbo_Names", "<new>");
    typeText(window, "Txt_Name", "Dara");
    typeText(window, "Txt_Race", "Elf");
    library.addCaster("Jory");
    emit frame().events().castersChanged();
    EXPECT_EQ(boxText(window, "Txt_Name"), "Dara");
    EXPECT_EQ(boxText(window, "Txt_Race"), "Elf");
    clickButton(window, "CmdApply");
    EXPECT_EQ(library.rows("SELECT Race FROM SpellCasters WHERE Spellbook = 'Dara'"), QStringList{"Elf"});
}

TEST_F(ManageSpellbooks, ANewCasterOpensInABrowserAndEveryListHasItAndFailuresLoseNothing)
{
    Frm_ManageSpellbooks *window = open();
    ASSERT_TRUE(window);
    // Database failures are shown and lose nothing.
    library.db().exec("CREATE TRIGGER Full BEFORE INSERT ON SpellCasters "
                      "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
    typeText(window, "Txt_Name", "Zed");
    clickButton(window, "CmdApply");
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastMessage().contains("database or disk is full"))
        << prompt.lastMessage().toStdString();
    EXPECT_EQ(boxText(window, "Txt_Name"), "Zed");
    EXPECT_TRUE(openBrowsers().isEmpty());
    EXPECT_EQ(dropDown(), (QStringList{"KXR", "Corwin", kQuoted}));

    // A caster that cannot be read leaves no empty boxes behind to be saved over it.
    const QStringList before = casterRow("Corwin");
    library.db().exec("ALTER TABLE SpellCasters RENAME TO Away");
    prompt.clear();
    chooseItem(window, "Cmbo_Names", "Corwin");
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastMessage().contains("SpellCasters")) << prompt.lastMessage().toStdString();
    EXPECT_EQ(control<QComboBox>(window, "Cmbo_Names")->currentText(), "<new>");
    library.db().exec("ALTER TABLE Away RENAME TO SpellCasters");
    clickButton(window, "CmdApply");
    EXPECT_EQ(casterRow("Corwin"), before);
    library.db().exec("DROP TRIGGER Full;");
    prompt.clear();

    const QString name = "Maud's \"Quiet\" | Step";
    typeText(window, "Txt_Name", "  " + name + " ");
    typeText(window, "Txt_Level", "3");
    typeText(window, "Txt_Levels_0", "2");
    clickButton(window, "CmdApply");

    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(casterRow(name), QStringList{name + "|3|||2||||||||"});
    EXPECT_EQ(dropDown(), (QStringList{"KXR", "Corwin", kQuoted, name}));
    const QList<Frm_Browser *> browsers = openBrowsers();
    ASSERT_EQ(browsers.size(), 1);
    EXPECT_EQ(browsers.at(0)->tag(), name);
    EXPECT_EQ(frame().area()->activeSubWindow()->widget(), browsers.at(0));
    EXPECT_EQ(comboItems(window, "Cmbo_Names"), (QStringList{"<new>", "Corwin", kQuoted, name}));
    EXPECT_EQ(comboItems(window, "Cmbo_Delete"), (QStringList{"Corwin", kQuoted, name}));
    EXPECT_EQ(boxText(window, "Txt_Name"), "");

    // A caster another window adds (an import) is listed too; the caster shown stays.
    chooseItem(window, "Cmbo_Names", "Corwin");
    library.addCaster("Imported");
    frame().Refresh_From_Import("Imported");
    EXPECT_EQ(comboItems(window, "Cmbo_Delete").last(), "Imported");
    EXPECT_EQ(boxText(window, "Txt_Race"), "Elf");

    // A window that cannot read the casters says why and does not stay open, empty.
    clickButton(window, "CmdCancel");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    library.db().exec("DROP TABLE SpellCasters");
    prompt.clear();
    chooseMenuEntry(&frame(), "Main_Tools_Spellbooks");
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastMessage().contains("SpellCasters")) << prompt.lastMessage().toStdString();
    EXPECT_TRUE(OpenWindows::all<Frm_ManageSpellbooks>(frame().area()).isEmpty());
}

TEST_F(ManageSpellbooks, DeletesACasterOnlyWhenNoBrowserShowsIt)
{
    openBrowser("Corwin");
    Frm_ManageSpellbooks *window = open();
    ASSERT_TRUE(window);
    showTab(window, 1);
    EXPECT_FALSE(canClick(window, "CmdApply"));
    // No caster is put up for deletion until one is chosen.
    EXPECT_EQ(control<QComboBox>(window, "Cmbo_Delete")->currentIndex(), -1);
    clickButton(window, "CmdDelete");
    EXPECT_TRUE(prompt.shown().isEmpty());

    chooseItem(window, "Cmbo_Delete", "Corwin");
    clickButton(window, "CmdDelete");
    EXPECT_EQ(prompt.messages(),
              QStringList{"Corwin is currently open.  You must\nclose the spellbook before deleting"});
    EXPECT_TRUE(prompt.questions().isEmpty());

    // No keeps the caster; Yes deletes it and its spellbook, and nothing of the other caster.
    chooseItem(window, "Cmbo_Delete", kQuoted);
    prompt.clear();
    prompt.answer(false);
    clickButton(window, "CmdDelete");
    EXPECT_EQ(casterRow(kQuoted).size(), 1);
    prompt.answer(true);
    clickButton(window, "CmdDelete");
    EXPECT_EQ(prompt.questions(),
              QStringList(2, "Are you sure you want to delete " + kQuoted + "\nas a Spellbook?"));
    EXPECT_EQ(prompt.messages(), QStringList{"Delete successful"});
    EXPECT_TRUE(casterRow(kQuoted).isEmpty());
    EXPECT_EQ(library.rows("SELECT Caster FROM Spellbook"), QStringList{"Corwin"});
    EXPECT_EQ(dropDown(), (QStringList{"KXR", "Corwin"}));
    EXPECT_EQ(comboItems(window, "Cmbo_Delete"), QStringList{"Corwin"});

    // Once its browser is closed the caster can go.
    qobject_cast<QMdiSubWindow *>(openBrowsers().at(0)->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    showTab(window, 0);
    showTab(window, 1);
    EXPECT_TRUE(canClick(window, "CmdDelete"));
    chooseItem(window, "Cmbo_Delete", "Corwin");
    prompt.answer(true);
    clickButton(window, "CmdDelete");
    EXPECT_EQ(library.count("SELECT COUNT(*) FROM SpellCasters"), 0);
    EXPECT_EQ(comboItems(window, "Cmbo_Names"), QStringList{"<new>"});

    // With nothing left to delete the button does nothing; Cancel closes the window.
    prompt.clear();
    clickButton(window, "CmdDelete");
    EXPECT_TRUE(prompt.shown().isEmpty());
    clickButton(window, "CmdCancel");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(OpenWindows::all<Frm_ManageSpellbooks>(frame().area()).isEmpty());
}
