#include "WindowTest.h"

#include "browse/Frm_Unlearned.h"
#include "maintain/Frm_ManageSpells.h"

#include <functional>

namespace {

const QString kAdded =
    "Spell added successfully.  Note that the Browser\nmust be refreshed for the new spell to show";
const QString kUpdated = "Update successful.  Note that if the Browser or spell card\n"
                         "are open then they must be refreshed in order for the changes to show.";
const QString kRenamed = "Update successful.  Note that if the Browser or spell card are open \n"
                         "then they may need to be refreshed in order for the changes to show.";
const QString kRenameQuestion = "This action includes a request for a name change.  Note that\n"
                                "this will NOT result in a new spell but rather updating the existing\n"
                                "spell with a new name.  Are you sure this is what you want?";

// The library every scenario starts from:
//   Cinder Veil (3; Sun, Alteration), Bramble Gate (2; Alteration), Ember Call (1; Necromancy),
//   Maud's "Quiet" Step (1; Mistress' Shadows), amber Lantern (1; Sun)
//   Bryn holds Bramble Gate and Cinder Veil; Corwin holds nothing.
class ManageSpellsTest : public WindowTest
{
protected:
    ManageSpellsTest()
    {
        for (const char *school :
             {"Alteration", "Illusion/Phantasm", "Necromancy", "Mistress' Shadows", "Sun"})
            library.addSchool(QString::fromUtf8(school));
        library.addSpell("Cinder Veil", "3", {"Sun", "Alteration"});
        library.addSpell("Bramble Gate", "2", {"Alteration"});
        library.addSpell("Ember Call", "1", {"Necromancy"});
        library.addSpell("Maud's \"Quiet\" Step", "1", {"Mistress' Shadows"});
        library.addSpell("amber Lantern", "1", {"Sun"}, "Rare");
        library.addCaster("Bryn");
        library.addCaster("Corwin");
        library.addToSpellbook("Bryn", "Bramble Gate", "2");
        library.addToSpellbook("Bryn", "Cinder Veil", "3");
    }

    Frm_ManageSpells *openWindow() { return openFromMenu<Frm_ManageSpells>("Main_Tools_Spells"); }

    static QString shown(QWidget *window, const QString &combo)
    {
        return control<QComboBox>(window, combo)->currentText();
    }

    QStringList stored(const QString &spell)
    {
        return library.rows(
            "SELECT Name, Lvl, Frequency, Range, [Casting Time], [Casting Time Type] FROM Spells "
            "WHERE Name = ?",
            {spell});
    }
    QStringList schoolsOf(const QString &spell)
    {
        return library.rows("SELECT Sphere FROM SpellandSphere WHERE Name = ? ORDER BY rowid", {spell});
    }
    QStringList spellbooksOf(const QString &spell)
    {
        return library.rows(
            "SELECT Caster || '|' || SpellLevel FROM Spellbook WHERE SpellName = ? ORDER BY rowid", {spell});
    }
    static QStringList names(const Frm_Browser *browser)
    {
        return columnTexts(control<ListView>(browser, "LV_Spells"));
    }
    // Drags one spell from a browser and drops it on another, as the mouse does.
    static void drag(Frm_Browser *from, const QString &spell, Frm_Browser *to)
    {
        auto *list = control<ListView>(from, "LV_Spells");
        selectRows(list, {spell});
        EXPECT_TRUE(dragAndDrop(list, control<ListView>(to, "LV_Spells")->viewport()));
    }
};

TEST_F(ManageSpellsTest, EditsAddsAndRefusesAsTheUserExpects)
{
    Frm_ManageSpells *window = openWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Manage Spells");
    EXPECT_EQ(comboItems(window, "cmbo_Spells"),
              (QStringList{"<new>", "amber Lantern", "Bramble Gate", "Cinder Veil", "Ember Call",
                           "Maud's \"Quiet\" Step"}));
    EXPECT_EQ(shown(window, "cmbo_Spells"), "<new>");
    EXPECT_EQ(selectedItems(window, "Lst_Spellbooks"), QStringList{"KXR"});

    // The find box selects the first spell starting with the text in any case; text no spell
    // starts with, and "<new>", leave the window as it is.
    const struct
    {
        const char *typed;
        const char *shows;
    } finds[] = {{"c", "Cinder Veil"}, {"EMB", "Ember Call"},   {"zz", "Ember Call"},
                 {"<n", "Ember Call"}, {"Am", "amber Lantern"}, {"maud's \"", "Maud's \"Quiet\" Step"}};
    for (const auto &find : finds) {
        typeKeys(window, "txtFind", find.typed);
        EXPECT_EQ(shown(window, "cmbo_Spells"), find.shows) << find.typed;
        EXPECT_EQ(boxText(window, "Txt_New"), find.shows) << find.typed;
    }

    // A new spell is refused, with nothing written, until it has a free name, a level and a school.
    pressButton(window, "Add");
    EXPECT_EQ(boxText(window, "txtFind"), QString());
    const QStringList before = library.dump();
    const struct
    {
        const char *name;
        const char *level;
        QStringList schools;
        const char *message;
    } refusals[] = {{"Cinder Veil", "", {}, "Spell Name already exists"},
                    {"  Cinder Veil ", "3", {"Sun"}, "Spell Name already exists"},
                    {"<new>", "", {}, "Spell Name already exists"},
                    {"", "", {}, "Spell Name required"},
                    {"   ", "2", {"Sun"}, "Spell Name required"},
                    {"Frost Lance", "", {}, "Level is required"},
                    {"Frost Lance", "2", {}, "Spell must have at least 1 School"}};
    for (const auto &refusal : refusals) {
        typeKeys(window, "Txt_New", refusal.name);
        if (*refusal.level)
            chooseItem(window, "Cmbo_Levels", refusal.level);
        else
            control<QComboBox>(window, "Cmbo_Levels")->setCurrentIndex(-1);
        selectExactly(window, "Lst_Schools", refusal.schools);
        prompt.clear();
        pressButton(window, "Save");
        EXPECT_EQ(prompt.messages(), QStringList{refusal.message}) << refusal.name;
    }
    EXPECT_EQ(library.dump(), before);

    // A name differing only in letter case is a new spell; KXR is never stored as a spellbook.
    typeKeys(window, "Txt_New", "CINDER VEIL");
    chooseItem(window, "Cmbo_Levels", "4");
    chooseItem(window, "Cmbo_Frequency", "Very Rare");
    typeKeys(window, "txt_Range", "Touch");
    chooseItem(window, "cbo_Type", "Round(s)");
    typeKeys(window, "txt_CT", "2");
    selectExactly(window, "Lst_Schools", {"Sun", "Necromancy"});
    selectExactly(window, "Lst_Spellbooks", {"KXR", "Corwin"});
    prompt.clear();
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{kAdded});
    EXPECT_EQ(stored("CINDER VEIL"), QStringList{"CINDER VEIL|4|Very Rare|Touch|2|Round(s)"});
    EXPECT_EQ(schoolsOf("CINDER VEIL"), (QStringList{"Necromancy", "Sun"}));
    EXPECT_EQ(spellbooksOf("CINDER VEIL"), QStringList{"Corwin|4"});
    EXPECT_EQ(shown(window, "cmbo_Spells"), "<new>");
    EXPECT_EQ(boxText(window, "Txt_New"), QString());
    EXPECT_TRUE(comboItems(window, "cmbo_Spells").contains("CINDER VEIL"));

    // An existing spell shows what it holds.
    chooseItem(window, "cmbo_Spells", "Cinder Veil");
    EXPECT_EQ(shown(window, "Cmbo_Levels"), "3");
    EXPECT_EQ(shown(window, "cbo_Type"), "Segment(s)");
    EXPECT_EQ(boxText(window, "txt_Duration"), "1 round");
    EXPECT_EQ(control<QTextEdit>(window, "RTB_Desc")->toPlainText(), "A test spell.");
    EXPECT_EQ(selectedItems(window, "Lst_Schools"), (QStringList{"Alteration", "Sun"}));
    EXPECT_EQ(selectedItems(window, "Lst_Spellbooks"), (QStringList{"KXR", "Bryn"}));

    // Without schools it is refused and nothing is written.
    selectExactly(window, "Lst_Schools", {});
    prompt.clear();
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{"Spell must have at least 1 School"});
    EXPECT_EQ(schoolsOf("Cinder Veil"), (QStringList{"Sun", "Alteration"}));

    // Without spellbooks it leaves every spellbook; KXR cannot be deselected. Blanks around the
    // name are no new name, and ask nothing.
    typeKeys(window, "Txt_New", "Cinder Veil ");
    selectExactly(window, "Lst_Schools", {"Sun"});
    selectExactly(window, "Lst_Spellbooks", {});
    EXPECT_EQ(selectedItems(window, "Lst_Spellbooks"), QStringList{"KXR"});
    prompt.clear();
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{kUpdated});
    EXPECT_EQ(spellbooksOf("Cinder Veil"), QStringList());
    EXPECT_EQ(schoolsOf("Cinder Veil"), QStringList{"Sun"});
    EXPECT_FALSE(window->hasUnsavedChanges());

    // "Special" empties the casting time and shuts it.
    chooseItem(window, "cbo_Type", "Special");
    EXPECT_EQ(boxText(window, "txt_CT"), QString());
    EXPECT_FALSE(control<QLineEdit>(window, "txt_CT")->isEnabled());
    chooseItem(window, "cbo_Type", "Turn(s)");
    EXPECT_TRUE(control<QLineEdit>(window, "txt_CT")->isEnabled());

    // No to the name change leaves the library as it was and the new name where it was typed.
    typeKeys(window, "Txt_New", "Cinder Shroud");
    const QStringList unchanged = library.dump();
    prompt.clear();
    prompt.answer(false);
    pressButton(window, "Save");
    EXPECT_EQ(prompt.questions(), QStringList{kRenameQuestion});
    EXPECT_EQ(library.dump(), unchanged);
    EXPECT_EQ(boxText(window, "Txt_New"), "Cinder Shroud");

    // Nor may a spell take another spell's name, which would merge the two.
    typeKeys(window, "Txt_New", "Ember Call");
    prompt.clear();
    pressButton(window, "Save");
    EXPECT_EQ(prompt.shown(), QStringList{"Spell Name already exists"});
    EXPECT_EQ(library.dump(), unchanged);
}

TEST_F(ManageSpellsTest, ShowsEachSpellAsStoredAndNeverWhatThePreviousOneLeft)
{
    library.setSpell("Ember Call",
                     {{"Lvl", QString()}, {"Frequency", "Legendary"}, {"Components", "V,S,M,X"}});
    Frm_ManageSpells *window = openWindow();
    chooseItem(window, "cmbo_Spells", "Cinder Veil");
    EXPECT_EQ(shown(window, "Cmbo_Levels"), "3");

    // No level: the level is cleared. A value the list does not offer leaves its drop-down
    // unselected, shows it greyed, and a save keeps it.
    chooseItem(window, "cmbo_Spells", "Ember Call");
    for (const char *combo : {"Cmbo_Levels", "Cmbo_Frequency", "Cmbo_Components"})
        EXPECT_EQ(control<QComboBox>(window, combo)->currentIndex(), -1) << combo;
    EXPECT_EQ(control<QComboBox>(window, "Cmbo_Frequency")->placeholderText(), "Legendary");
    typeKeys(window, "txt_Range", "Sight");
    prompt.clear();
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{kUpdated});
    EXPECT_EQ(library.rows("SELECT Lvl, Frequency, Components, Range FROM Spells WHERE Name = 'Ember Call'"),
              QStringList{"|Legendary|V,S,M,X|Sight"});

    // A spell that cannot be read is said so, and the window is left on a new spell: nothing of
    // the spell shown before can be saved over it.
    library.db().exec("ALTER TABLE SpellandSphere RENAME TO Unreadable;");
    prompt.clear();
    chooseItem(window, "cmbo_Spells", "Bramble Gate");
    EXPECT_EQ(prompt.messages(), QStringList{"The spell Bramble Gate could not be read from the Library"});
    EXPECT_EQ(shown(window, "cmbo_Spells"), "<new>");
    EXPECT_EQ(boxText(window, "Txt_New"), QString());
    EXPECT_EQ(boxText(window, "txt_Range"), QString());
    EXPECT_FALSE(window->hasUnsavedChanges());
}

TEST_F(ManageSpellsTest, AsksBeforeUnsavedEditsWouldBeLost)
{
    Frm_ManageSpells *window = openWindow();
    chooseItem(window, "cmbo_Spells", "Cinder Veil");
    typeKeys(window, "txt_Range", "Touch");

    // Cancel stays, edits and all; Discard goes on; Save writes first.
    prompt.answerSave(Prompt::Choice::Cancel);
    chooseItem(window, "cmbo_Spells", "Bramble Gate");
    EXPECT_EQ(prompt.questions(),
              QStringList{"The changes to Cinder Veil have not been saved.\nSave them now?"});
    EXPECT_EQ(shown(window, "cmbo_Spells"), "Cinder Veil");
    EXPECT_EQ(boxText(window, "txt_Range"), "Touch");

    prompt.answerSave(Prompt::Choice::Discard);
    typeKeys(window, "txtFind", "bra");
    EXPECT_EQ(shown(window, "cmbo_Spells"), "Bramble Gate");
    EXPECT_EQ(stored("Cinder Veil"), QStringList{"Cinder Veil|3|Common|60 yards|1|Segment(s)"});

    typeKeys(window, "txt_Range", "Sight");
    prompt.answerSave(Prompt::Choice::Save);
    prompt.clear();
    pressButton(window, "Add");
    EXPECT_EQ(prompt.messages(), QStringList{kUpdated});
    EXPECT_EQ(stored("Bramble Gate"), QStringList{"Bramble Gate|2|Common|Sight|1|Segment(s)"});
    EXPECT_EQ(shown(window, "cmbo_Spells"), "<new>");

    // A save that is refused keeps the window where it is.
    typeKeys(window, "Txt_New", "Frost Lance");
    prompt.answerSave(Prompt::Choice::Save);
    prompt.clear();
    chooseItem(window, "cmbo_Spells", "Ember Call");
    EXPECT_EQ(prompt.messages(), QStringList{"Level is required"});
    EXPECT_EQ(shown(window, "cmbo_Spells"), "<new>");
    EXPECT_EQ(boxText(window, "Txt_New"), "Frost Lance");

    // Closing asks too, also when the whole program is closed.
    prompt.answerSave(Prompt::Choice::Cancel);
    EXPECT_FALSE(frame().close());
    auto *subWindow = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    prompt.answerSave(Prompt::Choice::Cancel);
    EXPECT_FALSE(subWindow->close());
    EXPECT_TRUE(window->isVisible());
    prompt.answerSave(Prompt::Choice::Discard);
    EXPECT_TRUE(subWindow->close());
    EXPECT_EQ(library.count("SELECT COUNT(*) FROM Spells WHERE Name = 'Frost Lance'"), 0);
}

TEST_F(ManageSpellsTest, EveryOpenerReachesTheOneWindowOnItsSpell)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    auto *list = control<ListView>(bryn, "LV_Spells");
    const auto select = [list](const QString &spell) { selectRows(list, {spell}); };
    const auto spellsWindow = [this] { return OpenWindows::all<Frm_ManageSpells>(frame().area()); };
    const struct
    {
        const char *spell;
        std::function<void()> open;
    } openers[] = {
        {"Bramble Gate",
         [&] {
             select("Bramble Gate");
             pressButton(bryn, "Manage Spell");
         }},
        {"Cinder Veil",
         [&] {
             select("Cinder Veil");
             choosePopupEntry(list, "Private_Browser_Manage");
         }},
        {"Ember Call",
         [&] {
             frame().viewSpell("Ember Call", bryn);
             pressButton(OpenWindows::all<Frm_Spell>(frame().area()).constLast(), "Manage Spell");
         }},
        {"Ember Call", [&] { pressButton(&frame(), "Manage Spells"); }},
        // Another window sets the picker's text.
        {"Maud's \"Quiet\" Step",
         [&] {
             control<QComboBox>(spellsWindow().constFirst(), "cmbo_Spells")
                 ->setCurrentText("Maud's \"Quiet\" Step");
         }},
    };
    for (const auto &opener : openers) {
        opener.open();
        ASSERT_EQ(spellsWindow().size(), 1) << opener.spell;
        EXPECT_EQ(spellsWindow().constFirst()->shownSpell(), opener.spell);
        EXPECT_EQ(frame().area()->activeSubWindow()->widget(), spellsWindow().constFirst()) << opener.spell;
    }
}

TEST_F(ManageSpellsTest, ARenameAndADeleteAreFollowedByTheOpenBrowsersAndThePicker)
{
    library.addToSpellbook("Corwin", "Ember Call", "1");
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Browser *corwin = openBrowser("Corwin");
    Frm_ManageSpells *window = openWindow();
    chooseItem(window, "cmbo_Spells", "Cinder Veil");
    typeKeys(window, "Txt_New", "O'Brien's \"Veil\"");
    prompt.answer(true);
    prompt.clear();
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{kRenamed});

    EXPECT_EQ(names(kxr), (QStringList{"amber Lantern", "Bramble Gate", "Ember Call", "Maud's \"Quiet\" Step",
                                       "O'Brien's \"Veil\""}));
    EXPECT_EQ(names(bryn), (QStringList{"Bramble Gate", "O'Brien's \"Veil\""}));
    EXPECT_EQ(shown(window, "cmbo_Spells"), "O'Brien's \"Veil\"");
    EXPECT_FALSE(comboItems(window, "cmbo_Spells").contains("Cinder Veil"));
    EXPECT_EQ(schoolsOf("O'Brien's \"Veil\""), (QStringList{"Alteration", "Sun"})); // in list order
    EXPECT_EQ(spellbooksOf("O'Brien's \"Veil\""), QStringList{"Bryn|3"});
    EXPECT_EQ(library.count("SELECT COUNT(*) FROM Spellbook WHERE SpellName = 'Cinder Veil'"), 0);

    prompt.answer(false);
    pressButton(window, "Delete");
    EXPECT_EQ(stored("O'Brien's \"Veil\"").size(), 1);

    prompt.clear();
    prompt.answer(true);
    pressButton(window, "Delete");
    EXPECT_EQ(prompt.questions(),
              QStringList{"Are you sure you want to delete O'Brien's \"Veil\"\nfrom the Library?"});
    EXPECT_EQ(prompt.messages(), QStringList{"Spell deleted from Library"});
    EXPECT_EQ(stored("O'Brien's \"Veil\"") + schoolsOf("O'Brien's \"Veil\"") +
                  spellbooksOf("O'Brien's \"Veil\""),
              QStringList());

    EXPECT_EQ(names(kxr),
              (QStringList{"amber Lantern", "Bramble Gate", "Ember Call", "Maud's \"Quiet\" Step"}));
    EXPECT_EQ(names(bryn), QStringList{"Bramble Gate"});
    EXPECT_EQ(names(corwin), QStringList{"Ember Call"});
    EXPECT_EQ(panelTexts(kxr, "SB_Browser").value(0), "4 spells listed");
    EXPECT_EQ(panelTexts(bryn, "SB_Browser").value(0), "1 spells listed");
    EXPECT_EQ(panelTexts(corwin, "SB_Browser").value(0), "1 spells listed");

    // The window is back on a new spell, the name gone from the picker; Delete does nothing there.
    EXPECT_EQ(shown(window, "cmbo_Spells"), "<new>");
    EXPECT_FALSE(comboItems(window, "cmbo_Spells").contains("O'Brien's \"Veil\""));
    prompt.clear();
    pressButton(window, "Delete");
    EXPECT_EQ(prompt.shown(), QStringList());
}

TEST_F(ManageSpellsTest, NamesWithQuotesApostrophesAndBarsAreOrdinaryNames)
{
    Frm_ManageSpells *window = openWindow();
    for (const char *name : {"O'Brien's \"Bolt\"", "Bolt | Arc", "\"; DROP TABLE Spells; --"}) {
        typeKeys(window, "Txt_New", name);
        chooseItem(window, "Cmbo_Levels", "1");
        selectExactly(window, "Lst_Schools", {"Mistress' Shadows"});
        selectExactly(window, "Lst_Spellbooks", {"Bryn"});
        prompt.clear();
        pressButton(window, "Save");
        EXPECT_EQ(prompt.messages(), QStringList{kAdded}) << name;
        EXPECT_EQ(schoolsOf(name), QStringList{"Mistress' Shadows"}) << name;
        EXPECT_EQ(spellbooksOf(name), QStringList{"Bryn|1"}) << name;
    }

    typeKeys(window, "txtFind", "maud's \"q");
    EXPECT_EQ(shown(window, "cmbo_Spells"), "Maud's \"Quiet\" Step");
    typeKeys(window, "Txt_New", "Maud's \"Loud\" Step");
    prompt.answer(true);
    pressButton(window, "Save");
    EXPECT_EQ(stored("Maud's \"Loud\" Step").size(), 1);
    EXPECT_EQ(schoolsOf("Maud's \"Loud\" Step"), QStringList{"Mistress' Shadows"});
    EXPECT_EQ(library.count("SELECT COUNT(*) FROM Spells"), 8);
}

TEST_F(ManageSpellsTest, FollowsSchoolsCastersAndSpellsChangedElsewhere)
{
    Frm_ManageSpells *window = openWindow();
    chooseItem(window, "cmbo_Spells", "Bramble Gate");
    selectExactly(window, "Lst_Schools", {"Alteration", "Sun"}); // an edit not yet saved

    library.addSchool("Weather");
    library.addCaster("Ilse");
    library.addToSpellbook("Ilse", "Bramble Gate", "2");
    library.addSpell("Dawn Hymn", "1", {"Sun"});
    LibraryEvents &events = frame().events();
    emit events.schoolsChanged();
    emit events.castersChanged();
    emit events.spellsChanged();

    EXPECT_EQ(selectedItems(window, "Lst_Schools"), (QStringList{"Alteration", "Sun"}));
    EXPECT_EQ(control<QListWidget>(window, "Lst_Schools")->count(), 6);
    // Spellbooks the user has not chosen anew are read again; the school edit stays unsaved.
    EXPECT_EQ(selectedItems(window, "Lst_Spellbooks"), (QStringList{"KXR", "Bryn", "Ilse"}));
    EXPECT_EQ(control<QListWidget>(window, "Lst_Spellbooks")->item(3)->text(), "Ilse");
    EXPECT_TRUE(comboItems(window, "cmbo_Spells").contains("Dawn Hymn"));
    EXPECT_EQ(shown(window, "cmbo_Spells"), "Bramble Gate");
    EXPECT_TRUE(window->hasUnsavedChanges());

    // Chosen anew, the user's choice of spellbooks stands.
    selectExactly(window, "Lst_Spellbooks", {"KXR", "Bryn"});
    library.addToSpellbook("Corwin", "Bramble Gate", "2");
    emit events.castersChanged();
    EXPECT_EQ(selectedItems(window, "Lst_Spellbooks"), (QStringList{"KXR", "Bryn"}));

    // Unedited, the spell is read again.
    prompt.answerSave(Prompt::Choice::Discard);
    pressButton(window, "Add");
    chooseItem(window, "cmbo_Spells", "Bramble Gate");
    library.db().exec("DELETE FROM Spellbook WHERE Caster = 'Ilse'");
    emit events.castersChanged();
    EXPECT_EQ(selectedItems(window, "Lst_Spellbooks"), (QStringList{"KXR", "Bryn", "Corwin"}));
    EXPECT_FALSE(window->hasUnsavedChanges());

    // So is a spell changed elsewhere (an import overwriting it): a save here does not write
    // its old fields back.
    library.setSpell("Bramble Gate", {{"Range", "90 yards"}});
    emit events.spellsChanged();
    EXPECT_EQ(boxText(window, "txt_Range"), "90 yards");
    EXPECT_FALSE(window->hasUnsavedChanges());
    typeKeys(window, "txt_Page", "12");
    pressButton(window, "Save");
    EXPECT_EQ(library.rows("SELECT Range || '/' || Page FROM Spells WHERE Name = 'Bramble Gate'"),
              QStringList{"90 yards/12"});
    // Edited, it stays as the user left it.
    typeKeys(window, "txt_Range", "Touch");
    library.setSpell("Bramble Gate", {{"Range", "Sight"}});
    emit events.spellsChanged();
    EXPECT_EQ(boxText(window, "txt_Range"), "Touch");
}

// A drop, a removal and a learned spell in other windows while the spell is shown, with an
// edit of its own not yet saved: the save writes the edit and undoes none of them.
TEST_F(ManageSpellsTest, ASaveKeepsSpellbookChangesMadeInOtherWindows)
{
    library.addFailed("Corwin", "Ember Call", "1");
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Browser *corwin = openBrowser("Corwin");
    Frm_ManageSpells *window = openWindow();

    struct Case
    {
        QString spell;
        std::function<void()> elsewhere;
        QStringList shownBooks;
        QStringList storedBooks;
    };
    const Case cases[] = {
        {"amber Lantern", [&] { drag(kxr, "amber Lantern", corwin); }, {"KXR", "Corwin"}, {"Corwin|1"}},
        {"Cinder Veil",
         [&] {
             auto *list = control<ListView>(bryn, "LV_Spells");
             selectRows(list, {"Cinder Veil"});
             prompt.answer(true);
             choosePopupEntry(list, "Private_Browser_Remove");
         },
         {"KXR"},
         {}},
        {"Ember Call",
         [&] {
             pressButton(corwin, "Unlearned Spells");
             auto *failed = OpenWindows::named<Frm_Unlearned>(frame().area(), "Frm_Unlearned");
             ASSERT_TRUE(failed);
             clickRow(control<ListView>(failed, "LV_Spells"), 0);
             choosePopupEntry(control<ListView>(failed, "LV_Spells"), "Private_Unlearned_Learned");
         },
         {"KXR", "Corwin"},
         {"Corwin|1"}},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.spell.toStdString());
        chooseItem(window, "cmbo_Spells", step.spell);
        typeKeys(window, "txt_Range", "Touch");
        step.elsewhere();
        EXPECT_EQ(selectedItems(window, "Lst_Spellbooks"), step.shownBooks);
        prompt.clear();
        pressButton(window, "Save");
        EXPECT_EQ(prompt.messages(), QStringList{kUpdated});
        EXPECT_EQ(spellbooksOf(step.spell), step.storedBooks);
        EXPECT_EQ(library.rows("SELECT Range FROM Spells WHERE Name = ?", {step.spell}),
                  QStringList{"Touch"});
    }
}

// The library fails a save asked for on leaving the spell: the user is told, and the window stays
// on the spell.
TEST_F(ManageSpellsTest, AFailureInASaveOnLeavingIsShownAndTheWindowStays)
{
    Frm_ManageSpells *window = openWindow();
    chooseItem(window, "cmbo_Spells", "Ember Call");
    typeKeys(window, "Txt_New", "Boom");
    // The save fails once the spell is called Boom: abs() of the smallest integer is an error
    // inside SQLite.
    library.db().exec("CREATE TRIGGER Boom AFTER UPDATE ON Spells WHEN NEW.Name = 'Boom' BEGIN "
                      "SELECT abs(-9223372036854775807 - 1); END");
    prompt.answerSave(Prompt::Choice::Save);
    prompt.answer(true); // the new name
    chooseItem(window, "cmbo_Spells", "Cinder Veil");
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastMessage().contains("overflow")) << prompt.lastMessage().toStdString();
    EXPECT_EQ(shown(window, "cmbo_Spells"), "Ember Call");
    EXPECT_TRUE(window->isVisible());
}

} // namespace

TEST_F(ManageSpellsTest, TickingSpellbooksAsksOnceBeforeABookGoesPastItsCapacity)
{
    library.db().exec("UPDATE SpellCasters SET First = '0', Third = '1'");
    Frm_ManageSpells *window = openWindow();
    chooseItem(window, "cmbo_Spells", "Ember Call");
    selectExactly(window, "Lst_Spellbooks", {"KXR", "Bryn", "Corwin"});
    const QStringList before = library.dump();
    prompt.answer(false);
    pressButton(window, "Save");
    EXPECT_EQ(prompt.shown(),
              QStringList{"This takes Bryn's 1st-level spells to 1 of 0; and Corwin's 1st-level "
                          "spells to 1 of 0. Add anyway?"});
    EXPECT_EQ(library.dump(), before);

    prompt.clear();
    prompt.answer(true);
    pressButton(window, "Save");
    EXPECT_EQ(prompt.questions().size(), 1);
    EXPECT_EQ(spellbooksOf("Ember Call"), (QStringList{"Bryn|1", "Corwin|1"}));
    // Saved again, the spell joins no book: nothing is asked.
    prompt.clear();
    typeKeys(window, "txt_Range", "Touch");
    pressButton(window, "Save");
    EXPECT_TRUE(prompt.questions().isEmpty());

    // A new spell ticked for a full level asks the same.
    pressButton(window, "Add");
    typeKeys(window, "Txt_New", "Frost Lance");
    chooseItem(window, "Cmbo_Levels", "3");
    selectExactly(window, "Lst_Schools", {"Sun"});
    selectExactly(window, "Lst_Spellbooks", {"KXR", "Bryn"});
    prompt.clear();
    prompt.answer(false);
    pressButton(window, "Save");
    EXPECT_EQ(prompt.shown(), QStringList{"This takes Bryn's 3rd-level spells to 2 of 1. Add anyway?"});
    EXPECT_TRUE(stored("Frost Lance").isEmpty());
}
