#include "Peer.h"
#include "SearchFixture.h"

#include "browse/Frm_Memorized.h"
#include "browse/VM_DragDropAssistant.h"
#include "exchange/VM_SpellSaver.h"
#include "maintain/Frm_ManageSpellbooks.h"
#include "maintain/Frm_Search.h"
#include "store/VM_Memorized.h"
#include "store/VM_Spell.h"
#include "store/VM_Spellbook.h"

#include <QAction>

#include <functional>

namespace {

// Bryn (see BrowserTest) also has a failed spell, a memorized day and a scroll.
class UndoTest : public SearchTest
{
protected:
    UndoTest()
    {
        library.addFailed("Bryn", "Ember Call", "1");
        library.db().exec("UPDATE SpellCasters SET First = '2', Second = '2' WHERE Spellbook = 'Bryn';"
                          "INSERT INTO Memorized VALUES ('Bryn', 'Bramble Gate', '2', 1, 1);"
                          "INSERT INTO Scrolls (Caster, ScrollName, Spell, Lvl) "
                          "VALUES ('Bryn', 'Old Vellum', 'Cinder Veil', '3');");
    }

    // The library less the sequence of school numbers, which never goes back: a number handed
    // out once is not handed out again.
    QStringList contents()
    {
        QStringList rows = library.dump();
        rows.removeIf([](const QString &row) { return row.startsWith(QLatin1String("sqlite_sequence:")); });
        return rows;
    }

    QString entryText(const QString &name) { return frame().menuEntry(name)->text(); }
    bool entryEnabled(const QString &name) { return frame().menuEntry(name)->isEnabled(); }

    // The keys as a user presses them: into the frame's active window, wherever the focus is.
    void press(const QKeySequence &keys)
    {
        frame().show();
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
        QWidget *focus = QApplication::focusWidget();
        QTest::keySequence(focus ? focus : &frame(), keys);
    }

    QString spellFile(int count)
    {
        QByteArray text = "For Vellumar Use Only\r\n" + QByteArray::number(count) + "\r\n";
        for (int i = 0; i < count; ++i)
            text += "Rune " + QByteArray::number(i) +
                    "||1||Rare||||PHB||9||V||Touch||1 round||One||Round(s)||1||None||Text||Author||Sun\r\n";
        return writeFile(library.folder(), QStringLiteral("runes.spel"), text);
    }
};

ListRows selected(const QStringList &names)
{
    ListRows rows;
    for (const QString &name : names)
        rows.append(ListRow{name, {QStringLiteral("1")}, true, true});
    return rows;
}

} // namespace

TEST_F(UndoTest, EveryKindOfCommandIsOneStepUndoneAndRedoneByTheEditMenuAndItsKeys)
{
    frame();
    EXPECT_EQ(entryText("Main_Edit_Undo"), "&Undo");
    EXPECT_FALSE(entryEnabled("Main_Edit_Undo"));
    EXPECT_FALSE(entryEnabled("Main_Edit_Redo"));
    EXPECT_EQ(menuTexts(frame().menu("Main_Edit")), (QStringList{"&Undo", "&Redo"}));

    VM_Library &lib = frame().library();
    const auto check = [](const QString &status) { EXPECT_EQ(status, QString()); };
    const struct
    {
        QString step;
        std::function<void()> command;
    } commands[] = {
        {"Add Spell 'Zephyr'",
         [&] {
             VM_Spell spell;
             spell.Set_Spell_Name("Zephyr");
             spell.Set_Spell_Level("2");
             spell.Set_Spell_Schools_Collection({"Sun", "Alteration"});
             spell.Set_Spellbooks_Collection({"Corwin"});
             check(spell.Add_New_Spell());
         }},
        {"Rename Spell 'Cinder Veil' to 'Cinder Shroud'",
         [&] {
             VM_Spell spell;
             ASSERT_TRUE(spell.Set_Spell_Details("Cinder Veil"));
             spell.Set_Spell_Name("Cinder Shroud");
             spell.Set_Spell_Description("A & B");
             check(spell.Update_Existing_Spell("Cinder Veil", true));
         }},
        {"Delete Spell 'Bramble Gate'", [&] { check(VM_Spell().Delete_Spell("Bramble Gate")); }},
        {"Add Caster 'Serra'",
         [&] {
             VM_Spellbook caster;
             caster.Fetch_Name("Serra");
             check(caster.Add_New_Caster());
         }},
        {"Change Caster 'Bryn'",
         [&] {
             VM_Spellbook caster;
             check(caster.Set_Caster_Details("Bryn"));
             caster.Fetch_Race("Elf");
             check(caster.Update_Existing_Caster("Bryn"));
         }},
        {"Delete Caster 'Bryn'", [&] { check(VM_Spellbook().Delete_Existing_Caster("Bryn")); }},
        {"Add School 'Void'", [&] { check(lib.Add_New_School("Void")); }},
        {"Describe School 'Sun'", [&] { check(lib.Update_Exisiting_School_Description("Sun", "Light")); }},
        {"Delete School 'Sun'", [&] { check(lib.Delete_New_School("Sun")); }},
        {"Drop of 2 Spells onto Corwin",
         [&] {
             VM_DragDropAssistant &assistant = frame().dragDropAssistant();
             check(assistant.Pack_Data(selected({"Dusk Ward", "Ember Call"}), "KXR"));
             check(assistant.Unpack_To_Button("Corwin"));
         }},
        {"Removal of 1 Spell from Bryn",
         [&] { check(lib.Remove_Spells_From_Spellbook({"Cinder Veil"}, "Bryn")); }},
        {"1 Spell Learned by Bryn", [&] { lib.Learn_Failed_Spells("Bryn", selected({"Ember Call"})); }},
        {"Addition of 2 Spells to Corwin",
         [&] {
             lib.Add_Spells_To_Spellbook("Corwin", selected({"Dusk Ward", "amber Lantern"}));
         }},
        {"Save Scroll 'New Vellum'",
         [&] { check(lib.SaveScroll("New Vellum", "Corwin", selected({"Dusk Ward"}))); }},
        {"Delete Scroll 'Old Vellum'", [&] { check(lib.DeleteScroll("Scroll", "Bryn", "Old Vellum")); }},
        {"Memorize 1 Spell for Bryn",
         [&] { check(VM_Memorized().Add_Spells_To_Memorized("Bryn", {"Bramble Gate"})); }},
        {"Slots of Bryn at 2nd Level", [&] { check(VM_Memorized().Update_Slots_Per_Level("Bryn", 2, 4)); }},
        {"Save Plan 'Travel'", [&] { check(VM_Memorized().Save_Plan("Bryn", "Travel")); }},
        {"Uncast 'Bramble Gate'",
         [&] {
             VM_Memorized memorized;
             check(memorized.Update_Memorized_Cast("Bryn", memorized.Fetch_Memorized_Slots("Bryn").value(0),
                                                   false));
         }},
        {"Forget 'Bramble Gate'",
         [&] {
             VM_Memorized memorized;
             check(memorized.Remove_Memorized_Slot("Bryn", memorized.Fetch_Memorized_Slots("Bryn").value(0)));
         }},
        {"Rest of Bryn", [&] { check(VM_Memorized().Update_Memorized_Rest("Bryn")); }},
        {"Clear Memorized Spells of Bryn", [&] { check(VM_Memorized().Remove_All_Memorized("Bryn")); }},
        {"Import of 3 Spells",
         [&] {
             VM_SpellSaver saver;
             ListRows list;
             saver.OpenSpellFile2(list, spellFile(3));
             for (ListRow &row : list)
                 row.checked = true;
             saver.ImportSpells(list);
         }},
    };
    for (const auto &command : commands) {
        SCOPED_TRACE(command.step.toStdString());
        const QStringList before = contents();
        command.command();
        const QStringList after = contents();
        ASSERT_NE(after, before);
        EXPECT_EQ(entryText("Main_Edit_Undo"), "&Undo " + QString(command.step).replace("&", "&&"));
        EXPECT_EQ(entryText("Main_Edit_Redo"), "&Redo");
        EXPECT_FALSE(entryEnabled("Main_Edit_Redo"));

        // Undo by the menu entry, redo by Ctrl+Shift+Z, undo by Ctrl+Z, redo by Ctrl+Y.
        chooseMenuEntry(&frame(), "Main_Edit_Undo");
        EXPECT_EQ(contents(), before);
        EXPECT_EQ(entryText("Main_Edit_Redo"), "&Redo " + command.step);
        press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        EXPECT_EQ(contents(), after);
        press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        EXPECT_EQ(contents(), before);
        press(QKeySequence(Qt::CTRL | Qt::Key_Y));
        EXPECT_EQ(contents(), after);
        EXPECT_EQ(entryText("Main_Edit_Undo"), "&Undo " + QString(command.step).replace("&", "&&"));
        // Back to the start for the next command.
        chooseMenuEntry(&frame(), "Main_Edit_Undo");
        EXPECT_EQ(contents(), before);
    }
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.shown().join("/").toStdString();

    // Undone steps are redone newest first, and a new step ends the redo.
    VM_Spell().Delete_Spell("Dusk Ward");
    chooseMenuEntry(&frame(), "Main_Edit_Undo");
    EXPECT_EQ(entryText("Main_Edit_Redo"), "&Redo Delete Spell 'Dusk Ward'");
    check(lib.Add_New_School("Void"));
    EXPECT_FALSE(entryEnabled("Main_Edit_Redo"));
    EXPECT_EQ(entryText("Main_Edit_Undo"), "&Undo Add School 'Void'");

    // Closing the program ends the history.
    frame().close();
    EXPECT_FALSE(UndoHistory::instance().canUndo());
    EXPECT_FALSE(entryEnabled("Main_Edit_Undo"));
}

TEST_F(UndoTest, ACasterDeletedWithAFullBookComesBackInEveryOpenWindow)
{
    library.db().exec("INSERT INTO Memorized VALUES ('Bryn', 'Cinder Veil', '2', 2, 0);");
    // A search that lists Bryn's spells, and a memorized window on another caster.
    Frm_Search *finder = openSearch();
    ASSERT_TRUE(finder);
    Frm_Browser *corwin = openBrowser("Corwin");
    const QStringList before = contents();

    chooseMenuEntry(&frame(), "Main_Tools_Spellbooks");
    auto *manage = OpenWindows::named<Frm_ManageSpellbooks>(frame().area(), "Frm_ManageSpellbooks");
    ASSERT_TRUE(manage);
    showTab(manage, 1);
    chooseItem(manage, "Cmbo_Delete", "Bryn");
    prompt.answer(true);
    clickButton(manage, "CmdDelete");
    EXPECT_EQ(library.count("SELECT count(*) FROM SpellCasters WHERE Spellbook = 'Bryn'"), 0);
    EXPECT_EQ(entryText("Main_Edit_Undo"), "&Undo Delete Caster 'Bryn'");
    EXPECT_FALSE(comboItems(manage, "Cmbo_Delete").contains("Bryn"));

    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(contents(), before);
    EXPECT_TRUE(comboItems(manage, "Cmbo_Delete").contains("Bryn"));
    EXPECT_TRUE(menuTexts(frame().TB_Main()->buttonMenu("Browser")).contains("Bryn"));
    EXPECT_TRUE(comboItems(finder, "Cmb_Type").contains("Bryn"));
    Frm_Browser *bryn = openBrowser("Bryn");
    EXPECT_EQ(namesIn(bryn), (QStringList{"Bramble Gate", "Cinder Veil"}));
    pressButton(bryn, "Memorized Spells");
    auto *memorized = OpenWindows::all<Frm_Memorized>(frame().area()).value(0);
    ASSERT_TRUE(memorized);
    EXPECT_EQ(control<QTreeWidget>(memorized, "TV_Memorized")->topLevelItemCount() > 0, true);

    // Redo takes it all away again, and the memorized window of the caster with it.
    press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(library.count("SELECT count(*) FROM Spellbook WHERE Caster = 'Bryn'"), 0);
    EXPECT_EQ(library.count("SELECT count(*) FROM Memorized WHERE Caster = 'Bryn'"), 0);
    EXPECT_FALSE(comboItems(manage, "Cmbo_Delete").contains("Bryn"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(OpenWindows::all<Frm_Memorized>(frame().area()).isEmpty());

    // A spell an undo takes out of the library leaves the search's hits and the browsers.
    VM_Spell spell;
    spell.Set_Spell_Name("Bramble Knot");
    spell.Set_Spell_Level("1");
    spell.Set_Spell_Schools_Collection({"Sun"});
    spell.Set_Spellbooks_Collection({"Corwin"});
    EXPECT_EQ(spell.Add_New_Spell(), QString());
    emit frame().events().spellbookChanged("Corwin");
    search(finder, "Bramble");
    EXPECT_EQ(columnTexts(hitsOf(finder)), (QStringList{"Bramble Gate", "Bramble Knot"}));
    EXPECT_EQ(namesIn(corwin), QStringList{"Bramble Knot"});
    chooseMenuEntry(&frame(), "Main_Edit_Undo");
    EXPECT_EQ(columnTexts(hitsOf(finder)), QStringList{"Bramble Gate"});
    EXPECT_TRUE(namesIn(corwin).isEmpty());
}

TEST_F(UndoTest, AStepWhoseRowsAnotherProgramChangedIsRefusedAndNothingIsOverwritten)
{
    frame();
    VM_Spell spell;
    ASSERT_TRUE(spell.Set_Spell_Details("Dusk Ward"));
    spell.Set_Spell_Description("Ours");
    ASSERT_EQ(spell.Update_Existing_Spell("Dusk Ward", true), QString());
    ASSERT_EQ(frame().library().Add_New_School("Void"), QString());
    // Another program changes the same spell; a step that touches nothing of it still undoes.
    ASSERT_EQ(runPeer({"describe", "Dusk Ward", "Theirs"}, library.folder()), "exit 0: ");
    chooseMenuEntry(&frame(), "Main_Edit_Undo");
    EXPECT_EQ(library.count("SELECT count(*) FROM [Sphere Names] WHERE Sphere_Name = 'Void'"), 0);
    EXPECT_TRUE(prompt.shown().isEmpty());

    const QStringList before = contents();
    EXPECT_EQ(entryText("Main_Edit_Undo"), "&Undo Save Spell 'Dusk Ward'");
    chooseMenuEntry(&frame(), "Main_Edit_Undo");
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(library.rows("SELECT Description FROM Spells WHERE Name = 'Dusk Ward'"), QStringList{"Theirs"});
    EXPECT_EQ(prompt.messages(),
              QStringList{"\"Save Spell 'Dusk Ward'\" cannot be undone: another program has changed the "
                          "same entries of the library since, and undoing it would overwrite their changes. "
                          "Nothing was changed; this step and the ones before it can no longer be undone."});
    // The history stays whole: what could not be undone is gone from it, what was undone stays.
    EXPECT_FALSE(entryEnabled("Main_Edit_Undo"));
    EXPECT_EQ(entryText("Main_Edit_Redo"), "&Redo Add School 'Void'");
    chooseMenuEntry(&frame(), "Main_Edit_Redo");
    EXPECT_EQ(library.count("SELECT count(*) FROM [Sphere Names] WHERE Sphere_Name = 'Void'"), 1);
}
