#include "FileSizeLimit.h"
#include "Files.h"
#include "ReportTest.h"

#include "browse/ReportPages.h"

#include <QPdfWriter>
#include <QTemporaryDir>

namespace {

QString spellName(int index)
{
    return QStringLiteral("Word %1").arg(index, 2, 10, QLatin1Char('0'));
}

qsizetype pageOf(const QStringList &pages, const QString &text)
{
    for (qsizetype i = 0; i < pages.size(); ++i)
        if (pages.at(i).contains(text))
            return i;
    return -1;
}

} // namespace

class ReportPagesTest : public ReportTest
{
protected:
    // A spellbook of 24 spells over four levels, descriptions of one to seven paragraphs that
    // start and end with a mark, and one spell longer than a page.
    void SetUp() override
    {
        library.addCaster("Mira");
        const QString paragraph =
            QStringLiteral("The words hang in the air and settle on the page. ").repeated(6);
        for (int i = 0; i < 25; ++i) {
            const QString name = i < 24 ? spellName(i) : "Endless Litany";
            library.addSpell(name, QString::number(1 + i / 6), {"Evocation"});
            library.addToSpellbook("Mira", name);
            QStringList description{QStringLiteral("Start of %1.").arg(name)};
            for (int p = 0; p < (i < 24 ? 1 + i % 7 : 60); ++p)
                description.append(paragraph);
            description.append(QStringLiteral("End of %1.").arg(name));
            library.setSpell(name, {{"Description", description.join(QLatin1Char('\n'))}});
        }
        exec("INSERT INTO CasterHold (Caster, CasterFilter) VALUES ('Mira', '')");
        run("fullspellbook.rpt", ReportEngine::Destination::Window, {"FailedSpells"});
    }
};

TEST_F(ReportPagesTest, PagesKeepEverySpellThatFitsWholeAndNoHeadingAtTheFootOfAPage)
{
    const QStringList pages = output.lastPdfText().split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GT(pages.size(), 6);
    for (int i = 0; i < 24; ++i) {
        const qsizetype start = pageOf(pages, QStringLiteral("Start of %1.").arg(spellName(i)));
        EXPECT_NE(start, -1) << i;
        EXPECT_EQ(pageOf(pages, QStringLiteral("End of %1.").arg(spellName(i))), start) << i;
    }
    // The spell longer than a page still prints whole, over several pages.
    const qsizetype litany = pageOf(pages, "Start of Endless Litany.");
    EXPECT_GT(pageOf(pages, "End of Endless Litany."), litany);

    for (const QString &page : pages) {
        QStringList lines = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        while (!lines.isEmpty() &&
               (lines.last().trimmed().isEmpty() || lines.last().contains("Spellbook of Mira")))
            lines.removeLast(); // the footer
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_FALSE(lines.last().contains("-level spells (")) << page.toStdString();
    }
}

TEST_F(ReportPagesTest, APageRangePrintsOnlyThosePagesWithTheirOwnNumbers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("range.pdf");
    {
        QPdfWriter writer(path);
        writer.setPageLayout(ReportPages::defaultLayout());
        ASSERT_TRUE(ReportPages::paint(output.jobs.last(), &writer, 2, 3));
    }
    const QStringList pages =
        RecordingReportOutput::textOfPdf(path).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages.at(0).contains("Page 2 of "));
    EXPECT_TRUE(pages.at(1).contains("Page 3 of "));
    EXPECT_FALSE(pages.at(0).contains("Spellbook of Mira\n") && pages.at(0).contains("CAN HOLD"));

    // Paper with no room between its margins (a preview's page setup allows it): one page that
    // says so, and a PDF file refused, instead of pages without end.
    const QPageLayout cramped(QPageSize(QSizeF(40, 30), QPageSize::Millimeter), QPageLayout::Portrait,
                              QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    const QString crampedPath = dir.filePath("cramped.pdf");
    {
        QPdfWriter writer(crampedPath);
        writer.setPageLayout(cramped);
        ASSERT_TRUE(ReportPages::paint(output.jobs.last(), &writer));
    }
    const QString notice = RecordingReportOutput::textOfPdf(crampedPath);
    EXPECT_EQ(notice.count(QLatin1Char('\f')), 1);
    EXPECT_TRUE(notice.simplified().contains("no room for the report")) << notice.toStdString();
    const QString refused = dir.filePath("refused.pdf");
    EXPECT_THROW(ReportPages::writePdf(output.jobs.last(), refused, cramped), VmError);
    EXPECT_FALSE(QFile::exists(refused));

    // A disk that fills up part way: the earlier PDF stays whole.
    const QString kept = dir.filePath("kept.pdf");
    ReportPages::writePdf(output.jobs.last(), kept);
    const QByteArray before = fileBytes(kept);
    {
        FileSizeLimit limit(before.size() / 2);
        ASSERT_TRUE(limit.active());
        EXPECT_TRUE(raised([&] {
                        ReportPages::writePdf(output.jobs.last(), kept);
                    }).contains("could not be written"));
    }
    EXPECT_EQ(fileBytes(kept), before);
}

TEST(ReportFileName, ASuggestedPdfNameUsesPlainCharactersOnly)
{
    struct Case
    {
        QString footer;
        QString name;
    };
    const QList<Case> cases = {
        {"Spellbook of Bryn", "Spellbook of Bryn"},
        {QStringLiteral("Spellbook of Maud's \u00C9lan: 1/2"), "Spellbook of Mauds Elan 1-2"},
        {"Scrolls of \"Old\" Mag *?<>|", "Scrolls of Old Mag"},
        {QStringLiteral("Memorized Spells of Sigr\u00FAn \u2605"), "Memorized Spells of Sigrun"},
        {"../etc", "etc"},
        {QStringLiteral("\u2605"), "Vellumar"},
    };
    for (const Case &c : cases) {
        ReportJob job;
        job.footer = c.footer;
        EXPECT_EQ(ReportPages::fileName(job), c.name) << c.footer.toStdString();
    }
}
