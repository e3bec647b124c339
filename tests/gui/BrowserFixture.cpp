#include "BrowserFixture.h"

#include "browse/Frm_Browser.h"
#include "browse/ListView.h"

#include <QListWidget>

BrowserTest::BrowserTest()
{
    for (const char *school : {"Alteration", "Illusion/Phantasm", "Necromancy", "Mistress' Shadows", "Sun"})
        library.addSchool(QString::fromUtf8(school));
    library.addSpell(
        QStringLiteral("Cinder Veil"), QStringLiteral("3"),
        {QStringLiteral("Sun"), QStringLiteral("Alteration"), QStringLiteral("Illusion/Phantasm")});
    library.addSpell(QStringLiteral("Bramble Gate"), QStringLiteral("2"), {QStringLiteral("Alteration")});
    library.addSpell(QStringLiteral("Dusk Ward"), QStringLiteral("1"), {});
    library.addSpell(QStringLiteral("Ember Call"), QStringLiteral("1"), {QStringLiteral("Necromancy")});
    library.addSpell(QStringLiteral("Maud's \"Quiet\" Step"), QStringLiteral("1"),
                     {QStringLiteral("Mistress' Shadows")});
    library.addSpell(QStringLiteral("amber Lantern"), QStringLiteral("1"), {QStringLiteral("Sun")},
                     QStringLiteral("Rare"));
    library.addCaster(QStringLiteral("Bryn"));
    library.addCaster(QStringLiteral("Corwin"));
    library.addToSpellbook(QStringLiteral("Bryn"), QStringLiteral("Bramble Gate"), QStringLiteral("2"));
    library.addToSpellbook(QStringLiteral("Bryn"), QStringLiteral("Cinder Veil"), QStringLiteral("3"));
}

ListView *BrowserTest::spellsOf(const Frm_Browser *browser)
{
    return control<ListView>(browser, QStringLiteral("LV_Spells"));
}

QStringList BrowserTest::namesIn(const Frm_Browser *browser)
{
    return columnTexts(spellsOf(browser));
}

void BrowserTest::selectOnly(Frm_Browser *browser, const QString &listBox, const QStringList &texts)
{
    auto *list = control<QListWidget>(browser, listBox);
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setSelected(texts.contains(list->item(row)->text()));
}

void BrowserTest::selectSpells(Frm_Browser *browser, const QStringList &names)
{
    ListView *list = spellsOf(browser);
    list->clearSelection();
    for (int row = 0; row < list->rowCount(); ++row) {
        if (names.contains(list->text(row)))
            list->setRowSelected(row, true);
    }
}
