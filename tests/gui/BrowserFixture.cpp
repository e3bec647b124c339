#include "BrowserFixture.h"

BrowserTest::BrowserTest()
{
    for (const char *school : {"Alteration", "Illusion/Phantasm", "Necromancy", "Mistress' Shadows", "Sun"})
        library.addSchool(QString::fromUtf8(school));
    library.addSpell("Cinder Veil", "3", {"Sun", "Alteration", "Illusion/Phantasm"});
    library.addSpell("Bramble Gate", "2", {"Alteration"});
    library.addSpell("Dusk Ward", "1", {});
    library.addSpell("Ember Call", "1", {"Necromancy"});
    library.addSpell("Maud's \"Quiet\" Step", "1", {"Mistress' Shadows"});
    library.addSpell("amber Lantern", "1", {"Sun"}, "Rare");
    library.addCaster("Bryn");
    library.addCaster("Corwin");
    library.addToSpellbook("Bryn", "Bramble Gate", "2");
    library.addToSpellbook("Bryn", "Cinder Veil", "3");
}

ListView *BrowserTest::spellsOf(const Frm_Browser *browser)
{
    return control<ListView>(browser, "LV_Spells");
}

QStringList BrowserTest::namesIn(const Frm_Browser *browser)
{
    return columnTexts(spellsOf(browser));
}

void BrowserTest::selectSpells(Frm_Browser *browser, const QStringList &names)
{
    selectRows(spellsOf(browser), names);
}

QStringList BrowserTest::cardTexts(const QWidget *card)
{
    QStringList texts;
    for (const char *name :
         {"Lbl_Name", "Lbl_Level", "Lbl_Frequency", "Lbl_Book", "Lbl_Page", "Lbl_Range", "Lbl_Components",
          "Lbl_CT", "Lbl_Duration", "Lbl_AOE", "Lbl_ST", "Lbl_Schools", "Lbl_Author"})
        texts.append(control<QLabel>(card, QLatin1String(name))->text());
    texts.append(control<QTextEdit>(card, "RTB_Desc")->toPlainText());
    return texts;
}
