#pragma once

#include "WindowTest.h"

#include "widgets/Prompt.h"

class Frm_Scrolls;
class ListView;
class QTreeWidget;
class QTreeWidgetItem;

// A small library every scroll scenario starts from:
//   spells: Amber Lantern (1, Sun, Common), Bramble Gate (2, Alteration, UnCommon),
//           Cinder Veil (3, Sun + Alteration + Illusion, Rare), Dusk Ward (1, Necromancy, Very Rare),
//           Ember Call (2, Necromancy, Common), Frost Lance (4, Evocation, Common)
//   casters: Bryn, Corwin
//   scrolls: Bryn "Embers" (Ember Call, Amber Lantern, Cinder Veil), Bryn "Frost" (Frost Lance),
//            Corwin "Embers" (Dusk Ward, Bramble Gate)
class ScrollsTest : public WindowTest
{
protected:
    ScrollsTest();

    void addScroll(const QString &caster, const QString &scroll, const QStringList &spells);
    // The scroll manager, opened through the Tools menu.
    Frm_Scrolls *openScrolls();
    QTreeWidget *tree();
    // The tree as text: casters, and their scrolls indented by two blanks.
    QStringList treeTexts();
    QTreeWidgetItem *node(const QString &caster, const QString &scroll = QString());
    // Chooses a node as a click on it does.
    void click(QTreeWidgetItem *node);
    // Drops spells that a drag from the named source carries onto a list, as the platform does.
    void dropFrom(const QString &source, const QStringList &spells, ListView *target);
    ListView *lines(const QString &list = QStringLiteral("LV_Scrolls"));
    // Chooses a spell in the picker, through the find box.
    void pick(const QString &spell);
    void selectLine(const QString &list, int row);
    // The saved lines of one scroll, spell names in order.
    QStringList savedSpells(const QString &caster, const QString &scroll);

    Frm_Scrolls *window = nullptr;
};
