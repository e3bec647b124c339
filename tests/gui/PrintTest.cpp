#include "BrowserFixture.h"
#include "RecordingReportOutput.h"
#include "browse/Frm_Browser.h"
#include "browse/Frm_Print.h"
#include "browse/Frm_Spell.h"
#include "browse/ListView.h"
#include "shell/Constants.h"
#include "shell/MDI_Main.h"

#include <QApplication>
#include <QLabel>
#include <QToolButton>

namespace {

const QString kNoPrinter = "No printer is installed. Use a preview to print to a PDF file.";

// What the user saw while a report went out.
struct Moment
{
    QString status;
    bool busy;
};

} // namespace

// Bryn holds Bramble Gate (2nd) and Cinder Veil (3rd) and failed to learn Ember Call.
class PrintTest : public BrowserTest
{
protected:
    PrintTest()
    {
        library.addReportFiles();
        library.addFailed("Bryn", "Ember Call", "1");
        output.onDelivery = [this](const ReportJob &) {
            moments.append({frame().statusPanel(2)->text(), QApplication::overrideCursor() != nullptr});
        };
        Constants::Previews_Maximized = true;
    }

    Frm_Spell *openCard(const QString &spell)
    {
        auto *card = new Frm_Spell;
        card->Initialize(spell, nullptr, nullptr, frame().library(), &frame());
        frame().showChild(card);
        return card;
    }

    // Nothing left behind by a command: no busy pointer, an empty status panel.
    void expectCleanAfterwards()
    {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(frame().statusPanel(2)->text(), QString());
    }

    RecordingReportOutput output;
    QList<Moment> moments;
};

TEST_F(PrintTest, ASpellCardPrintsAndPreviewsItsSpellUnderTheCardsTitle)
{
    Frm_Spell *card = openCard("Cinder Veil");
    EXPECT_TRUE(control<QToolButton>(card, "Print")->isEnabled());

    card->Toolbar1_ButtonMenuClick("Print Spell");
    ASSERT_EQ(output.jobs.size(), 1);
    EXPECT_EQ(output.jobs[0].destination, ReportJob::Destination::Printer);
    EXPECT_EQ(moments[0].status, "Printing Cinder Veil...");
    EXPECT_TRUE(moments[0].busy);
    expectCleanAfterwards();
    const QString text = output.pdfText(output.jobs[0]);
    EXPECT_TRUE(text.contains("Cinder Veil")) << text.toStdString();
    EXPECT_TRUE(text.contains("Sun, Alteration, Illusion/Phantasm")) << text.toStdString();

    card->Toolbar1_ButtonMenuClick("Preview Spell");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(output.jobs[1].destination, ReportJob::Destination::Window);
    EXPECT_EQ(output.jobs[1].title, "Cinder Veil (3) Print Preview");
    EXPECT_TRUE(output.jobs[1].maximized);
    EXPECT_EQ(moments[1].status, QString());

    // "Previews Maximized" unchecked: the next preview opens at its normal size.
    frame().Main_File_PreviewOptions_Max_Click();
    card->Toolbar1_ButtonMenuClick("Preview Spell");
    ASSERT_EQ(output.jobs.size(), 3);
    EXPECT_FALSE(output.jobs[2].maximized);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(PrintTest, ACardOfASpellThatLeftTheLibraryHasNothingToPrint)
{
    Frm_Spell *card = openCard("Gone Away");
    EXPECT_FALSE(control<QToolButton>(card, "Print")->isEnabled());
    card->Toolbar1_ButtonMenuClick("Print Spell");
    EXPECT_TRUE(output.jobs.isEmpty());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(PrintTest, NoPrinterSaysSoAndLeavesThePointerAndTheStatusPanelClean)
{
    output.printerInstalled = false;
    Frm_Spell *card = openCard("Cinder Veil");
    card->Toolbar1_ButtonMenuClick("Print Spell");
    EXPECT_EQ(prompt.messages(), QStringList{kNoPrinter});
    expectCleanAfterwards();

    Frm_Browser *bryn = openBrowser("Bryn");
    prompt.clear();
    bryn->Toolbar1_ButtonMenuClick("Print Spellbook");
    EXPECT_EQ(prompt.messages(), QStringList{kNoPrinter});
    expectCleanAfterwards();

    // Printing two selected spells ends at the first failure: one message, not one per spell.
    prompt.clear();
    selectSpells(bryn, {"Bramble Gate", "Cinder Veil"});
    bryn->Toolbar1_ButtonMenuClick("Print Selected Spells");
    EXPECT_EQ(prompt.messages(), QStringList{kNoPrinter});
    expectCleanAfterwards();
    EXPECT_TRUE(output.jobs.isEmpty());

    // A preview needs no printer.
    bryn->Toolbar1_ButtonMenuClick("Preview Spellbook");
    EXPECT_EQ(output.jobs.size(), 1);
}

TEST_F(PrintTest, TheFullSpellbookHoldsTheBrowsersSpellbookAndItsFailedSpells)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    // Filters do not narrow the full spellbook.
    selectOnly(bryn, "Lst_Levels", {"2nd"});
    bryn->Requery();
    bryn->Toolbar1_ButtonMenuClick("Preview Spellbook");
    ASSERT_EQ(output.jobs.size(), 1);
    EXPECT_EQ(output.jobs[0].title, "Previewing Spellbook Bryn");
    EXPECT_TRUE(output.jobs[0].maximized);
    EXPECT_EQ(moments[0].status, "Previewing Spellbook Bryn...");
    expectCleanAfterwards();
    EXPECT_EQ(library.rows("SELECT Caster, CasterFilter FROM CasterHold"), QStringList{"Bryn|"});

    const QString text = output.pdfText(output.jobs[0]);
    for (const char *expected :
         {"Spellbook of Bryn", "Bramble Gate", "Cinder Veil", "Spells failed to learn", "Ember Call"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("Dusk Ward"));

    bryn->Toolbar1_ButtonMenuClick("Print Spellbook");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(output.jobs[1].destination, ReportJob::Destination::Printer);
    EXPECT_EQ(moments[1].status, "Printing Spellbook Bryn...");
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(PrintTest, AnEmptyListHasNothingToPrint)
{
    Frm_Browser *corwin = openBrowser("Corwin");
    for (const char *entry : {"Print Spellbook", "Preview Spellbook", "Print Filtered", "Preview Filtered"})
        corwin->Toolbar1_ButtonMenuClick(QString::fromLatin1(entry));
    EXPECT_EQ(prompt.messages(), QStringList(4, "There are no spells in the List View to Print"));
    corwin->Toolbar1_ButtonMenuClick("Print Selected Spells");
    EXPECT_EQ(prompt.lastMessage(), "You have selected no spells to print");
    EXPECT_TRUE(output.jobs.isEmpty());
    EXPECT_EQ(frame().findChild<Frm_Print *>(), nullptr);
}

TEST_F(PrintTest, SelectedSpellsPrintOneCardEachAndNoSelectionSaysSo)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    selectSpells(bryn, {"Bramble Gate", "Cinder Veil"});
    bryn->Toolbar1_ButtonMenuClick("Print Selected Spells");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(moments[0].status, "Printing Bramble Gate...");
    EXPECT_EQ(moments[1].status, "Printing Cinder Veil...");
    EXPECT_TRUE(output.pdfText(output.jobs[0]).contains("Bramble Gate"));
    EXPECT_TRUE(output.pdfText(output.jobs[1]).contains("Cinder Veil"));
    expectCleanAfterwards();

    selectSpells(bryn, {});
    bryn->Toolbar1_ButtonMenuClick("Print Selected Spells");
    EXPECT_EQ(prompt.messages(), QStringList{"You have selected no spells to print"});
    EXPECT_EQ(output.jobs.size(), 2);
}
