#include "BrowserFixture.h"
#include "RecordingReportOutput.h"
#include "TextChecks.h"
#include "browse/Frm_Print.h"
#include "browse/ReportPreviewDialog.h"

#include <QFontDatabase>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>

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
        frame().viewSpell(spell, nullptr);
        return qobject_cast<Frm_Spell *>(frame().area()->activeSubWindow()->widget());
    }

    // Opens the filtered print dialog through a browser's entry and answers it once it is up.
    void printFiltered(Frm_Browser *browser, const QString &entry,
                       const std::function<void(Frm_Print *)> &answer)
    {
        whenDialogIsUp<Frm_Print>(browser, answer);
        chooseEntry(browser, "Print Spellbook", entry);
    }

    // Types a name into the filtered print dialog and prints.
    static void printAs(Frm_Print *dialog, const QString &name)
    {
        typeText(dialog, "Txt_Filtered", name);
        clickButton(dialog, "Cmd_Print");
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

    chooseEntry(card, "Print", "Print Spell");
    ASSERT_EQ(output.jobs.size(), 1);
    EXPECT_EQ(output.jobs[0].destination, ReportJob::Destination::Printer);
    EXPECT_EQ(moments[0].status, "Printing Cinder Veil...");
    EXPECT_TRUE(moments[0].busy);
    expectCleanAfterwards();
    EXPECT_TRUE(output.pdfText(output.jobs[0]).contains("Cinder Veil"));

    chooseEntry(card, "Print", "Preview Spell");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(output.jobs[1].destination, ReportJob::Destination::Window);
    EXPECT_EQ(output.jobs[1].title, "Cinder Veil (3) Print Preview");
    EXPECT_TRUE(output.jobs[1].maximized);
    EXPECT_EQ(moments[1].status, QString());

    // "Previews Maximized" unchecked: the next preview opens at its normal size.
    chooseMenuEntry(&frame(), "Main_File_PreviewOptions_Max");
    chooseEntry(card, "Print", "Preview Spell");
    ASSERT_EQ(output.jobs.size(), 3);
    EXPECT_FALSE(output.jobs[2].maximized);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(PrintTest, NoPrinterSaysSoOnceAndLeavesThePointerAndTheStatusPanelClean)
{
    output.printerInstalled = false;
    Frm_Spell *card = openCard("Cinder Veil");
    chooseEntry(card, "Print", "Print Spell");
    EXPECT_EQ(prompt.messages(), QStringList{kNoPrinter});
    expectCleanAfterwards();

    Frm_Browser *bryn = openBrowser("Bryn");
    prompt.clear();
    chooseEntry(bryn, "Print Spellbook", "Print Spellbook");
    EXPECT_EQ(prompt.messages(), QStringList{kNoPrinter});
    expectCleanAfterwards();

    // Printing two selected spells ends at the first failure: one message, not one per spell.
    prompt.clear();
    selectSpells(bryn, {"Bramble Gate", "Cinder Veil"});
    chooseEntry(bryn, "Print Spellbook", "Print Selected Spells");
    EXPECT_EQ(prompt.messages(), QStringList{kNoPrinter});
    expectCleanAfterwards();

    // A filtered print ends as cleanly, its dialog put away.
    prompt.clear();
    printFiltered(bryn, "Print Filtered", [](Frm_Print *dialog) { printAs(dialog, "All of it"); });
    EXPECT_EQ(prompt.messages(), QStringList{kNoPrinter});
    expectCleanAfterwards();
    EXPECT_FALSE(frame().findChild<Frm_Print *>("Frm_Print")->isVisible());
    EXPECT_TRUE(output.jobs.isEmpty());

    // A preview needs no printer.
    chooseEntry(bryn, "Print Spellbook", "Preview Spellbook");
    EXPECT_EQ(output.jobs.size(), 1);
}

TEST_F(PrintTest, TheFullSpellbookHoldsTheBrowsersSpellbookAndItsFailedSpells)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    // Filters do not narrow the full spellbook.
    selectExactly(bryn, "Lst_Levels", {"2nd"});
    pressButton(bryn, "Requery");
    chooseEntry(bryn, "Print Spellbook", "Preview Spellbook");
    ASSERT_EQ(output.jobs.size(), 1);
    EXPECT_EQ(output.jobs[0].title, "Previewing Spellbook Bryn");
    EXPECT_TRUE(output.jobs[0].maximized);
    EXPECT_EQ(moments[0].status, "Previewing Spellbook Bryn...");
    expectCleanAfterwards();
    EXPECT_EQ(library.rows("SELECT Caster, CasterFilter FROM CasterHold"), QStringList{"Bryn|"});

    const QString text = output.pdfText(output.jobs[0]);
    EXPECT_EQ(missingFrom(text, {"Spellbook of Bryn", "Bramble Gate", "Cinder Veil", "Spells failed to learn",
                                 "Ember Call"}),
              QStringList())
        << text.toStdString();
    EXPECT_FALSE(text.contains("Dusk Ward"));

    chooseEntry(bryn, "Print Spellbook", "Print Spellbook");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(output.jobs[1].destination, ReportJob::Destination::Printer);
    EXPECT_EQ(moments[1].status, "Printing Spellbook Bryn...");

    // The spellbook's sub-report is no part of the card the same browser prints next.
    selectSpells(bryn, {"Bramble Gate"});
    chooseEntry(bryn, "Print Spellbook", "Print Selected Spells");
    ASSERT_EQ(output.jobs.size(), 3);
    EXPECT_TRUE(output.pdfText(output.jobs[2]).contains("Bramble Gate"));
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(PrintTest, AnEmptyListOrSelectionHasNothingToPrint)
{
    Frm_Browser *corwin = openBrowser("Corwin");
    for (const QString &entry :
         QStringList{"Print Spellbook", "Preview Spellbook", "Print Filtered", "Preview Filtered"})
        chooseEntry(corwin, "Print Spellbook", entry);
    EXPECT_EQ(prompt.messages(), QStringList(4, "There are no spells in the List View to Print"));
    chooseEntry(corwin, "Print Spellbook", "Print Selected Spells");
    EXPECT_EQ(prompt.lastMessage(), "You have selected no spells to print");
    EXPECT_TRUE(output.jobs.isEmpty());
    EXPECT_EQ(frame().findChild<Frm_Print *>(), nullptr);
}

TEST_F(PrintTest, SelectedSpellsPrintOneCardEachAndStopAtTheFirstLibraryFailure)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    selectSpells(bryn, {"Bramble Gate", "Cinder Veil"});
    chooseEntry(bryn, "Print Spellbook", "Print Selected Spells");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(moments[0].status, "Printing Bramble Gate...");
    EXPECT_EQ(moments[1].status, "Printing Cinder Veil...");
    EXPECT_TRUE(output.pdfText(output.jobs[0]).contains("Bramble Gate"));
    EXPECT_TRUE(output.pdfText(output.jobs[1]).contains("Cinder Veil"));
    expectCleanAfterwards();

    // A spell deleted since the list was read prints no empty card, and the user hears of it.
    library.db().exec("DELETE FROM Spells WHERE Name = 'Bramble Gate';");
    chooseEntry(bryn, "Print Spellbook", "Print Selected Spells");
    ASSERT_EQ(output.jobs.size(), 3);
    EXPECT_TRUE(output.pdfText(output.jobs[2]).contains("Cinder Veil"));
    EXPECT_EQ(prompt.messages(),
              QStringList{"These spells are no longer in the library and were not printed: Bramble Gate"});
    expectCleanAfterwards();

    // A library that cannot be read is no deleted spell: one message, and nothing printed.
    prompt.clear();
    library.db().exec("DROP TABLE Spells;");
    chooseEntry(bryn, "Print Spellbook", "Print Selected Spells");
    EXPECT_EQ(output.jobs.size(), 3);
    EXPECT_EQ(prompt.messages(),
              QStringList{"Bramble Gate could not be read from the library. Nothing more was printed."});
    expectCleanAfterwards();
}

// Bryn's 1st-level spells are listed when the browser is filtered to the 1st level, all but
// Dusk Ward, which has no school for a school filter to find.
TEST_F(PrintTest, AFilteredPrintHoldsOnlyTheSpellsTheBrowserListsUnderTheGivenName)
{
    for (const QString &spell : QStringList{"Dusk Ward", "Ember Call", "amber Lantern"})
        library.addToSpellbook("Bryn", spell, "1");
    Frm_Browser *bryn = openBrowser("Bryn");
    selectExactly(bryn, "Lst_Levels", {"1st"});
    pressButton(bryn, "Requery");
    ASSERT_EQ(namesIn(bryn), (QStringList{"amber Lantern", "Ember Call"}));

    printFiltered(bryn, "Print Filtered", [this](Frm_Print *dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Printing Filtered Spellbook Bryn");
        // A blank name is refused and the dialog stays.
        printAs(dialog, "   ");
        EXPECT_EQ(prompt.messages(), QStringList{"You must indicate a name for this filtered Spellbook"});
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(output.jobs.isEmpty());
        printAs(dialog, "  Cantrips & <Tricks> ");
    });
    ASSERT_EQ(output.jobs.size(), 1);
    EXPECT_EQ(output.jobs[0].destination, ReportJob::Destination::Printer);
    EXPECT_EQ(moments[0].status, "Printing Filtered Spellbook Cantrips & <Tricks>...");
    expectCleanAfterwards();
    EXPECT_EQ(library.rows("SELECT Caster, SpellName, SpellLevel FROM SpellbookFiltered"),
              (QStringList{"Bryn|amber Lantern|1", "Bryn|Ember Call|1"}));
    EXPECT_EQ(library.rows("SELECT Caster, CasterFilter FROM CasterHold"),
              QStringList{"Bryn|Cantrips & <Tricks>"});
    QString text = output.pdfText(output.jobs[0]);
    EXPECT_EQ(missingFrom(text, {"Cantrips & <Tricks>", "Bryn", "amber Lantern", "Ember Call"}),
              QStringList())
        << text.toStdString();
    EXPECT_EQ(foundIn(text, {"Dusk Ward", "Bramble Gate", "Cinder Veil", "2nd-level", "3rd-level"}),
              QStringList());
    // Printed: the dialog is put away and forgets the name.
    auto *dialog = frame().findChild<Frm_Print *>("Frm_Print");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->findChild<QLineEdit *>("Txt_Filtered")->text(), QString());

    // Printing again leaves only the second list; a preview keeps the dialog loaded with its name.
    selectExactly(bryn, "Lst_Levels", {"2nd", "3rd"});
    pressButton(bryn, "Requery");
    printFiltered(bryn, "Preview Filtered", [](Frm_Print *dialog) { printAs(dialog, "Big ones"); });
    EXPECT_EQ(library.rows("SELECT SpellName FROM SpellbookFiltered"),
              (QStringList{"Bramble Gate", "Cinder Veil"}));
    ASSERT_EQ(output.jobs.size(), 2);
    // A filtered preview opens at its normal size whatever the frame's option says.
    EXPECT_EQ(output.jobs[1].destination, ReportJob::Destination::Window);
    EXPECT_FALSE(output.jobs[1].maximized);
    text = output.pdfText(output.jobs[1]);
    EXPECT_EQ(foundIn(text, {"amber Lantern", "Ember Call"}), QStringList()) << text.toStdString();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->findChild<QLineEdit *>("Txt_Filtered")->text(), "Big ones");
    // The next use starts with an empty name, worded for what it does.
    printFiltered(bryn, "Print Filtered", [dialog](Frm_Print *shown) {
        EXPECT_EQ(shown, dialog);
        EXPECT_EQ(shown->findChild<QLineEdit *>("Txt_Filtered")->text(), QString());
        EXPECT_EQ(shown->windowTitle(), "Printing Filtered Spellbook Bryn");
        clickButton(shown, "Cmd_Cancel");
    });
    printFiltered(bryn, "Preview Filtered", [](Frm_Print *shown) {
        EXPECT_EQ(shown->windowTitle(), "Previewing Filtered Spellbook Bryn");
        EXPECT_EQ(shown->findChild<QPushButton *>("Cmd_Print")->text(), "Pre&view");
        clickButton(shown, "Cmd_Cancel");
    });
    // Esc cancels as the button does: the next time the name is gone.
    printFiltered(bryn, "Print Filtered", [](Frm_Print *shown) {
        shown->findChild<QLineEdit *>("Txt_Filtered")->setText("Half typed");
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog->findChild<QLineEdit *>("Txt_Filtered")->text(), QString());
    EXPECT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(frame().findChildren<Frm_Print *>().size(), 1);
}

TEST_F(PrintTest, ASavedPdfHoldsExactlyThePagesThePreviewShowedUnderTheReportsTitle)
{
    library.addCaster("Ilse");
    for (int i = 0; i < 160; ++i) {
        const QString name = QStringLiteral("Long Study %1").arg(i, 3, 10, QLatin1Char('0'));
        library.addSpell(name, QString::number(1 + i % 9), {"Alteration"});
        library.addToSpellbook("Ilse", name);
    }
    Frm_Browser *ilse = openBrowser("Ilse");
    chooseEntry(ilse, "Print Spellbook", "Preview Spellbook");
    ASSERT_EQ(output.jobs.size(), 1);

    ReportPreviewDialog preview(output.jobs.at(0), nullptr);
    auto *pages = preview.findChild<QPrintPreviewWidget *>();
    ASSERT_NE(pages, nullptr);
    pages->updatePreview();
    ASSERT_GT(pages->pageCount(), 1);

    QTemporaryDir folder;
    const QString pdf = folder.filePath("ilse.pdf");
    prompt.chooseFile(pdf);
    preview.savePdf();
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression("Pages:\\s+" + QString::number(pages->pageCount()) + "\\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Title:\\s+Spellbook of Ilse\\n"))) << text.toStdString();
}

TEST_F(PrintTest, TheFilteredPrintDialogIsWideEnoughForItsTitleUpToTheScreensWidth)
{
    const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    const QStringList casters{QStringLiteral("Maelis Thorn"), QString(400, QLatin1Char('M'))};
    for (const QString &caster : casters)
        library.addCaster(caster);
    for (const QString &caster : casters) {
        SCOPED_TRACE(caster.left(20).toStdString());
        Frm_Browser *browser = openBrowser(caster);
        ASSERT_NE(browser, nullptr);
        printFiltered(browser, "Preview Filtered", [&](Frm_Print *shown) {
            EXPECT_EQ(shown->windowTitle(), "Previewing Filtered Spellbook " + caster);
            const int screen = shown->screen()->availableGeometry().width();
            EXPECT_GE(shown->width(), std::min(screen, title.horizontalAdvance(shown->windowTitle())));
            EXPECT_LE(shown->minimumWidth(), screen);
            clickButton(shown, "Cmd_Cancel");
        });
    }
}
