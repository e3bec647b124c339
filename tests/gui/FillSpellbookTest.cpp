#include "BrowserFixture.h"
#include "browse/Frm_FillSpellbook.h"
#include "browse/LevelCountDelegate.h"
#include "widgets/ListViewModel.h"
#include "widgets/ListViewRows.h"

namespace {

class FillSpellbookTest : public BrowserTest
{
protected:
    FillSpellbookTest()
    {
        // Bryn holds Bramble Gate (2nd) and Cinder Veil (3rd): room for two 1st-level spells,
        // 2nd is full, 3rd has no limit.
        library.db().exec("UPDATE SpellCasters SET First = '2', Second = '1' WHERE Spellbook = 'Bryn'");
    }

    // Presses the browser's "Fill Spellbook" button and runs steps on the dialog it opens; the
    // dialog is closed afterwards whatever the steps did.
    void withFillDialog(Frm_Browser *browser, const std::function<void(Frm_FillSpellbook *)> &steps)
    {
        QObject whileOpen; // the steps read this call's locals: they die with the call
        bool ran = false;
        whenDialogIsUp<Frm_FillSpellbook>(&whileOpen, [&](Frm_FillSpellbook *dialog) {
            ran = true;
            steps(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        pressButton(browser, "Fill Spellbook");
        EXPECT_TRUE(ran);
    }

    static QStringList drawn(Frm_FillSpellbook *dialog)
    {
        QStringList rows;
        for (const ListRow &row : rowsOf(control<ListView>(dialog, "LV_Drawn")))
            rows.append(row.text + "|" + row.subItems.value(0) + (row.checked ? "" : " (unticked)"));
        return rows;
    }
};

} // namespace

TEST_F(FillSpellbookTest, ADrawIsShownForApprovalAndOnlyAddingWritesItsTickedSpells)
{
    EXPECT_FALSE(canPress(openBrowser("KXR"), "Fill Spellbook"));
    Frm_Browser *bryn = openBrowser("Bryn");

    withFillDialog(bryn, [&](Frm_FillSpellbook *dialog) {
        // No school chosen: told so, nothing drawn.
        clickButton(dialog, "Opt_Schools_None");
        clickButton(dialog, "Cmd_Draw");
        EXPECT_EQ(prompt.messages(), QStringList{"You must select at least 1 School"});
        EXPECT_TRUE(drawn(dialog).isEmpty());

        clickButton(dialog, "Opt_Schools_All");
        auto *seed = control<QLineEdit>(dialog, "Txt_Seed");
        auto *draw = control<QPushButton>(dialog, "Cmd_Draw");
        seed->selectAll();
        QTest::keyClicks(seed, "4242");
        QTest::mouseClick(draw, Qt::LeftButton);
        const QStringList first = drawn(dialog);
        ASSERT_EQ(first.size(), 2);
        for (const QString &row : first) {
            EXPECT_TRUE(row.endsWith("|1")) << row.toStdString();
            EXPECT_FALSE(row.startsWith("Dusk Ward")) << "a spell of no school";
        }
        // Each press draws anew, with the fresh seed shown; typing a seed repeats its draw.
        QStringList seeds{seed->text()};
        for (int press = 0; press < 2; ++press) {
            QTest::mouseClick(draw, Qt::LeftButton);
            EXPECT_FALSE(seeds.contains(seed->text())) << seed->text().toStdString();
            seeds.append(seed->text());
            EXPECT_EQ(drawn(dialog).size(), 2);
        }
        seed->selectAll();
        QTest::keyClicks(seed, "4242");
        QTest::mouseClick(draw, Qt::LeftButton);
        EXPECT_EQ(seed->text(), "4242");
        EXPECT_EQ(drawn(dialog), first);
        // Nothing is written until the drawn spells are added.
        EXPECT_EQ(library.rows("SELECT count(*) FROM Spellbook WHERE Caster = 'Bryn'"), QStringList{"2"});
    });
    EXPECT_EQ(library.rows("SELECT count(*) FROM Spellbook WHERE Caster = 'Bryn'"), QStringList{"2"});

    QStringList added;
    withFillDialog(bryn, [&](Frm_FillSpellbook *dialog) {
        typeText(dialog, "Txt_Seed", "4242");
        clickButton(dialog, "Cmd_Draw");
        ListView *draw = control<ListView>(dialog, "LV_Drawn");
        ASSERT_EQ(draw->rowCount(), 2);
        // With every spell unticked there is nothing to add: the dialog says so and stays open.
        draw->rows()->setChecked(0, false);
        draw->rows()->setChecked(1, false);
        clickButton(dialog, "Cmd_Add");
        EXPECT_EQ(prompt.lastMessage(), "There are no spells ticked to add");
        EXPECT_TRUE(dialog->isVisible());
        // Ticked again, the second spell drawn goes into the book alone.
        draw->rows()->setChecked(1, true);
        EXPECT_EQ(drawn(dialog).at(0), draw->text(0) + "|1 (unticked)");
        added.append(draw->text(1));
        clickButton(dialog, "Cmd_Add");
        EXPECT_FALSE(dialog->isVisible());
    });
    EXPECT_EQ(library.rows("SELECT SpellName FROM Spellbook WHERE Caster = 'Bryn' ORDER BY rowid").mid(2),
              added);
    // The rest of the room is drawn and added whole.
    withFillDialog(bryn, [&](Frm_FillSpellbook *dialog) {
        clickButton(dialog, "Cmd_Draw");
        for (const QString &row : drawn(dialog))
            added.append(row.section('|', 0, 0));
        clickButton(dialog, "Cmd_Add");
        EXPECT_FALSE(dialog->isVisible());
    });
    ASSERT_EQ(added.size(), 2);
    const QStringList held =
        library.rows("SELECT SpellName FROM Spellbook WHERE Caster = 'Bryn' ORDER BY rowid");
    EXPECT_EQ(held.mid(2), added);
    // The browser follows at once: the new spells are listed and the 1st level is full.
    for (const QString &spell : added)
        EXPECT_TRUE(namesIn(bryn).contains(spell));
    EXPECT_EQ(
        control<QListWidget>(bryn, "Lst_Levels")->item(0)->data(LevelCountDelegate::CountRole).toString(),
        "2/2");

    // A full book has nothing more to draw, and says so.
    withFillDialog(bryn, [&](Frm_FillSpellbook *dialog) {
        clickButton(dialog, "Cmd_Draw");
        EXPECT_TRUE(drawn(dialog).isEmpty());
        EXPECT_FALSE(control<QPushButton>(dialog, "Cmd_Add")->isEnabled());
    });
}
