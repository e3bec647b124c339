#pragma once

#include "WindowTest.h"

class ListView;

// A small library every browser scenario starts from:
//   KXR: amber Lantern (1, Sun), Bramble Gate (2, Alteration),
//        Cinder Veil (3, Sun + Alteration + Illusion/Phantasm), Dusk Ward (1, no school),
//        Ember Call (1, Necromancy), Maud's "Quiet" Step (1, Mistress' Shadows)
//   Bryn holds Bramble Gate and Cinder Veil; Corwin holds nothing.
class BrowserTest : public WindowTest
{
public:
    static ListView *spellsOf(const Frm_Browser *browser);
    static QStringList namesIn(const Frm_Browser *browser);
    // Selects exactly the spells with these names in a browser's list.
    static void selectSpells(Frm_Browser *browser, const QStringList &names);
    // The texts of a spell card's detail labels: level, range, components, casting time,
    // duration, area of effect, saving throw, schools, author; then its description.
    static QStringList cardTexts(const QWidget *card);

protected:
    BrowserTest();
};
