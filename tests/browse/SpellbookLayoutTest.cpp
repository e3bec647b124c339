#include "ReportTest.h"

#include "store/VM_Library.h"

#include <QRegularExpression>

class SpellbookLayoutTest : public ReportTest
{
protected:
    // Elminster holds Light and Magic Missile (1st) and Fireball (3rd); Wish is in the library
    // only; he failed Haste. Names that look like markup must print as they are.
    void SetUp() override
    {
        const QString evocation = "Evocation";
        library.addSpell("Magic Missile", "1", {evocation});
        library.addSpell("light", "1", {"Alteration", evocation});
        library.addSpell("Fireball", "3", {evocation});
        library.addSpell("Wish", "9", {evocation});
        library.addSpell("Haste", "3", {"Alteration"});
        library.addCaster(kCaster);
        exec("UPDATE SpellCasters SET First = '4', Second = '2', Third = '1'");
        for (const QString &spell : QStringList{"Magic Missile", "light", "Fireball"})
            library.addToSpellbook(kCaster, spell);
        library.addFailed(kCaster, "Haste", "3");
        library.addFailed("Someone Else", "Wish", "9");
    }

    void holdCaster(const QString &filter)
    {
        VM_Library holds;
        ASSERT_EQ(holds.Set_Caster_Hold(kCaster, filter), QString());
    }

    const QString kCaster = "Elminster <the Sage> & Co";
};

TEST_F(SpellbookLayoutTest, FullSpellbookListsTheCasterHisSpellsByLevelAndHisFailedSpells)
{
    holdCaster(QString());
    run("fullspellbook.rpt", ReportEngine::Destination::Printer, {"FailedSpells"});
    ASSERT_EQ(output.jobs.size(), 1);
    QString text = output.lastPdfText();

    EXPECT_EQ(missingFrom(text, {"Spellbook of " + kCaster, "Level 5 Elf Mage", "Alteration, Evocation",
                                 "A test spell."}),
              QStringList())
        << text.toStdString();
    // The summary: what each level can hold, how many the book holds, and their names.
    EXPECT_TRUE(text.contains(QRegularExpression("1st\\s+4\\s+2\\s+light, Magic Missile")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("2nd\\s+2\\s+0"))) << text.toStdString();
    // Levels in order, spells by name within them, Wish not in this book.
    EXPECT_EQ(
        outOfOrder(text, {"1st-level spells (2)", "light Alteration", "Magic Missile Evocation",
                          "3rd-level spells (1)", "Fireball Evocation", "Spells failed to learn", "Haste"}),
        QString())
        << text.toStdString();
    EXPECT_FALSE(text.contains("Wish"));

    exec("DELETE FROM FailedSpells WHERE SpellName = 'Haste';");
    run("fullspellbook.rpt", ReportEngine::Destination::Window, {"FailedSpells"});
    text = output.lastPdfText();
    EXPECT_TRUE(text.contains("None: every spell this caster tried was learned.")) << text.toStdString();
    EXPECT_FALSE(text.contains("Wish"));
}

TEST_F(SpellbookLayoutTest, FilteredSpellbookHoldsOnlyTheListedSpellsUnderTheFilterName)
{
    holdCaster("Travel & <Utility>");
    // As a browser filtered to the 1st level lists them.
    VM_Library holds;
    holds.Print_Filtered_Spellbook({{"light", {"1"}}, {"Magic Missile", {"1"}}}, kCaster);
    run("filteredspellbook.rpt", ReportEngine::Destination::Printer);
    const QString text = output.lastPdfText();

    EXPECT_EQ(missingFrom(text, {kCaster, "Travel & <Utility>"}), QStringList()) << text.toStdString();
    EXPECT_EQ(outOfOrder(text, {"1st-level spells (2)", "light Alteration", "Magic Missile Evocation"}),
              QString())
        << text.toStdString();
    EXPECT_EQ(foundIn(text, {"Fireball", "3rd-level", "Haste", "Wish"}), QStringList());
}
