#include "ReportTest.h"

#include "store/VM_Spell.h"

#include <QRegularExpression>

namespace {

const QString kWillows = "Bower of Bent Willows";

// Copies a spell with every field set into the hold, as a card does before it prints.
void holdSpell(TestLibrary &library, const QString &author, const QString &description)
{
    library.setSpell(kWillows, {{"Range", "30 yards"},
                                {"Components", "V,S,M"},
                                {"Duration", "Until sunrise"},
                                {"[Area of Effect]", "One shelter"},
                                {"[Casting Time]", "1"},
                                {"[Casting Time Type]", "Turn(s)"},
                                {"[Saving Throw]", "Half"},
                                {"Book", "PHB"},
                                {"Page", "102"},
                                {"Author", author},
                                {"Description", description}});
    VM_Spell spell;
    ASSERT_TRUE(spell.Set_Spell_Details(kWillows));
    ASSERT_EQ(spell.Set_Spell_Hold(), QString());
}

} // namespace

TEST_F(ReportTest, ASpellCardHoldsEveryFieldEachParagraphAndItsAuthor)
{
    library.addSpell(kWillows, "3", {"Alteration", "Plant"}, "Rare");
    holdSpell(
        library, "",
        "The trees bend & twine into a <snug> bower.\n\r\nFrom outside, the bower looks like a thicket.\n"
        "At sunrise the trees straighten again.");
    run("singlespell.rpt");
    ASSERT_EQ(output.jobs.size(), 1);
    QString text = output.lastPdfText();
    EXPECT_EQ(missingFrom(text, {kWillows, "3rd-level spell", "Alteration, Plant", "30 yards", "V,S,M",
                                 "Until sunrise", "One shelter", "1 Turn(s)", "Half", "Rare", "Author: KXR",
                                 "Book PHB, page 102", "The trees bend & twine into a <snug> bower."}),
              QStringList())
        << text.toStdString();
    // Each line of the description is a paragraph of its own, in order.
    const QRegularExpression paragraphs("bower\\.\\s*\\n\\s*From outside.*thicket\\.\\s*\\n\\s*At sunrise",
                                        QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(paragraphs.match(text).hasMatch()) << text.toStdString();
    // The footer names the spell; a one-page card carries no page number.
    EXPECT_TRUE(text.contains(kWillows + " · 3rd-level spell")) << text.toStdString();
    EXPECT_FALSE(text.contains("Page 1 of"));

    holdSpell(library, "Mordenkainen", "Short.");
    run("singlespell.rpt");
    EXPECT_TRUE(output.lastPdfText().contains("Author: Mordenkainen"));

    exec("DELETE FROM SpellHold;");
    run("singlespell.rpt");
    EXPECT_TRUE(output.lastPdfText().contains("There is no spell to print"));
}
