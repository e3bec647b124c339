#include "BrowserFixture.h"
#include "RecordingReportOutput.h"
#include "browse/Frm_Browser.h"
#include "browse/Frm_Print.h"
#include "shell/Constants.h"
#include "shell/MDI_Main.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

// Bryn holds five spells: three of the 1st level (Dusk Ward without a school), one of the 2nd
// and one of the 3rd.
class FilteredPrintTest : public BrowserTest
{
protected:
    FilteredPrintTest()
    {
        library.addReportFiles();
        for (const char *spell : {"Dusk Ward", "Ember Call", "amber Lantern"})
            library.addToSpellbook("Bryn", QString::fromLatin1(spell), "1");
        output.onDelivery = [this](const ReportJob &) {
            statusWhilePrinting = frame().statusPanel(2)->text();
        };
        Constants::Previews_Maximized = true;
    }

    // Opens the dialog through a browser's entry and answers it once it is up.
    void printFiltered(Frm_Browser *browser, const QString &entry,
                       const std::function<void(Frm_Print *)> &answer)
    {
        QTimer::singleShot(0, [this, answer] {
            auto *dialog = frame().findChild<Frm_Print *>("Frm_Print");
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(dialog->isVisible());
            EXPECT_TRUE(dialog->isModal());
            answer(dialog);
        });
        browser->Toolbar1_ButtonMenuClick(entry);
    }

    static void typeName(Frm_Print *dialog, const QString &name)
    {
        dialog->findChild<QLineEdit *>("Txt_Filtered")->setText(name);
    }

    RecordingReportOutput output;
    QString statusWhilePrinting;
};

TEST_F(FilteredPrintTest, TheFirstLevelFilterPrintsOnlyTheFirstLevelSpellsTheBrowserListsUnderTheGivenName)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    selectOnly(bryn, "Lst_Levels", {"1st"});
    bryn->Requery();
    // Dusk Ward has no school, so no school filter lists it.
    ASSERT_EQ(namesIn(bryn), (QStringList{"amber Lantern", "Ember Call"}));

    printFiltered(bryn, "Print Filtered", [this](Frm_Print *dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Printing Filtered Spellbook Bryn");
        // A blank name is refused and the dialog stays.
        typeName(dialog, "   ");
        dialog->Cmd_Print_Click();
        EXPECT_EQ(prompt.messages(), QStringList{"You must indicate a name for this filtered Spellbook"});
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(output.jobs.isEmpty());
        typeName(dialog, "  Cantrips & <Tricks> ");
        dialog->Cmd_Print_Click();
    });

    ASSERT_EQ(output.jobs.size(), 1);
    EXPECT_EQ(output.jobs[0].destination, ReportJob::Destination::Printer);
    EXPECT_EQ(statusWhilePrinting, "Printing Filtered Spellbook Cantrips & <Tricks>...");
    EXPECT_EQ(frame().statusPanel(2)->text(), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(library.rows("SELECT Caster, SpellName, SpellLevel FROM SpellbookFiltered"),
              (QStringList{"Bryn|amber Lantern|1", "Bryn|Ember Call|1"}));
    EXPECT_EQ(library.rows("SELECT Caster, CasterFilter FROM CasterHold"),
              QStringList{"Bryn|Cantrips & <Tricks>"});

    const QString text = output.pdfText(output.jobs[0]);
    for (const char *expected : {"Cantrips & <Tricks>", "Bryn", "amber Lantern", "Ember Call"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected << "\n" << text.toStdString();
    for (const char *absent : {"Dusk Ward", "Bramble Gate", "Cinder Veil", "2nd-level", "3rd-level"})
        EXPECT_FALSE(text.contains(QString::fromLatin1(absent))) << absent;

    // Printed: the dialog is put away and forgets the name.
    auto *dialog = frame().findChild<Frm_Print *>("Frm_Print");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->findChild<QLineEdit *>("Txt_Filtered")->text(), QString());
}

TEST_F(FilteredPrintTest, PrintingTwiceLeavesOnlyTheSecondListAndAPreviewKeepsTheDialogLoaded)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    selectOnly(bryn, "Lst_Levels", {"1st"});
    bryn->Requery();
    printFiltered(bryn, "Print Filtered", [](Frm_Print *dialog) {
        typeName(dialog, "Cantrips");
        dialog->Cmd_Print_Click();
    });

    selectOnly(bryn, "Lst_Levels", {"2nd", "3rd"});
    bryn->Requery();
    printFiltered(bryn, "Preview Filtered", [](Frm_Print *dialog) {
        typeName(dialog, "Big ones");
        dialog->Cmd_Print_Click();
    });

    EXPECT_EQ(library.rows("SELECT SpellName FROM SpellbookFiltered"),
              (QStringList{"Bramble Gate", "Cinder Veil"}));
    ASSERT_EQ(output.jobs.size(), 2);
    // A filtered preview opens at its normal size whatever the frame's option says.
    EXPECT_EQ(output.jobs[1].destination, ReportJob::Destination::Window);
    EXPECT_FALSE(output.jobs[1].maximized);
    EXPECT_FALSE(output.pdfText(output.jobs[1]).contains("Dusk Ward"));

    // Hidden but loaded: the next request shows the same dialog with the name kept.
    auto *dialog = frame().findChild<Frm_Print *>("Frm_Print");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->findChild<QLineEdit *>("Txt_Filtered")->text(), "Big ones");
    printFiltered(bryn, "Print Filtered", [dialog](Frm_Print *shown) {
        EXPECT_EQ(shown, dialog);
        shown->Cmd_Cancel_Click();
    });
    EXPECT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(frame().findChildren<Frm_Print *>().size(), 1);
}

TEST_F(FilteredPrintTest, NoPrinterEndsTheFilteredPrintCleanly)
{
    output.printerInstalled = false;
    Frm_Browser *bryn = openBrowser("Bryn");
    printFiltered(bryn, "Print Filtered", [](Frm_Print *dialog) {
        typeName(dialog, "All of it");
        dialog->Cmd_Print_Click();
    });
    EXPECT_EQ(prompt.messages(),
              QStringList{"No printer is installed. Use a preview to print to a PDF file."});
    EXPECT_EQ(frame().statusPanel(2)->text(), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(output.jobs.isEmpty());
    EXPECT_FALSE(frame().findChild<Frm_Print *>("Frm_Print")->isVisible());
}
