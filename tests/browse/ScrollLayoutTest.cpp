#include "ReportTest.h"

#include "store/VM_Library.h"

#include <QRegularExpression>

TEST_F(ReportTest, ScrollsAreGroupedByCasterAndScrollWithTheirLinesInWrittenOrderAsTheStoreCopiedThem)
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
    run("scrolls.rpt", ReportEngine::Destination::Printer);
    QString text = output.lastPdfText();

    EXPECT_EQ(outOfOrder(text, {"Scrolls of Alia", "Ambush 3 spells", "Web", "Sleep", "Escape 2 spells",
                                "Fly", "Dimension Door", "Scrolls of Zed", "Ambush 1 spells", "Fireball"}),
              QString())
        << text.toStdString();
    // A line repeated on a scroll prints twice; each line carries its level, book and page.
    EXPECT_EQ(text.count("Web"), 2) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Dimension Door\\s+4th\\s+PHB\\s+147")));
    // Each caster's scrolls on a page of their own, and no empty page before the first.
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2) << text.toStdString();
    EXPECT_TRUE(pages.at(0).contains("Scrolls of Alia"));
    EXPECT_TRUE(pages.at(1).contains("Scrolls of Zed"));

    // What the scroll store copies for printing is what prints.
    VM_Library scrolls;
    const ListRows lines{{"Web", {"2", "Common", "PHB", "121"}}, {"Sleep", {"1", "Common", "PHB", "112"}}};
    ASSERT_EQ(scrolls.SaveScroll("Ambush", "Alia", lines), QString());
    ASSERT_EQ(scrolls.SaveScroll("Escape", "Bran", lines), QString());
    ASSERT_EQ(scrolls.FillScrollDetails("Caster", "Alia"), QString());
    run("scrolls.rpt", ReportEngine::Destination::Printer);
    text = output.lastPdfText();
    EXPECT_TRUE(text.contains(QRegularExpression("Web\\s+2nd\\s+PHB\\s+121"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Sleep\\s+1st\\s+PHB\\s+112")));
    EXPECT_FALSE(text.contains("Bran"));

    exec("DELETE FROM ScrollHold;");
    run("scrolls.rpt", ReportEngine::Destination::Window);
    EXPECT_TRUE(output.lastPdfText().contains("There is no scroll to print"));
}
