#include "BrowserFixture.h"
#include "browse/VM_DragDropAssistant.h"

namespace {

using BrowserDragDrop = BrowserTest;

const QString kStatus = "SB_Browser";

// A drag from one browser's selected rows that ends on another's list. Says whether the list took
// the drop.
bool dragSelected(Frm_Browser *from, Frm_Browser *to)
{
    return dragAndDrop(BrowserTest::spellsOf(from), BrowserTest::spellsOf(to)->viewport());
}

} // namespace

TEST_F(BrowserDragDrop, DropsOntoTheSourceOrKXRChangeNothingAndOntoASpellbookAddWhatItLacks)
{
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Browser *corwin = openBrowser("Corwin");
    EXPECT_FALSE(spellsOf(kxr)->dropsAccepted());
    EXPECT_TRUE(spellsOf(bryn)->dropsAccepted());
    const QStringList before = library.dump();

    selectSpells(bryn, {"Bramble Gate"});
    EXPECT_TRUE(dragSelected(bryn, bryn));
    EXPECT_FALSE(dragSelected(bryn, kxr));
    EXPECT_EQ(library.dump(), before);
    EXPECT_EQ(panelTexts(bryn, kStatus).at(2), QString());
    EXPECT_EQ(namesIn(kxr).size(), 6);

    // The drag ended: a later drop on another browser finds nothing to add.
    dropOnList(spellsOf(corwin));
    EXPECT_EQ(library.dump(), before);
    EXPECT_TRUE(namesIn(corwin).isEmpty());

    // Three spells onto a spellbook holding one of them add two.
    selectSpells(kxr, {"amber Lantern", "Bramble Gate", "Ember Call"});
    EXPECT_TRUE(dragSelected(kxr, bryn));
    EXPECT_EQ(namesIn(bryn), (QStringList{"amber Lantern", "Bramble Gate", "Cinder Veil", "Ember Call"}));
    EXPECT_EQ(library.rows("SELECT SpellName FROM Spellbook WHERE Caster = 'Bryn' ORDER BY rowid"),
              (QStringList{"Bramble Gate", "Cinder Veil", "amber Lantern", "Ember Call"}));
    EXPECT_EQ(panelTexts(bryn, kStatus),
              (QStringList{"4 spells listed", "1 spells selected", "2 spells added"}));
    EXPECT_TRUE(control<QTimer>(bryn, "Timer1")->isActive());
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_FALSE(frame().dragDropAssistant().Validate_Drop());
}
