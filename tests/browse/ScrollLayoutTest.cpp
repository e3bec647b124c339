#include "ReportTest.h"

#include "store/Database.h"
#include "store/VM_Library.h"

#include <QRegularExpression>

#include <algorithm>

TEST_F(ReportTest, ScrollsAreGroupedByCasterAndScrollWithTheirLinesInWrittenOrder)
{
    Statement insert(
        library.db(),
        "INSERT INTO ScrollHold (ScrollName, Caster, Spell, Lvl, Book, Page) VALUES (?, ?, ?, ?, ?, ?)");
    const QStringList rows[] = {
        {"Ambush", "Zed", "Fireball", "3", "PHB", "131"},
        {"Escape", "Alia", "Fly", "3", "PHB", "133"},
        {"Ambush", "Alia", "Web", "2", "PHB", "121"},
        {"Ambush", "Alia", "Sleep", "1", "PHB", "112"},
        {"Ambush", "Alia", "Web", "2", "PHB", "121"},
        {"Escape", "Alia", "Dimension Door", "4", "PHB", "147"},
    };
    for (const QStringList &row : rows) {
        insert.bindAll(1, row);
        insert.run();
        insert.reset();
    }
    run(QStringLiteral("scrolls.rpt"), ReportEngine::Destination::Printer);
    const QString text = output.lastPdfText();

    const QList<qsizetype> order = positionsIn(
        text, {QStringLiteral("Scrolls of Alia"), QStringLiteral("Ambush 3 spells"), QStringLiteral("Web"),
               QStringLiteral("Sleep"), QStringLiteral("Escape 2 spells"), QStringLiteral("Fly"),
               QStringLiteral("Dimension Door"), QStringLiteral("Scrolls of Zed"),
               QStringLiteral("Ambush 1 spells"), QStringLiteral("Fireball")});
    EXPECT_FALSE(order.contains(-1)) << text.toStdString();
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << text.toStdString();
    // A line repeated on a scroll prints twice; each line carries its level, book and page.
    EXPECT_EQ(text.count(QStringLiteral("Web")), 2) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Dimension Door\\s+4th\\s+PHB\\s+147"))));
    // Each caster's scrolls on a page of their own, and no empty page before the first.
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2) << text.toStdString();
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("Scrolls of Alia")));
    EXPECT_TRUE(pages.at(1).contains(QStringLiteral("Scrolls of Zed")));

    exec(QStringLiteral("DELETE FROM ScrollHold;"));
    run(QStringLiteral("scrolls.rpt"), ReportEngine::Destination::Window);
    EXPECT_TRUE(output.lastPdfText().contains(QStringLiteral("There is no scroll to print")));
}

TEST_F(ReportTest, ScrollsPrintWhatTheScrollStoreCopiedForPrinting)
{
    VM_Library scrolls;
    const ListRows lines{
        {QStringLiteral("Web"),
         {QStringLiteral("2"), QStringLiteral("Common"), QStringLiteral("PHB"), QStringLiteral("121")}},
        {QStringLiteral("Sleep"),
         {QStringLiteral("1"), QStringLiteral("Common"), QStringLiteral("PHB"), QStringLiteral("112")}}};
    ASSERT_EQ(scrolls.SaveScroll(QStringLiteral("Ambush"), QStringLiteral("Alia"), lines), QString());
    ASSERT_EQ(scrolls.SaveScroll(QStringLiteral("Escape"), QStringLiteral("Bran"), lines), QString());
    ASSERT_EQ(scrolls.FillScrollDetails(QStringLiteral("Caster"), QStringLiteral("Alia")), QString());
    run(QStringLiteral("scrolls.rpt"), ReportEngine::Destination::Printer);
    const QString text = output.lastPdfText();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Web\\s+2nd\\s+PHB\\s+121"))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Sleep\\s+1st\\s+PHB\\s+112"))));
    EXPECT_FALSE(text.contains(QStringLiteral("Bran")));
}
