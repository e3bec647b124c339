#include "ReportTest.h"

#include "ScriptedPrompt.h"
#include "browse/ReportFile.h"
#include "browse/ReportPreviewDialog.h"
#include "browse/ReportRenderer.h"
#include "store/Database.h"
#include "store/VmError.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

const QString kNested = QStringLiteral(R"(# levels and their spells
footer: {{#Levels}}{{Lvl}}{{^_last}}+{{/_last}}{{/Levels}} & more
query Levels: SELECT DISTINCT Lvl FROM Spells
    ORDER BY Lvl
query Levels.Spells: SELECT Name AS [Spell Name], Author FROM Spells WHERE Lvl = :Lvl ORDER BY Name
query Levels.Spells.Schools: SELECT Sphere FROM SpellandSphere WHERE Name = :Spell_Name AND :Lvl <> ''
---
{{#Levels}}[{{Lvl}}:{{#Spells}}{{Spell_Name}}{{^Author}}(anon){{/Author}}{{#Schools}}/{{Sphere}}{{/Schools}};{{/Spells}}]{{/Levels}}
{{> Note}}
=== Note
query Count: SELECT count(*) AS N FROM Spells
---
<i>{{#Count}}{{N}}{{/Count}} spells, {{#Levels}}{{Lvl}}{{/Levels}}</i>
)");

} // namespace

TEST_F(ReportTest, ChildQueriesRunPerRowOfTheirParentAndSubReportsSeeTheWholeReport)
{
    library.addSpell("Web", "2", {"Evocation"});
    library.addSpell("Sleep", "1", {"Enchantment"});
    library.addSpell("Light <b>", "1", {});
    exec("UPDATE Spells SET Author = 'Tenser' WHERE Name = 'Sleep'");
    writeReport("nested.rpt", QChar(0xFEFF) + kNested); // as some editors save it

    ReportEngine engine(&owner);
    engine.setReportFileName(ReportEngine::reportPath("nested.rpt"));
    engine.setPassword(QString::fromLatin1(kLibraryPassword));
    engine.setWindowTitle("Levels Print Preview");
    engine.setWindowState(ReportEngine::WindowState::Maximized);
    engine.start();

    ASSERT_EQ(output.jobs.size(), 1);
    const ReportJob &job = output.jobs.first();
    EXPECT_TRUE(job.html.startsWith("[1:Light &lt;b&gt;(anon);Sleep/Enchantment;][2:Web(anon)/Evocation;]"))
        << job.html.toStdString();
    EXPECT_TRUE(job.html.contains("<i>3 spells, 12</i>")) << job.html.toStdString();
    EXPECT_EQ(job.footer, "1+2 & more");
    EXPECT_EQ(job.title, "Levels Print Preview");
    EXPECT_TRUE(job.maximized);
    EXPECT_EQ(job.destination, ReportEngine::Destination::Window);
}

TEST_F(ReportTest, NoPrinterIsAClearErrorThatRendersNothingWhilePreviewsStillWork)
{
    output.printerInstalled = false;
    EXPECT_EQ(runError("singlespell.rpt", ReportEngine::Destination::Printer),
              "No printer is installed. Use a preview to print to a PDF file.");
    // Said before anything else is looked at, even a missing report file.
    EXPECT_EQ(runError("missing.rpt", ReportEngine::Destination::Printer),
              "No printer is installed. Use a preview to print to a PDF file.");
    EXPECT_TRUE(output.jobs.isEmpty());

    EXPECT_EQ(runError("singlespell.rpt", ReportEngine::Destination::Window), QString());
    EXPECT_EQ(output.jobs.size(), 1);
}

TEST_F(ReportTest, MissingOrMalformedReportFilesAreClearErrorsAndDeliverNothing)
{
    library.addSpell("Web", "2", {});
    EXPECT_TRUE(runError("gone.rpt").contains("gone.rpt could not be found"));

    const struct
    {
        const char *content;
        const char *message;
    } cases[] = {
        {"", "the \"---\" line before the layout is missing"},
        {"query A: SELECT 1 AS X\n<p>{{X}}</p>\n", "expected \"query NAME: SELECT ...\""},
        {"query A: SELECT 1\n---\n   \n", "the main report has no layout"},
        {"query A: SELECT 1\nquery A: SELECT 2\n---\nx\n", "line 2): the query A is defined twice"},
        {"query A.B: SELECT 1\n---\nx\n", "the query A.B needs its parent A defined above it"},
        {"query A-B: SELECT 1\n---\nx\n", "\"A-B\" is not a query name"},
        {"query A:\n---\nx\n", "the query A has no SQL"},
        {"  SELECT 1\n---\nx\n", "an indented line follows no query"},
        {"---\nx\n=== Sub\nquery Q: SELECT 1\n", "the \"---\" line before the layout is missing"},
        {"---\nx\n=== Sub\n---\ny\n=== Sub\n---\nz\n", "the sub-report Sub is defined twice"},
        {"query Sub: SELECT 1\n---\nx\n=== Sub\n---\ny\n", "the name Sub is used twice"},
        {"query A: SELECT nothing FROM nowhere\n---\nx\n", "query A (line 1): no such table: nowhere"},
        {"query A: SELECT 1 AS X\nquery A.B: SELECT Nme FROM Spells\n---\nx\n",
         "could not be run: query A.B (line 2): no such column: Nme"},
        // Neither query alone reaches the limit.
        {"query A: WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 100000)\n"
         "    SELECT x FROM c\n"
         "query B: WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 100001)\n"
         "    SELECT x FROM c\n---\nx\n",
         "query B (line 3): the report's queries return more than 200000 rows in all, more than a report "
         "may read."},
        {"query A: WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 20)\n"
         "    SELECT hex(zeroblob(500000)) AS T FROM c\n---\nx\n",
         "query A (line 1): the report's queries return more than 16000000 characters of text in all"},
        {"query A: SELECT ? AS X\n---\nx\n", "parameters must be named after a column"},
        {"query A: SELECT :Lvl AS X\n---\nx\n", ":Lvl is not a column of the rows this query belongs to"},
        {"---\n{{#A}}unclosed\n", "could not be laid out: its layout: Unclosed section \"A\""},
        {"---\n{{> Nowhere}}\n", "there is no sub-report Nowhere in this file"},
        {"---\nx {{> Sub}}\n=== Sub\n---\n{{/B}}\n", "the layout of the sub-report Sub"},
        {"---\nx {{> Sub}}\n=== Sub\n---\n{{> Sub}}\n", "sub-report Sub: it includes itself"},
        {"---\n{{> A}}\n=== A\n---\n{{> B}}\n=== B\n---\n{{#X}}{{> A}}{{/X}}\n", "it includes itself"},
    };
    for (const auto &c : cases) {
        writeReport("bad.rpt", QString::fromUtf8(c.content));
        const QString error = runError("bad.rpt");
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.message)))
            << c.content << "\n gave: " << error.toStdString();
        EXPECT_EQ(error.count("bad.rpt"), 1) << error.toStdString();
    }
    EXPECT_TRUE(output.jobs.isEmpty());
}

TEST_F(ReportTest, AQueryThatRunsTooLongIsStoppedAndLeavesTheConnectionAsItWas)
{
    // Returns no row at all while it runs, so only the clock can stop it.
    const ReportFile endless = ReportFile::parse(
        "# counts for ever\n"
        "query Count: SELECT count(*) AS N FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 "
        "FROM c) SELECT x FROM c)\n---\n{{#Count}}{{N}}{{/Count}}\n",
        "endless.rpt");
    Connection connection(library.path(), Connection::Access::ReadOnly);
    const QString error =
        raised([&] { ReportRenderer::render(endless, connection, std::chrono::milliseconds(100)); });
    EXPECT_TRUE(error.endsWith("The report file endless.rpt could not be run: query Count (line 2): the "
                               "report's queries ran for more than 0.1 seconds in all, longer than a "
                               "report may run."))
        << error.toStdString();

    // The time is up: a handler left behind would stop this query too.
    EXPECT_EQ(sqlite3_next_stmt(connection.handle(), nullptr), nullptr);
    Statement later(connection, "SELECT count(*) FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                                "SELECT x+1 FROM c WHERE x < 100000) SELECT x FROM c)");
    ASSERT_TRUE(later.step());
    EXPECT_EQ(later.integer(0), 100000);
}

TEST_F(ReportTest, ReportsOnlyReadTheLibraryAndNeedItsPassword)
{
    library.addSpell("Web", "2", {});
    const QStringList before = library.dump();
    writeReport("eraser.rpt", "query A: DELETE FROM Spells\n---\ngone\n");
    EXPECT_TRUE(runError("eraser.rpt").contains("readonly"));
    EXPECT_EQ(library.dump(), before);

    ReportEngine engine(&owner);
    engine.setReportFileName(ReportEngine::reportPath("singlespell.rpt"));
    const auto errorOf = [&engine] { return raised([&engine] { engine.start(); }); };
    EXPECT_TRUE(errorOf().endsWith(": The report could not log on to the library: no password was given."));
    engine.setPassword("dragon");
    EXPECT_TRUE(errorOf().endsWith(": The report could not log on to the library: the password is wrong."));
    engine.setPassword(QString::fromLatin1(kLibraryPassword));
    engine.setSubreportToChange("FailedSpells");
    engine.setPassword(QString::fromLatin1(kLibraryPassword));
    EXPECT_TRUE(errorOf().contains("has no sub-report FailedSpells"));
    EXPECT_TRUE(output.jobs.isEmpty());
}

TEST_F(ReportTest, APreviewBelongsToItsWindowAndSavesItsPagesAsPdf)
{
    library.addSpell("Web", "2", {"Evocation"});
    exec(QStringLiteral("INSERT INTO SpellHold (Name, Lvl, Schools, Description) "
                        "VALUES ('Web', '2', 'Evocation', 'Sticky strands.')"));
    ReportOutput::install(nullptr); // the real preview window

    ReportEngine engine(&owner);
    engine.setReportFileName(ReportEngine::reportPath("singlespell.rpt"));
    engine.setPassword(QString::fromLatin1(kLibraryPassword));
    engine.setWindowState(ReportEngine::WindowState::Maximized);
    engine.setWindowTitle("Web (2) Print Preview");
    engine.start();

    auto *preview = owner.findChild<ReportPreviewDialog *>("ReportPreview");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), "Web (2) Print Preview");
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(preview->isModal());

    ScriptedPrompt prompt;
    QTemporaryDir dir;
    prompt.chooseFile(dir.filePath("web"));
    prompt.chooseFile(dir.filePath("no/such/folder/web.pdf"));
    preview->savePdf();
    EXPECT_TRUE(QFile::exists(dir.filePath("web.pdf")));
    preview->savePdf();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastMessage().startsWith("The PDF file ")) << prompt.lastMessage().toStdString();

    const QString text = output.pdfText(preview->job());
    EXPECT_TRUE(text.contains("Sticky strands."));
    preview->close(); // deletes itself
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(owner.findChild<ReportPreviewDialog *>(), nullptr);
}
