#include "BrowserFixture.h"
#include "widgets/FormScrollArea.h"

#include <QScrollBar>

namespace {

using SpellCardTest = BrowserTest;

QString label(const Frm_Spell *card, const char *name)
{
    return control<QLabel>(card, QLatin1String(name))->text();
}

} // namespace

TEST_F(SpellCardTest, ADoubleClickOpensACardWithEveryDetail)
{
    library.setSpell("Cinder Veil", {{"[Casting Time]", "1"},
                                     {"[Casting Time Type]", "Round(s)"},
                                     {"Description", "First line.\nSecond line."}});
    Frm_Browser *kxr = openBrowser("KXR");
    ListView *list = spellsOf(kxr);
    doubleClickRow(list, 2);

    const QList<Frm_Spell *> cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 1);
    const Frm_Spell *card = cards.at(0);
    EXPECT_EQ(card->windowTitle(), "Cinder Veil (3)");
    auto *tabs = control<QTabWidget>(card, "SSTab1");
    EXPECT_EQ(tabs->tabText(0), "&Details");
    EXPECT_EQ(tabs->tabText(1), "De&scription"); // Alt+E opens the frame's Edit menu
    // The schools in the order the browser's row shows them; no author is the core library's.
    EXPECT_EQ(cardTexts(card),
              (QStringList{"Cinder Veil", "3", "Common", "KXR", "12", "60 yards", "V,S", "1 Round(s)",
                           "1 round", "One creature", "Neg.", "Alteration, Illusion/Phantasm, Sun", "KXR",
                           "First line.\nSecond line."}));
    // It opens at its own size at least, every detail in view without scrolling.
    QCoreApplication::processEvents();
    EXPECT_GE(card->width(), 407);
    EXPECT_GE(card->height(), 337);
    const auto *form = card->findChild<FormScrollArea *>();
    ASSERT_TRUE(form);
    EXPECT_FALSE(form->verticalScrollBar()->isVisible());
    EXPECT_FALSE(form->horizontalScrollBar()->isVisible());
    // A long name wraps inside the card instead of being cut off with the caption.
    auto *name = control<QLabel>(card, "Lbl_Name");
    EXPECT_TRUE(name->wordWrap());
    name->setText("Cinder Veil of the Seven Smouldering Ash Wardens of the Far Northern Marches");
    EXPECT_LE(name->minimumSizeHint().width(), card->width());
    EXPECT_GT(name->heightForWidth(card->width() - 20), name->fontMetrics().height());
    EXPECT_EQ(list->text(2, 2), "Alteration, Illusion/Phantasm, Sun");
}

TEST_F(SpellCardTest, EveryRequestOpensAFurtherCardWithItsAuthorOrEmptyWhenTheSpellLeft)
{
    library.setSpell("Ember Call", {{"Author", "Ysolde"}});
    Frm_Browser *kxr = openBrowser("KXR");
    selectSpells(kxr, {"Ember Call", "Dusk Ward"});
    pressButton(kxr, "View Spell"); // the first selected row in list order
    pressButton(kxr, "View Spell");
    QList<Frm_Spell *> cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards.at(0)->windowTitle(), "Dusk Ward (1)");
    EXPECT_EQ(label(cards.at(0), "Lbl_Schools"), QString());

    selectSpells(kxr, {"Ember Call"});
    doubleClickRow(spellsOf(kxr), spellsOf(kxr)->selectedRowNumbers().value(0));
    cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 3);
    EXPECT_EQ(label(cards.at(2), "Lbl_Author"), "Ysolde");

    // Closing one card leaves the other of the same spell as it was.
    qobject_cast<QMdiSubWindow *>(cards.at(0)->parentWidget())->close();
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards.at(0)->windowTitle(), "Dusk Ward (1)");
    EXPECT_EQ(label(cards.at(0), "Lbl_ST"), "Neg.");

    // Nothing selected: no card.
    spellsOf(kxr)->clearSelection();
    pressButton(kxr, "View Spell");
    EXPECT_EQ(OpenWindows::all<Frm_Spell>(frame().area()).size(), 2);

    // A spell that left the library: the card stays empty, its caption names no spell, as if it
    // still were one, and it cannot print; nor can the frame's Print for the window in front.
    selectSpells(kxr, {"Ember Call"});
    library.db().exec("DELETE FROM Spells WHERE Name = 'Ember Call';");
    pressButton(kxr, "View Spell");
    cards = OpenWindows::all<Frm_Spell>(frame().area());
    ASSERT_EQ(cards.size(), 3);
    EXPECT_EQ(cards.at(2)->windowTitle(), "(not in the library)");
    EXPECT_EQ(cardTexts(cards.at(2)), QStringList(14, QString()));
    EXPECT_FALSE(canPress(cards.at(2), "Print"));
    prompt.clear();
    chooseMenuEntry(&frame(), "Main_File_Print");
    EXPECT_TRUE(prompt.shown().isEmpty());
}
