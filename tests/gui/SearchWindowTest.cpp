#include "SearchFixture.h"
#include "SpellFiles.h"

#include "maintain/Frm_ManageSpells.h"

#include <QDir>
#include <QFile>

namespace {

const QString kStatus = "StatusBar1";

} // namespace

TEST_F(SearchTest, OneWindowOpensOnTheWholeLibraryAndListsHitsWithTheirSchools)
{
    Frm_Search *window = openSearch();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Search");
    pressButton(&frame(), "Search");
    EXPECT_EQ(OpenWindows::all<Frm_Search>(frame().area()).size(), 1);
    EXPECT_EQ(comboItems(window, "Cmb_Type"), (QStringList{"KXR", "Bryn", "Corwin"}));
    EXPECT_EQ(control<QComboBox>(window, "Cmb_Type")->currentText(), "KXR");
    EXPECT_TRUE(control<QRadioButton>(window, "Opt_Name")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(window, "optAny")->isChecked());

    // Blank text: nothing at all happens.
    search(window, "   ");
    EXPECT_EQ(hitsOf(window)->rowCount(), 0);
    EXPECT_EQ(panelTexts(window, kStatus), (QStringList{"0 spells listed", "0 spells selected", ""}));

    // Enter in the text box runs the search; a spell in three schools is one line.
    QTest::keyClicks(control<QLineEdit>(window, "Txt_Search"), "veil");
    QTest::keyClick(control<QLineEdit>(window, "Txt_Search"), Qt::Key_Return);
    EXPECT_EQ(rowTexts(hitsOf(window)),
              QStringList{"Cinder Veil|3|Alteration, Illusion/Phantasm, Sun|Common|KXR|12"});
    EXPECT_EQ(panelTexts(window, kStatus), (QStringList{"1 spells listed", "1 spells selected", ""}));

    search(window, "yards", "Opt_Range");
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.shown().join("/").toStdString();
    ASSERT_EQ(hitsOf(window)->rowCount(), 6);
    EXPECT_EQ(columnTexts(hitsOf(window)), (QStringList{"amber Lantern", "Bramble Gate", "Cinder Veil",
                                                        "Dusk Ward", "Ember Call", "Maud's \"Quiet\" Step"}));
    EXPECT_EQ(panelTexts(window, kStatus).at(1), "1 spells selected");
    selectRows(hitsOf(window), {"Dusk Ward", "Ember Call"});
    EXPECT_EQ(panelTexts(window, kStatus).at(1), "2 spells selected");
    // A header click sorts descending first, then ascending.
    clickHeader(hitsOf(window), 0);
    EXPECT_EQ(columnTexts(hitsOf(window)).first(), "Maud's \"Quiet\" Step");
    clickHeader(hitsOf(window), 0);
    EXPECT_EQ(columnTexts(hitsOf(window)).first(), "amber Lantern");

    // No hit empties the list.
    search(window, "zzz");
    EXPECT_EQ(hitsOf(window)->rowCount(), 0);
    EXPECT_EQ(panelTexts(window, kStatus), (QStringList{"0 spells listed", "0 spells selected", ""}));
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(SearchTest, FieldsModesAndScopesChooseTheHits)
{
    library.setSpell("Dusk Ward", {{"Description", "Halves 50% \"fire\"_damage."}});
    library.setSpell("Ember Call", {{"Description", "Halves 50 fire damage."}, {"Author", "Maud"}});
    library.setSpell("Bramble Gate",
                     {{"Description", "Halves 50x fire damage."}, {"[Casting Time Type]", "Turn"}});
    Frm_Search *window = openSearch();

    struct Case
    {
        const char *text;
        const char *field;
        const char *mode;
        QString scope;
        QStringList hits;
    };
    const Case cases[] = {
        // Quotes, % and _ are the text itself, not patterns.
        {"50% \"fire\"_", "Opt_Desc", "optAny", "KXR", {"Dusk Ward"}},
        {"50_", "Opt_Desc", "optAny", "KXR", {}},
        {"Maud's \"Quiet\"", "Opt_Name", "optAny", "KXR", {"Maud's \"Quiet\" Step"}},
        // "Starts with" on a name against "Any Instance" in a description.
        {"amber", "Opt_Name", "optStart", "KXR", {"amber Lantern"}},
        {"ber", "Opt_Name", "optStart", "KXR", {}},
        {"ber", "Opt_Name", "optAny", "KXR", {"amber Lantern", "Ember Call"}},
        {"fire", "Opt_Desc", "optAny", "KXR", {"Bramble Gate", "Dusk Ward", "Ember Call"}},
        {"fire", "Opt_Desc", "optStart", "KXR", {}},
        {"Halves", "Opt_Desc", "optStart", "KXR", {"Bramble Gate", "Dusk Ward", "Ember Call"}},
        // The casting time's unit counts as the casting time; the other fields.
        {"Turn", "Opt_CT", "optAny", "KXR", {"Bramble Gate"}},
        {"Maud", "Opt_Author", "optStart", "KXR", {"Ember Call"}},
        {"60 yards",
         "Opt_Range",
         "optAny",
         "KXR",
         {"amber Lantern", "Bramble Gate", "Cinder Veil", "Dusk Ward", "Ember Call",
          "Maud's \"Quiet\" Step"}},
        // A spellbook's scope lists only its spells.
        {"e", "Opt_Name", "optAny", "Bryn", {"Bramble Gate", "Cinder Veil"}},
        {"fire", "Opt_Desc", "optAny", "Bryn", {"Bramble Gate"}},
        {"e", "Opt_Name", "optAny", "Corwin", {}},
    };
    for (const Case &c : cases) {
        search(window, QString::fromUtf8(c.text), c.field, c.mode, c.scope);
        EXPECT_EQ(columnTexts(hitsOf(window)), c.hits) << c.text << " in " << c.field << " " << c.mode;
        EXPECT_EQ(panelTexts(window, kStatus).at(0), QString::number(c.hits.size()) + " spells listed");
    }
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(SearchTest, ExportWritesTheSelectedHitsAndRefusesWithoutThem)
{
    Frm_Search *window = openSearch();
    const QString path = QDir(library.folder()).filePath("hits.spel");

    pressButton(window, "Export Selected Spells");
    EXPECT_EQ(prompt.shown(), QStringList{"There are no spells in the Search List to export"});

    search(window, "e");
    selectRows(hitsOf(window), {"Maud's \"Quiet\" Step", "Cinder Veil"});
    prompt.clear();
    prompt.chooseFile(path);
    pressButton(window, "Export Selected Spells");
    EXPECT_EQ(prompt.shown(), QStringList{"save: Spell Files (*.spel)|*.spel"});
    EXPECT_TRUE(frame().statusPanel(2)->text().isEmpty());
    EXPECT_EQ(namesInSpellFile(path), (QStringList{"Cinder Veil", "Maud's \"Quiet\" Step"}));

    // Nothing selected, from the popup menu: said at once, no file asked for or written.
    QFile::remove(path);
    hitsOf(window)->clearSelection();
    prompt.clear();
    chooseMenuEntry(&frame(), "Private_Search_Export");
    EXPECT_EQ(prompt.shown(), QStringList{"There are no spells selected"});
    EXPECT_FALSE(QFile::exists(path));

    // Cancelling the dialog says nothing and writes nothing.
    clickRow(hitsOf(window), 0);
    prompt.clear();
    prompt.cancelFile();
    pressButton(window, "Export Selected Spells");
    EXPECT_EQ(prompt.shown(), QStringList{"save: Spell Files (*.spel)|*.spel"});
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(SearchTest, HitsOpenOnTheSpellCardAndManagingFollowsItsWindow)
{
    Frm_Search *window = openSearch();
    EXPECT_EQ(canPress(window, "Manage Spell"), frame().menuEntry("Main_Tools_Spells")->isEnabled());
    EXPECT_EQ(frame().menuEntry("Private_Search_Manage")->isEnabled(),
              frame().menuEntry("Main_Tools_Spells")->isEnabled());

    search(window, "Bramble");
    pressButton(window, "View Spell");
    QList<Frm_Spell *> cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards.at(0)->windowTitle(), "Bramble Gate (2)");

    hitsOf(window)->clearSelection();
    chooseMenuEntry(&frame(), "Private_Search_View");
    EXPECT_EQ(prompt.shown(), QStringList{"No spells are selected"});
    EXPECT_EQ(OpenWindows::all<Frm_Spell>(frame().area()).size(), 1);
}

TEST_F(SearchTest, TheScopeListFollowsTheCastersAndHitsLeaveWithTheirSpell)
{
    Frm_Search *window = openSearch();
    auto *scopes = control<QComboBox>(window, "Cmb_Type");
    // A caster's details edited elsewhere leave the user's scope as it is.
    chooseItem(window, "Cmb_Type", "Corwin");
    library.db().exec("UPDATE SpellCasters SET Lvl = '9' WHERE Spellbook = 'Corwin';");
    emit frame().events().castersChanged();
    EXPECT_EQ(scopes->currentText(), "Corwin");
    // A scope whose caster is gone falls back to the whole library.
    chooseItem(window, "Cmb_Type", "Bryn");
    library.db().exec("DELETE FROM SpellCasters WHERE Spellbook = 'Bryn';");
    library.addCaster("Dara");
    emit frame().events().castersChanged();
    EXPECT_EQ(comboItems(window, "Cmb_Type"), (QStringList{"KXR", "Corwin", "Dara"}));
    EXPECT_EQ(scopes->currentText(), "KXR");

    search(window, "e");
    const int before = hitsOf(window)->rowCount();
    emit frame().events().spellDeleted("Ember Call");
    EXPECT_FALSE(columnTexts(hitsOf(window)).contains("Ember Call"));
    EXPECT_EQ(panelTexts(window, kStatus).at(0), QString::number(before - 1) + " spells listed");

    // A hit renamed in the manage-spells window stands under its new name.
    search(window, "Cinder");
    ASSERT_EQ(hitsOf(window)->rowCount(), 1);
    const QString level = hitsOf(window)->text(0, 1);
    chooseMenuEntry(&frame(), "Main_Tools_Spells");
    auto *manage = OpenWindows::named<Frm_ManageSpells>(frame().area(), "Frm_ManageSpells");
    ASSERT_TRUE(manage);
    control<QComboBox>(manage, "cmbo_Spells")->setCurrentText("Cinder Veil");
    control<QLineEdit>(manage, "Txt_New")->setText("Ashen Veil");
    prompt.answer(true);
    pressButton(manage, "Save");
    EXPECT_EQ(hitsOf(window)->text(0), "Ashen Veil");
    EXPECT_EQ(hitsOf(window)->text(0, 1), level);
}

TEST_F(SearchTest, HitsDragOntoABrowserAsFromTheSearch)
{
    Frm_Search *window = openSearch();
    Frm_Browser *corwin = openBrowser("Corwin");
    search(window, "e");
    selectRows(hitsOf(window), {"Ember Call", "Bramble Gate"});
    dragOnto(hitsOf(window), spellsOf(corwin));
    EXPECT_EQ(namesIn(corwin), (QStringList{"Bramble Gate", "Ember Call"}));
    EXPECT_EQ(panelTexts(corwin, "SB_Browser").at(2), "2 spells added");
    EXPECT_FALSE(frame().dragDropAssistant().Validate_Drop());
    EXPECT_EQ(frame().dragDropAssistant().NumberAdded(), 0);
}

TEST_F(SearchTest, CtrlFPutsTheCursorInTheSearchTextWithWhatIsThereSelected)
{
    frame().show();
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    QTest::keyClick(&frame(), Qt::Key_F, Qt::ControlModifier);
    Frm_Search *window = OpenWindows::named<Frm_Search>(frame().area(), "Frm_Search");
    ASSERT_NE(window, nullptr);
    auto *text = control<QLineEdit>(window, "Txt_Search");
    EXPECT_EQ(QApplication::focusWidget(), text);
    QTest::keyClicks(QApplication::focusWidget(), "Cinder");
    EXPECT_EQ(text->text(), "Cinder");

    // From another window: the search comes to the front, ready to be typed over.
    Frm_Browser *bryn = openBrowser("Bryn");
    EXPECT_NE(QApplication::focusWidget(), text);
    QTest::keyClick(bryn, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(frame().area()->activeSubWindow()->widget(), window);
    EXPECT_EQ(QApplication::focusWidget(), text);
    EXPECT_EQ(text->selectedText(), "Cinder");
}
