#include "ReportTest.h"

#include "store/Database.h"
#include "store/VM_Library.h"

#include <QRegularExpression>

#include <algorithm>

class SpellbookLayoutTest : public ReportTest
{
protected:
    // Elminster holds Light and Magic Missile (1st) and Fireball (3rd); Wish is in the library
    // only; he failed Haste. Names that look like markup must print as they are.
    void SetUp() override
    {
        library.addSchool(QStringLiteral("Evocation"));
        library.addSchool(QStringLiteral("Alteration"));
        const QString evocation = QStringLiteral("Evocation");
        library.addSpell(QStringLiteral("Magic Missile"), QStringLiteral("1"), {evocation});
        library.addSpell(QStringLiteral("light"), QStringLiteral("1"),
                         {QStringLiteral("Alteration"), evocation});
        library.addSpell(QStringLiteral("Fireball"), QStringLiteral("3"), {evocation});
        library.addSpell(QStringLiteral("Wish"), QStringLiteral("9"), {evocation});
        library.addSpell(QStringLiteral("Haste"), QStringLiteral("3"), {QStringLiteral("Alteration")});
        library.addCaster(kCaster);
        exec(QStringLiteral("UPDATE SpellCasters SET First = '4', Second = '2', Third = '1'"));
        for (const char *spell : {"Magic Missile", "light", "Fireball"})
            library.addToSpellbook(kCaster, QString::fromLatin1(spell));
        library.addFailed(kCaster, QStringLiteral("Haste"), QStringLiteral("3"));
        library.addFailed(QStringLiteral("Someone Else"), QStringLiteral("Wish"), QStringLiteral("9"));
    }

    void holdCaster(const QString &filter)
    {
        VM_Library holds;
        ASSERT_EQ(holds.Set_Caster_Hold(kCaster, filter), QString());
    }

    const QString kCaster = QStringLiteral("Elminster <the Sage> & Co");
};

TEST_F(SpellbookLayoutTest, FullSpellbookListsTheCasterHisSpellsByLevelAndHisFailedSpells)
{
    holdCaster(QString());
    run(QStringLiteral("fullspellbook.rpt"), ReportEngine::Destination::Printer,
        {QStringLiteral("FailedSpells")});
    ASSERT_EQ(output.jobs.size(), 1);
    const QString text = output.lastPdfText();

    EXPECT_TRUE(text.contains(QStringLiteral("Spellbook of ") + kCaster)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Level 5 Elf Mage"))) << text.toStdString();
    // The summary: what each level can hold, how many the book holds, and their names.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("1st\\s+4\\s+2\\s+light, Magic Missile"))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("2nd\\s+2\\s+0")))) << text.toStdString();
    // Levels in order, spells by name within them, Wish not in this book.
    const QList<qsizetype> order =
        positionsIn(text, {QStringLiteral("1st-level spells (2)"), QStringLiteral("light Alteration"),
                           QStringLiteral("Magic Missile Evocation"), QStringLiteral("3rd-level spells (1)"),
                           QStringLiteral("Fireball Evocation"), QStringLiteral("Spells failed to learn"),
                           QStringLiteral("Haste")});
    EXPECT_FALSE(order.contains(-1)) << text.toStdString();
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Wish")));
    EXPECT_TRUE(text.contains(QStringLiteral("Alteration, Evocation")));
    EXPECT_TRUE(text.contains(QStringLiteral("A test spell.")));
}

TEST_F(SpellbookLayoutTest, FullSpellbookSaysSoWhenNothingWasFailed)
{
    exec(QStringLiteral("DELETE FROM FailedSpells WHERE SpellName = 'Haste';"));
    holdCaster(QString());
    run(QStringLiteral("fullspellbook.rpt"), ReportEngine::Destination::Window,
        {QStringLiteral("FailedSpells")});
    const QString text = output.lastPdfText();
    EXPECT_TRUE(text.contains(QStringLiteral("None: every spell this caster tried was learned.")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Wish")));
}

TEST_F(SpellbookLayoutTest, FilteredSpellbookHoldsOnlyTheListedSpellsUnderTheFilterName)
{
    holdCaster(QStringLiteral("Travel & <Utility>"));
    // As a browser filtered to the 1st level lists them.
    VM_Library holds;
    holds.Print_Filtered_Spellbook({{QStringLiteral("light"), {QStringLiteral("1")}},
                                    {QStringLiteral("Magic Missile"), {QStringLiteral("1")}}},
                                   kCaster);
    run(QStringLiteral("filteredspellbook.rpt"), ReportEngine::Destination::Printer);
    const QString text = output.lastPdfText();

    EXPECT_TRUE(text.contains(kCaster)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Travel & <Utility>"))) << text.toStdString();
    const QList<qsizetype> order =
        positionsIn(text, {QStringLiteral("1st-level spells (2)"), QStringLiteral("light Alteration"),
                           QStringLiteral("Magic Missile Evocation")});
    EXPECT_FALSE(order.contains(-1)) << text.toStdString();
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << text.toStdString();
    for (const char *absent : {"Fireball", "3rd-level", "Haste", "Wish"})
        EXPECT_FALSE(text.contains(QString::fromLatin1(absent))) << absent;
}
