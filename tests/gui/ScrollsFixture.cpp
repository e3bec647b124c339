#include "ScrollsFixture.h"

#include "browse/VM_DragDropAssistant.h"
#include "scrolls/Frm_Scrolls.h"

ScrollsTest::ScrollsTest()
{
    for (const char *school : {"Alteration", "Evocation", "Illusion", "Necromancy", "Sun"})
        library.addSchool(QString::fromUtf8(school));
    library.addSpell("Amber Lantern", "1", {"Sun"});
    library.addSpell("Bramble Gate", "2", {"Alteration"}, "UnCommon");
    library.addSpell("Cinder Veil", "3", {"Sun", "Alteration", "Illusion"}, "Rare");
    library.addSpell("Dusk Ward", "1", {"Necromancy"}, "Very Rare");
    library.addSpell("Ember Call", "2", {"Necromancy"});
    library.addSpell("Frost Lance", "4", {"Evocation"});
    library.addCaster("Bryn");
    library.addCaster("Corwin");
    addScroll("Bryn", "Embers", {"Ember Call", "Amber Lantern", "Cinder Veil"});
    addScroll("Bryn", "Frost", {"Frost Lance"});
    addScroll("Corwin", "Embers", {"Dusk Ward", "Bramble Gate"});
}

void ScrollsTest::addScroll(const QString &caster, const QString &scroll, const QStringList &spells)
{
    Statement insert(library.db(),
                     "INSERT INTO Scrolls (ScrollName, Caster, Spell, Lvl, Frequency, Book, Page) "
                     "SELECT ?, ?, Name, Lvl, Frequency, Book, Page FROM Spells WHERE Name = ?");
    for (const QString &spell : spells) {
        insert.bind(1, scroll).bind(2, caster).bind(3, spell).run();
        insert.reset();
    }
}

Frm_Scrolls *ScrollsTest::openScrolls()
{
    return window = openFromMenu<Frm_Scrolls>("Main_Tools_Scrolls");
}

QTreeWidget *ScrollsTest::tree()
{
    return control<QTreeWidget>(window, "TV_Scrolls");
}

QStringList ScrollsTest::treeTexts()
{
    QStringList texts;
    for (int top = 0; top < tree()->topLevelItemCount(); ++top) {
        const QTreeWidgetItem *caster = tree()->topLevelItem(top);
        texts.append(caster->text(0));
        for (int child = 0; child < caster->childCount(); ++child)
            texts.append("  " + caster->child(child)->text(0));
    }
    return texts;
}

QTreeWidgetItem *ScrollsTest::node(const QString &caster, const QString &scroll)
{
    for (int top = 0; top < tree()->topLevelItemCount(); ++top) {
        QTreeWidgetItem *casterNode = tree()->topLevelItem(top);
        if (casterNode->text(0) != caster)
            continue;
        if (scroll.isNull())
            return casterNode;
        for (int child = 0; child < casterNode->childCount(); ++child) {
            if (casterNode->child(child)->text(0) == scroll)
                return casterNode->child(child);
        }
    }
    ADD_FAILURE() << "no node " << caster.toStdString() << "/" << scroll.toStdString();
    return nullptr;
}

void ScrollsTest::click(QTreeWidgetItem *node)
{
    tree()->setCurrentItem(node);
}

void ScrollsTest::dropFrom(const QString &source, const QStringList &spells, ListView *target)
{
    ListRows dragged;
    for (const QString &spell : spells)
        dragged.append(ListRow{spell, {}, true});
    VM_DragDropAssistant &assistant = frame().dragDropAssistant();
    assistant.Pack_Data(dragged, source);
    dropOnList(target);
    assistant.Reset_Drag();
}

ListView *ScrollsTest::lines(const QString &list)
{
    return control<ListView>(window, list);
}

void ScrollsTest::pick(const QString &spell)
{
    auto *find = control<QLineEdit>(window, "txtFind");
    EXPECT_TRUE(find->isEnabled()) << "the find box is disabled";
    find->setText(spell);
    EXPECT_EQ(control<QComboBox>(window, "Cmbo_Spell")->currentText(), spell);
}

void ScrollsTest::selectLine(const QString &list, int row)
{
    clickRow(lines(list), row);
}

QStringList ScrollsTest::savedSpells(const QString &caster, const QString &scroll)
{
    return library.rows("SELECT Spell FROM Scrolls WHERE Caster = ? AND ScrollName = ? ORDER BY rowid",
                        {caster, scroll});
}
