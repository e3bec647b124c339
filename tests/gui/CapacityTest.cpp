#include "BrowserFixture.h"
#include "browse/LevelCountDelegate.h"
#include "browse/VM_DragDropAssistant.h"
#include "store/CasterCapacity.h"
#include "store/SpellLevels.h"

#include <QMimeData>
#include <QMouseEvent>

namespace {

class CapacityTest : public BrowserTest
{
protected:
    CapacityTest()
    {
        library.addSpell("Frost Lance", "3", {"Sun"});
        library.addSpell("Glass Road", "3", {"Sun"});
        // Bryn: no limit at 1st, one 2nd- and one 3rd-level spell, a 4th that is not a number.
        setCapacities("Bryn", {"", "1", "1", "many"});
    }

    void setCapacities(const QString &caster, const QStringList &values)
    {
        for (qsizetype i = 0; i < values.size(); ++i) {
            Statement update(library.db(),
                             QStringLiteral("UPDATE SpellCasters SET %1 = ? WHERE Spellbook = ?")
                                 .arg(SpellLevels::columnNames().at(i)));
            update.bind(1, values[i]).bind(2, caster).run();
        }
    }

    // "3rd 2/1 !|capacity tooltip" per level with a count: what the user sees on each level.
    static QStringList levelsShown(Frm_Browser *browser, int levels = 4)
    {
        auto *list = control<QListWidget>(browser, "Lst_Levels");
        QStringList shown;
        for (int row = 0; row < levels; ++row) {
            const QListWidgetItem *item = list->item(row);
            QString text =
                item->text() + QLatin1Char(' ') + item->data(LevelCountDelegate::CountRole).toString();
            if (item->data(Qt::ForegroundRole).isValid())
                text += QStringLiteral(" !");
            shown.append(text.trimmed() + QLatin1Char('|') + item->toolTip());
        }
        return shown;
    }

    static void dragSelected(Frm_Browser *from, Frm_Browser *to)
    {
        EXPECT_TRUE(dragAndDrop(spellsOf(from), spellsOf(to)->viewport()));
    }
};

} // namespace

TEST(CasterCapacityText, CapacitiesOrdinalsAndTheQuestion)
{
    for (const auto &[text, value] :
         std::initializer_list<std::pair<const char *, int>>{{"5", 5},
                                                             {" 12 ", 12},
                                                             {"0", 0},
                                                             {"", LevelLoad::kNoLimit},
                                                             {"  ", LevelLoad::kNoLimit},
                                                             {"five", LevelLoad::kNoLimit},
                                                             {"3a", LevelLoad::kNoLimit},
                                                             {"-2", LevelLoad::kNoLimit}})
        EXPECT_EQ(CasterCapacity::capacityOf(QString::fromUtf8(text)), value) << text;
    EXPECT_EQ((QStringList{SpellLevels::ordinal(1), SpellLevels::ordinal(2), SpellLevels::ordinal(3),
                           SpellLevels::ordinal(4), SpellLevels::ordinal(9)}),
              (QStringList{"1st", "2nd", "3rd", "4th", "9th"}));

    SpellbookLoad load;
    load[2] = {3, 3};
    load[4] = {1, 1};
    load[0] = {7, LevelLoad::kNoLimit};
    LevelCounts added{};
    added[0] = 40; // no limit: never asked about
    EXPECT_EQ(CasterCapacity::overCapacityQuestion("Maelis Thorn", load, added), "");
    added[2] = 1;
    EXPECT_EQ(CasterCapacity::overCapacityQuestion("Maelis Thorn", load, added),
              "This takes Maelis Thorn's 3rd-level spells to 4 of 3. Add anyway?");
    added[4] = 2;
    EXPECT_EQ(
        CasterCapacity::overCapacityQuestion("Maelis Thorn", load, added),
        "This takes Maelis Thorn's 3rd-level spells to 4 of 3 and 5th-level spells to 3 of 1. Add anyway?");
}

TEST_F(CapacityTest, LevelsShowTheBookAgainstItsCapacityAndFollowEveryChange)
{
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *bryn = openBrowser("Bryn");
    EXPECT_EQ(levelsShown(bryn), (QStringList{"1st 0|0 spells", "2nd 1/1|1 spell, capacity 1",
                                              "3rd 1/1|1 spell, capacity 1", "4th 0|0 spells"}));
    // The whole library has no capacity: its levels stay plain.
    EXPECT_EQ(levelsShown(kxr, 2), (QStringList{"1st|", "2nd|"}));

    // Spells of a level without a limit go in without a question.
    selectSpells(kxr, {"Ember Call", "Dusk Ward"});
    dragSelected(kxr, bryn);
    EXPECT_TRUE(prompt.questions().isEmpty());
    EXPECT_EQ(levelsShown(bryn).at(0), "1st 2|2 spells");

    // Past the capacity: one question for the drop; "No" adds nothing.
    selectSpells(kxr, {"Frost Lance", "Glass Road", "Cinder Veil"});
    prompt.answer(false);
    dragSelected(kxr, bryn);
    EXPECT_EQ(prompt.questions(), QStringList{"This takes Bryn's 3rd-level spells to 3 of 1. Add anyway?"});
    EXPECT_EQ(library.rows("SELECT count(*) FROM Spellbook WHERE Caster = 'Bryn'"), QStringList{"4"});
    EXPECT_FALSE(frame().dragDropAssistant().Validate_Drop());
    prompt.answer(true);
    dragSelected(kxr, bryn);
    EXPECT_EQ(levelsShown(bryn).at(2), "3rd 3/1 !|3 spells, capacity 1");

    // Filtering shows fewer rows; the counts stay those of the whole book, and the level value
    // the filter hands on is the level itself.
    selectExactly(bryn, "Lst_Levels", {"3rd"});
    pressButton(bryn, "Requery");
    EXPECT_EQ(namesIn(bryn), (QStringList{"Cinder Veil", "Frost Lance", "Glass Road"}));
    EXPECT_EQ(levelsShown(bryn).at(0), "1st 2|2 spells");

    // Removing brings the level back within its capacity at once.
    selectSpells(bryn, {"Frost Lance", "Glass Road"});
    prompt.answer(true);
    choosePopupEntry(spellsOf(bryn), "Private_Browser_Remove");
    EXPECT_EQ(levelsShown(bryn).at(2), "3rd 1/1|1 spell, capacity 1");

    // A capacity changed elsewhere, and spells learned elsewhere, show when announced.
    setCapacities("Bryn", {"2", "0"});
    emit frame().events().castersChanged();
    EXPECT_EQ(levelsShown(bryn, 2),
              (QStringList{"1st 2/2|2 spells, capacity 2", "2nd 1/0 !|1 spell, capacity 0"}));
    library.addToSpellbook("Bryn", "amber Lantern", "1");
    emit frame().events().spellbookChanged("Bryn");
    EXPECT_EQ(levelsShown(bryn).at(0), "1st 3/2 !|3 spells, capacity 2");

    // With every level filtered out the list cannot re-query, but the counts still follow.
    selectExactly(bryn, "Lst_Levels", {});
    library.addToSpellbook("Bryn", "Glass Road", "3");
    emit frame().events().spellbookChanged("Bryn");
    EXPECT_TRUE(prompt.messages().contains("You must select at least 1 level"));
    EXPECT_EQ(levelsShown(bryn).at(2), "3rd 2/1 !|2 spells, capacity 1");
    // A spell of the book moved to another level in the library.
    library.db().exec("UPDATE Spells SET Lvl = '4' WHERE Name = 'Glass Road'");
    emit frame().events().spellsChanged();
    EXPECT_EQ(levelsShown(bryn).mid(2), (QStringList{"3rd 1/1|1 spell, capacity 1", "4th 1|1 spell"}));
}

TEST_F(CapacityTest, EveryLevelStaysInSightWithItsCountWhateverTheFilterPaneWidth)
{
    setCapacities("Bryn", {"17", "17", "17", "17", "17", "17", "17", "17", "17"});
    Frm_Browser *bryn = openBrowser("Bryn");
    auto *levels = control<QListWidget>(bryn, "Lst_Levels");
    auto allInSight = [&](const char *when) {
        QTest::qWait(50); // the delayed layouts of the window and of the list
        const QRect pane = levels->parentWidget()->rect();
        EXPECT_TRUE(pane.contains(levels->geometry())) << when;
        for (int row = 0; row < levels->count(); ++row) {
            EXPECT_EQ(levels->item(row)->data(LevelCountDelegate::CountRole).toString(), row == 2   ? "1/17"
                                                                                         : row == 1 ? "1/17"
                                                                                                    : "0/17");
            EXPECT_TRUE(levels->viewport()->rect().contains(levels->visualItemRect(levels->item(row))))
                << when << ": " << levels->item(row)->text().toStdString() << " is cut off";
        }
    };
    allInSight("as opened");
    // At its opening size the list spares the room for three levels a row.
    EXPECT_EQ(levels->visualItemRect(levels->item(2)).top(), levels->visualItemRect(levels->item(0)).top());

    // The user drags the bar until the filters are as narrow as they may be: more rows, all seen.
    auto *bar = control<QWidget>(bryn, "Image1");
    auto send = [bar](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, bar->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QCoreApplication::sendEvent(bar, &event);
    };
    send(QEvent::MouseButtonPress, QPoint(2, 10), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(2 + bryn->width(), 10), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(2 + bryn->width(), 10), Qt::NoButton);
    ASSERT_LT(levels->width(), 3 * levels->visualItemRect(levels->item(0)).width());
    allInSight("after the filters were narrowed");
}
