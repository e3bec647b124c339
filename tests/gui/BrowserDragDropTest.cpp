#include "BrowserFixture.h"
#include "Clicks.h"
#include "browse/Frm_Browser.h"
#include "browse/VM_DragDropAssistant.h"
#include "shell/MDI_Main.h"
#include "widgets/ListView.h"

#include <QTimer>

namespace {

using BrowserDragDrop = BrowserTest;

const QString kStatus = "SB_Browser";

// A drag from one browser's selected rows that ends on another's list, as the platform
// delivers it: the source packs, the target takes the drop, the source ends its drag.
void dragSelected(Frm_Browser *from, Frm_Browser *to)
{
    ASSERT_TRUE(from->LV_Spells_OLEStartDrag());
    ListView *target = BrowserTest::spellsOf(to);
    dropOnList(target);
    from->LV_Spells_OLECompleteDrag();
}

} // namespace

TEST_F(BrowserDragDrop, DraggingThreeSpellsOntoASpellbookHoldingOneAddsTwo)
{
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *bryn = openBrowser("Bryn");
    selectSpells(kxr, {"amber Lantern", "Bramble Gate", "Ember Call"});

    dragSelected(kxr, bryn);
    EXPECT_EQ(namesIn(bryn), (QStringList{"amber Lantern", "Bramble Gate", "Cinder Veil", "Ember Call"}));
    EXPECT_EQ(library.rows("SELECT SpellName FROM Spellbook WHERE Caster = 'Bryn' ORDER BY rowid"),
              (QStringList{"Bramble Gate", "Cinder Veil", "amber Lantern", "Ember Call"}));
    EXPECT_EQ(panelTexts(bryn, kStatus),
              (QStringList{"4 spells listed", "1 spells selected", "2 spells added"}));
    EXPECT_TRUE(control<QTimer>(bryn, "Timer1")->isActive());
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_FALSE(frame().dragDropAssistant().Validate_Drop());
}

TEST_F(BrowserDragDrop, DropsOntoTheSourceOrOntoKXRChangeNothing)
{
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *bryn = openBrowser("Bryn");
    Frm_Browser *corwin = openBrowser("Corwin");
    EXPECT_FALSE(spellsOf(kxr)->dropsAccepted());
    EXPECT_TRUE(spellsOf(bryn)->dropsAccepted());
    const QStringList before = library.dump();

    selectSpells(bryn, {"Bramble Gate"});
    dragSelected(bryn, bryn);
    ASSERT_TRUE(bryn->LV_Spells_OLEStartDrag());
    kxr->LV_Spells_OLEDragDrop(); // a drop the list would refuse, run directly
    bryn->LV_Spells_OLECompleteDrag();
    EXPECT_EQ(library.dump(), before);
    EXPECT_EQ(panelTexts(bryn, kStatus).at(2), QString());
    EXPECT_EQ(namesIn(kxr).size(), 6);

    // The drag ended: a later drop on another browser finds nothing to add.
    corwin->LV_Spells_OLEDragDrop();
    EXPECT_EQ(library.dump(), before);
    EXPECT_TRUE(namesIn(corwin).isEmpty());
    EXPECT_TRUE(prompt.shown().isEmpty());
}
