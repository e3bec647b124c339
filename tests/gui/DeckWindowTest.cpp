#include "RecordingReportOutput.h"
#include "SearchFixture.h"
#include "TextChecks.h"

#include "browse/Deck.h"
#include "browse/DeckCommand.h"
#include "browse/Frm_Deck.h"

#include <QCheckBox>
#include <QProcess>
#include <QProgressDialog>

namespace {

QStringList spellsIn(const Deck &deck)
{
    QStringList names;
    for (const DeckFace &face : deck.faces())
        names.append(deck.spells().at(face.spell).name);
    return names;
}

int pdfPages(const QString &path)
{
    QProcess pdfinfo;
    pdfinfo.start("pdfinfo", {path});
    pdfinfo.waitForFinished(30000);
    const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    const qsizetype at = info.indexOf("Pages:");
    return at < 0 ? -1 : info.mid(at + 6).section('\n', 0, 0).trimmed().toInt();
}

} // namespace

class DeckWindowTest : public SearchTest
{
protected:
    DeckWindowTest() { library.addReportFiles(); }

    // Answers the deck dialog, once it is up, through its controls.
    void answerDeck(const std::function<void(Frm_Deck *)> &answer)
    {
        whenDialogIsUp<Frm_Deck>(&m_context, answer);
    }

    static void choose(Frm_Deck *dialog, const char *combo, const QString &text)
    {
        auto *box = control<QComboBox>(dialog, combo);
        const int index = box->findText(text, Qt::MatchStartsWith);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
    }

    RecordingReportOutput output;
    QObject m_context;
};

TEST_F(DeckWindowTest, PrintDeckFromTheBrowsersToolBarAndPopupAndFromTheSearchWindow)
{
    Frm_Browser *bryn = openBrowser("Bryn");
    selectSpells(bryn, {"Bramble Gate", "Cinder Veil"});

    // The tool bar: the two selected spells, in list order, to a preview.
    answerDeck([](Frm_Deck *dialog) {
        EXPECT_TRUE(control<QRadioButton>(dialog, "Opt_Selected")->isChecked());
        EXPECT_EQ(control<QRadioButton>(dialog, "Opt_All")->text(), "All &listed spells (2)");
        choose(dialog, "Cmb_Card", "Poker");
        choose(dialog, "Cmb_Paper", "A4");
        EXPECT_TRUE(control<QLabel>(dialog, "Lbl_Grid")->text().startsWith("9 cards a sheet (3 \u00d7 3)"));
        choose(dialog, "Cmb_Card", "A6");
        EXPECT_TRUE(
            control<QLabel>(dialog, "Lbl_Grid")->text().startsWith("2 cards a sheet (2 \u00d7 1, sideways)"));
        choose(dialog, "Cmb_Card", "Bridge");
        clickButton(dialog, "Cmd_Preview");
    });
    chooseEntry(bryn, "Print Spellbook", "Print Deck");
    ASSERT_EQ(output.jobs.size(), 1);
    ASSERT_TRUE(output.jobs.last().deck);
    EXPECT_EQ(output.jobs.last().destination, ReportJob::Destination::Window);
    EXPECT_EQ(spellsIn(*output.jobs.last().deck), QStringList({"Bramble Gate", "Cinder Veil"}));
    EXPECT_EQ(output.jobs.last().deck->options().card, DeckOptions::Card::Bridge);
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.shown().join('|').toStdString();

    // The popup: every listed spell, without backs, to a PDF file; the dialog kept the size.
    const QString pdf = library.folder() + "/kxr deck";
    prompt.chooseFile(pdf);
    answerDeck([](Frm_Deck *dialog) {
        EXPECT_TRUE(control<QComboBox>(dialog, "Cmb_Card")->currentText().startsWith("Bridge"));
        control<QRadioButton>(dialog, "Opt_All")->click();
        control<QCheckBox>(dialog, "Chk_Backs")->setChecked(false);
        clickButton(dialog, "Cmd_Pdf");
    });
    choosePopupEntry(spellsOf(openBrowser("KXR")), "Private_Browser_Deck");
    EXPECT_EQ(output.jobs.size(), 1); // a file, not a preview
    EXPECT_EQ(prompt.suggestedNames(), QStringList{"Deck of KXR.pdf"});
    EXPECT_EQ(pdfPages(pdf + ".pdf"), 1); // six bridge cards on one sheet, and no backs
    const QString text = RecordingReportOutput::textOfPdf(pdf + ".pdf");
    EXPECT_EQ(missingFrom(text, {"amber Lantern", "Cinder Veil", "Dusk Ward", "Ember Call"}), QStringList())
        << text.toStdString();

    // The search window's results, to the printer; Cancel sends nothing.
    Frm_Search *finder = openSearch();
    search(finder, "e");
    const QStringList hits = columnTexts(hitsOf(finder));
    ASSERT_FALSE(hits.isEmpty());
    answerDeck([](Frm_Deck *dialog) { clickButton(dialog, "Cmd_Print"); });
    pressButton(finder, "Print Deck");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(output.jobs.last().destination, ReportJob::Destination::Printer);
    EXPECT_EQ(spellsIn(*output.jobs.last().deck), hits);
    answerDeck([](Frm_Deck *dialog) { clickButton(dialog, "Cmd_Cancel"); });
    chooseMenuEntry(&frame(), "Private_Search_Deck");
    EXPECT_EQ(output.jobs.size(), 2);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('|').toStdString();
}

TEST_F(DeckWindowTest, ALargeDeckShowsItsProgressAndCancelSendsNothing)
{
    for (int i = 0; i < DeckCommand::kProgressFrom; ++i) {
        library.addSpell(QString("Filler %1").arg(i, 3, 10, QChar('0')), "1", {"Sun"});
        library.addToSpellbook("Bryn", QString("Filler %1").arg(i, 3, 10, QChar('0')), "1");
    }
    Frm_Browser *bryn = openBrowser("Bryn");
    answerDeck([](Frm_Deck *dialog) { clickButton(dialog, "Cmd_Preview"); });
    bool sawProgress = false;
    QTimer canceller;
    canceller.setInterval(0);
    QObject::connect(&canceller, &QTimer::timeout, &m_context, [&] {
        auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (progress && progress->objectName() == "DeckProgress" && progress->value() > 10) {
            sawProgress = true;
            progress->cancel();
        }
    });
    canceller.start();
    chooseEntry(bryn, "Print Spellbook", "Print Deck");
    canceller.stop();
    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(output.jobs.isEmpty());
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.shown().join('|').toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
