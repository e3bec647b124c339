#include "RecordingReportOutput.h"
#include "ScrollsFixture.h"
#include "SpellFiles.h"

#include "scrolls/Frm_Scrolls.h"

class ScrollOutputTest : public ScrollsTest
{
protected:
    ScrollOutputTest()
    {
        library.addReportFiles();
        Constants::Previews_Maximized = true;
        output.onDelivery = [this](const ReportJob &) {
            statusWhilePrinting.append(frame().statusPanel(2)->text());
            EXPECT_NE(QApplication::overrideCursor(), nullptr);
        };
    }

    QString fileNamed(const QString &name) const { return QDir(library.folder()).filePath(name); }

    RecordingReportOutput output;
    QStringList statusWhilePrinting;
};

TEST_F(ScrollOutputTest, ACastersScrollsPrintAndTheChosenScrollAloneIsPreviewed)
{
    openScrolls();
    click(node("Bryn"));
    chooseEntry(window, "Print", "Print Selected Caster's Scrolls");
    ASSERT_EQ(output.jobs.size(), 1);
    EXPECT_EQ(output.jobs[0].destination, ReportJob::Destination::Printer);
    EXPECT_EQ(statusWhilePrinting, QStringList{"Printing Scroll..."});
    const QString text = output.pdfText(output.jobs[0]);
    for (const char *expected :
         {"Scrolls of Bryn", "Embers", "Frost", "Ember Call", "Amber Lantern", "Cinder Veil", "Frost Lance"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    EXPECT_FALSE(text.contains("Corwin"));

    // Corwin's "Embers" is the scroll chosen; Bryn's of the same name is not printed with it.
    click(node("Corwin", "Embers"));
    chooseEntry(window, "Print", "Preview Selected Scroll");
    ASSERT_EQ(output.jobs.size(), 2);
    EXPECT_EQ(output.jobs[1].destination, ReportJob::Destination::Window);
    EXPECT_EQ(output.jobs[1].title, "Manage Scrolls Print Preview");
    EXPECT_TRUE(output.jobs[1].maximized);
    const QString preview = output.pdfText(output.jobs[1]);
    EXPECT_TRUE(preview.contains("Dusk Ward") && preview.contains("Bramble Gate"));
    EXPECT_FALSE(preview.contains("Ember Call") || preview.contains("Bryn"));
    EXPECT_EQ(statusWhilePrinting.value(1), QString());

    // A caster's preview holds every scroll of that caster; the frame's Print prints the chosen node.
    click(node("Corwin"));
    chooseEntry(window, "Print", "Preview Selected Caster's Scrolls");
    click(node("Bryn", "Frost"));
    chooseMenuEntry(&frame(), "Main_File_Print");
    ASSERT_EQ(output.jobs.size(), 4);
    EXPECT_EQ(output.jobs[2].destination, ReportJob::Destination::Window);
    const QString corwin = output.pdfText(output.jobs[2]);
    EXPECT_TRUE(corwin.contains("Scrolls of Corwin") && corwin.contains("Dusk Ward"));
    EXPECT_FALSE(corwin.contains("Frost Lance"));
    EXPECT_EQ(output.jobs[3].destination, ReportJob::Destination::Printer);
    const QString frost = output.pdfText(output.jobs[3]);
    EXPECT_TRUE(frost.contains("Frost Lance"));
    EXPECT_FALSE(frost.contains("Ember Call"));

    EXPECT_EQ(frame().statusPanel(2)->text(), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(ScrollOutputTest, ExportWritesTheScrollsSpellsOnceAndNamesThoseThatLeftTheLibrary)
{
    addScroll("Bryn", "Frost", {"Amber Lantern", "Frost Lance"});
    openScrolls();

    // A scroll: its spells, each once, under a suggested name a file can carry.
    addScroll("Bryn", "Odd/Name", {"Dusk Ward"});
    window->LoadScrollNames();
    click(node("Bryn", "Frost"));
    prompt.chooseFile(fileNamed("frost.spel"));
    pressButton(window, "Export Scroll");
    EXPECT_EQ(prompt.shown().value(0), "save: Spell Files (*.spel)|*.spel");
    EXPECT_EQ(prompt.suggestedNames().value(0), "Frost.spel");
    EXPECT_EQ(namesInSpellFile(fileNamed("frost.spel")), (QStringList{"Frost Lance", "Amber Lantern"}));
    click(node("Bryn", "Odd/Name"));
    prompt.chooseFile(fileNamed("odd.spel"));
    pressButton(window, "Export Scroll");
    EXPECT_EQ(prompt.suggestedNames().value(1), "Odd Name.spel");

    // A caster: every spell of every scroll, each once; a spell gone from the library is left out.
    library.db().exec("DELETE FROM Spells WHERE Name IN ('Cinder Veil', 'Dusk Ward')");
    prompt.clear();
    click(node("Bryn"));
    prompt.chooseFile(fileNamed("bryn.spel"));
    pressButton(window, "Export Scroll");
    EXPECT_EQ(prompt.suggestedNames(), QStringList{"Bryn.spel"});
    EXPECT_EQ(prompt.messages(),
              QStringList{"These spells are no longer in the library and were not exported: "
                          "Cinder Veil, Dusk Ward"});
    EXPECT_EQ(namesInSpellFile(fileNamed("bryn.spel")),
              (QStringList{"Ember Call", "Amber Lantern", "Frost Lance"}));

    prompt.clear();
    click(node("Bryn", "Odd/Name"));
    pressButton(window, "Export Scroll");
    EXPECT_EQ(prompt.shown(), QStringList{"These spells are no longer in the library and were not exported: "
                                          "Dusk Ward"});

    // Cancelling the dialog ends the export without a word.
    prompt.clear();
    click(node("Bryn", "Frost"));
    prompt.cancelFile();
    pressButton(window, "Export Scroll");
    EXPECT_EQ(prompt.shown(), QStringList{"save: Spell Files (*.spel)|*.spel"});
    EXPECT_EQ(frame().statusPanel(2)->text(), QString());
}
