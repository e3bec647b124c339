#include "ReportTest.h"

#include "browse/Deck.h"
#include "browse/DeckSheet.h"
#include "browse/ReportPages.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextLayout>

namespace {

constexpr qreal kPointsPerMm = 72 / 25.4;

struct Word
{
    int page;   // from 1
    QRectF box; // in points
    QString text;
};

// Every word of a PDF file with its box, as pdftotext finds them on the paper.
QList<Word> wordsOf(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", path, "-"});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext -bbox failed on " << path.toStdString();
        return {};
    }
    const QString xhtml = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression item("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                         "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    QList<Word> words;
    int page = 0;
    for (auto matches = item.globalMatch(xhtml); matches.hasNext();) {
        const auto match = matches.next();
        if (match.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        words.append({page,
                      QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                             QPointF(match.captured(3).toDouble(), match.captured(4).toDouble())),
                      match.captured(5)});
    }
    return words;
}

// The words of a description, whitespace aside: what was drawn must be all of it, in order.
QString paragraphsOf(const QString &description)
{
    QStringList paragraphs;
    for (const QString &line : description.split('\n'))
        if (!line.trimmed().isEmpty())
            paragraphs.append(line.trimmed());
    return paragraphs.join('\n');
}

QString words(int count, const QString &seed)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(seed + QString::number(i % 97));
    return list.join(' ');
}

} // namespace

class DeckTest : public ReportTest
{
protected:
    // Puts the spells into the hold the deck reads, in this order.
    void hold(const QStringList &names)
    {
        exec("DELETE FROM SpellbookFiltered;");
        Statement insert(library.db(),
                         "INSERT INTO SpellbookFiltered (Caster, SpellName, SpellLevel) VALUES ('', ?, '')");
        for (const QString &name : names) {
            insert.bind(1, name).run();
            insert.reset();
        }
    }

    std::shared_ptr<const Deck> deal(const DeckOptions &options = {})
    {
        ReportEngine engine(&owner);
        engine.setUp({"deck.rpt", ReportEngine::Destination::Window, "Deck", {}, true, options});
        engine.start();
        if (output.jobs.isEmpty() || !output.jobs.last().deck) {
            ADD_FAILURE() << "no deck was delivered";
            return std::make_shared<const Deck>(QList<DeckSpell>(), options);
        }
        return output.jobs.last().deck;
    }

    QString pdfOf(const std::shared_ptr<const Deck> &deck)
    {
        ReportJob job;
        job.deck = deck;
        job.title = "Deck";
        const QString path = library.folder() + QString("/deck-%1.pdf").arg(++m_pdfs);
        ReportPages::writePdf(job, path);
        // VELLUMAR_KEEP_REPORTS=folder keeps the files, to look at the cards.
        const QString keep = qEnvironmentVariable("VELLUMAR_KEEP_REPORTS");
        if (!keep.isEmpty())
            QFile::copy(path, keep + QString("/deck-%1.pdf").arg(m_pdfs));
        return path;
    }

private:
    int m_pdfs = 0;
};

TEST(DeckSheet, EveryCardAndPaperGetsAsManyCardsAsFitCentredWithCutMarksOffEveryCard)
{
    struct Case
    {
        DeckOptions::Card card;
        QPageSize::PageSizeId paper;
        int columns, rows;
        bool landscape;
    };
    const Case cases[] = {
        {DeckOptions::Card::Poker, QPageSize::A4, 3, 3, false},
        {DeckOptions::Card::Poker, QPageSize::Letter, 3, 3, false},
        {DeckOptions::Card::Bridge, QPageSize::A4, 3, 3, false},
        {DeckOptions::Card::Bridge, QPageSize::Letter, 4, 2, true}, // 8 on its side, 6 upright
        {DeckOptions::Card::Tarot, QPageSize::A4, 2, 2, false},
        {DeckOptions::Card::Tarot, QPageSize::Letter, 2, 2, false},
        {DeckOptions::Card::A6, QPageSize::A4, 2, 1, true},
        {DeckOptions::Card::A6, QPageSize::Letter, 2, 1, true},
    };
    for (const Case &c : cases) {
        DeckOptions options;
        options.card = c.card;
        options.paper = c.paper;
        const DeckSheet sheet(options);
        const std::string name =
            DeckOptions::cardName(c.card).toStdString() + " on " + QPageSize::name(c.paper).toStdString();
        EXPECT_EQ(sheet.columns(), c.columns) << name;
        EXPECT_EQ(sheet.rows(), c.rows) << name;
        EXPECT_EQ(sheet.landscape(), c.landscape) << name;
        EXPECT_EQ(sheet.pageLayout().orientation() == QPageLayout::Landscape, c.landscape) << name;

        const QRectF paper(QPointF(), sheet.paper());
        const QRectF inside =
            paper.adjusted(DeckSheet::kMargin, DeckSheet::kMargin, -DeckSheet::kMargin, -DeckSheet::kMargin);
        QRectF grid;
        for (int slot = 0; slot < sheet.perPage(); ++slot) {
            EXPECT_TRUE(inside.contains(sheet.front(slot))) << name << " slot " << slot;
            EXPECT_EQ(sheet.front(slot).size(), DeckOptions::cardSize(c.card)) << name;
            grid |= sheet.front(slot);
        }
        // Centred, so that the paper turned over holds the grid in the same place.
        EXPECT_NEAR(grid.left(), paper.right() - grid.right(), 1e-6) << name;
        EXPECT_NEAR(grid.top(), paper.bottom() - grid.bottom(), 1e-6) << name;

        const QList<QLineF> marks = sheet.cutMarks();
        EXPECT_EQ(marks.size(), 2 * (c.columns + 1) + 2 * (c.rows + 1)) << name;
        for (const QLineF &mark : marks) {
            EXPECT_TRUE(paper.contains(mark.p1()) && paper.contains(mark.p2())) << name;
            EXPECT_GT(mark.length(), 1.0) << name;
            const QRectF box = QRectF(mark.p1(), mark.p2()).normalized().adjusted(-0.01, -0.01, 0.01, 0.01);
            for (int slot = 0; slot < sheet.perPage(); ++slot)
                EXPECT_FALSE(box.intersects(sheet.front(slot))) << name << " mark touches slot " << slot;
            // Each mark lies on a line that a cut follows: an edge of the grid's cards.
            const bool vertical = qFuzzyCompare(mark.x1(), mark.x2());
            bool onEdge = false;
            for (int slot = 0; slot < sheet.perPage(); ++slot) {
                const QRectF card = sheet.front(slot);
                onEdge = onEdge || (vertical ? qAbs(mark.x1() - card.left()) < 1e-6 ||
                                                   qAbs(mark.x1() - card.right()) < 1e-6
                                             : qAbs(mark.y1() - card.top()) < 1e-6 ||
                                                   qAbs(mark.y1() - card.bottom()) < 1e-6);
            }
            EXPECT_TRUE(onEdge) << name;
        }
    }
}

TEST_F(DeckTest, ADescriptionShrinksToFitAndWhatStillDoesNotFitContinuesWithNothingLeftOut)
{
    library.addSchool("Alteration");
    library.addSpell("Quick Word", "1", {"Alteration"});
    library.addSpell("Middling Chant", "2", {"Alteration"});
    library.addSpell("Endless Litany", "9", {"Alteration"});
    library.setSpell("Quick Word", {{"Description", "Short."}, {"Range", "Touch"}, {"Duration", ""}});
    library.setSpell("Middling Chant", {{"Description", words(70, "chant")}});
    const QString litany = words(400, "verse") + "\n\n" + words(300, "antiphon") + "\r\n" +
                           QString(300, 'x') + " " + words(200, "coda");
    library.setSpell("Endless Litany", {{"Description", litany}});
    hold({"Quick Word", "Middling Chant", "Endless Litany"});

    const auto deck = deal();
    ASSERT_EQ(deck->spells().size(), 3);
    EXPECT_EQ(deck->textSize(0), Deck::kLargestTextSize);
    EXPECT_LT(deck->textSize(1), Deck::kLargestTextSize);
    EXPECT_GE(deck->textSize(1), Deck::kSmallestTextSize);
    EXPECT_EQ(deck->textSize(2), Deck::kSmallestTextSize);

    QHash<int, int> cards;
    for (const DeckFace &face : deck->faces())
        ++cards[face.spell];
    EXPECT_EQ(cards.value(0), 1);
    EXPECT_EQ(cards.value(1), 1);
    ASSERT_GE(cards.value(2), 3);

    const QRectF card(QPointF(), deck->sheet().card() * Deck::dotsPerMm());
    const QStringList descriptions = {"Short.", words(70, "chant"), litany};
    for (int spell = 0; spell < 3; ++spell) {
        QString drawn;
        const QTextLayout *paragraph = nullptr;
        QStringList marks;
        for (const DeckFace &face : deck->faces()) {
            if (face.spell != spell)
                continue;
            qreal markTop = card.bottom();
            for (const DeckText &text : face.front)
                if (text.role == DeckText::Role::Mark) {
                    marks.append(text.text());
                    markTop = text.rect().top();
                }
            for (const DeckText &text : face.front) {
                // Nothing runs off the card, nor into the mark at its foot.
                EXPECT_TRUE(card.contains(text.rect())) << text.text().toStdString();
                if (text.role != DeckText::Role::Text)
                    continue;
                EXPECT_LE(text.rect().bottom(), markTop + 0.5) << text.text().toStdString();
                if (paragraph && paragraph != text.layout.get())
                    drawn += '\n';
                paragraph = text.layout.get();
                drawn += text.text();
            }
        }
        EXPECT_EQ(drawn, paragraphsOf(descriptions.at(spell))) << "spell " << spell;
        if (spell == 2) {
            EXPECT_EQ(marks.size(), cards.value(2));
            EXPECT_EQ(marks.value(0), QString("(1 of %1)").arg(cards.value(2)));
            EXPECT_EQ(marks.value(1), QString("(continued, 2 of %1)").arg(cards.value(2)));
        } else {
            EXPECT_TRUE(marks.isEmpty());
        }
    }
    // The first card has the fields that have a value; an empty one is left off.
    QStringList fields;
    for (const DeckText &text : deck->faces().first().front)
        if (text.role == DeckText::Role::Field)
            fields.append(text.text());
    EXPECT_TRUE(fields.contains("Range: Touch")) << fields.join('|').toStdString();
    EXPECT_FALSE(fields.join('|').contains("Duration")) << fields.join('|').toStdString();

    // The PDF holds the marks and the continued text.
    const QString text = RecordingReportOutput::textOfPdf(pdfOf(deck));
    EXPECT_TRUE(text.contains(QString("(continued, 2 of %1)").arg(cards.value(2)))) << text.toStdString();
    EXPECT_EQ(text.count("coda"), 200); // every word of the last paragraph, on whichever card
}

TEST_F(DeckTest, EachBackLandsBehindItsOwnFrontWhenThePaperIsTurnedOverItsLongEdge)
{
    library.addSchool("Alteration");
    library.addSchool("Sun");
    const QStringList names = {"Amber Lantern", "Brass Owl",  "Cobalt Hand", "Dune Song",
                               "Ember Veil",    "Frost Rune", "Gilded Step", "Hollow Bell",
                               "Iron Thorn",    "Jade Gate",  "Kindled Oath"};
    for (qsizetype i = 0; i < names.size(); ++i) {
        library.addSpell(names.at(i), QString::number(i % 9 + 1), {i % 2 ? "Sun" : "Alteration"});
        library.setSpell(names.at(i), {{"Description", "A plain description."}});
    }
    hold(names);

    struct Case
    {
        DeckOptions::Card card;
        QPageSize::PageSizeId paper;
    };
    for (const Case &c :
         {Case{DeckOptions::Card::Poker, QPageSize::A4}, Case{DeckOptions::Card::Bridge, QPageSize::Letter},
          Case{DeckOptions::Card::A6, QPageSize::A4}}) {
        DeckOptions options;
        options.card = c.card;
        options.paper = c.paper;
        options.band = DeckOptions::Band::Level;
        const auto deck = deal(options);
        const DeckSheet &sheet = deck->sheet();
        const std::string name = DeckOptions::cardName(c.card).toStdString();
        const int sheets = int((names.size() + sheet.perPage() - 1) / sheet.perPage());
        ASSERT_EQ(deck->pageCount(), 2 * sheets) << name;

        const QList<Word> all = wordsOf(pdfOf(deck));
        const QSizeF paper = sheet.paper() * kPointsPerMm;
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString first = names.at(i).section(' ', 0, 0);
            const int front = int(i / sheet.perPage()) * 2 + 1;
            QList<QRectF> onFront, onBack;
            for (const Word &word : all) {
                if (word.text == first && word.page == front)
                    onFront.append(word.box);
                if (word.text == first && word.page == front + 1)
                    onBack.append(word.box);
            }
            ASSERT_EQ(onFront.size(), 1) << name << " " << first.toStdString();
            ASSERT_EQ(onBack.size(), 1) << name << " " << first.toStdString();
            // The front is where the sheet puts it: the name sits on the paper where the deck's
            // layout puts it on that card.
            const QRectF slot = sheet.front(int(i % sheet.perPage()));
            const QPointF offset = onFront.first().topLeft() - slot.topLeft() * kPointsPerMm;
            for (const DeckText &text : deck->faces().at(i).front) {
                if (text.role == DeckText::Role::Name && text.line == 0) {
                    EXPECT_NEAR(offset.x(), text.origin.x() * kPointsPerMm / Deck::dotsPerMm(),
                                0.2 * kPointsPerMm)
                        << name;
                }
            }
            // The back's card, read back from the paper: its name sits on it as on the front.
            const QPointF back = onBack.first().topLeft() - offset;
            // Turned over the long edge, an upright sheet swaps left and right, one on its side
            // top and bottom.
            const QPointF mirrored =
                sheet.landscape()
                    ? QPointF(slot.x() * kPointsPerMm, paper.height() - slot.bottom() * kPointsPerMm)
                    : QPointF(paper.width() - slot.right() * kPointsPerMm, slot.y() * kPointsPerMm);
            EXPECT_NEAR(back.x(), mirrored.x(), 0.2 * kPointsPerMm) << name << " " << first.toStdString();
            EXPECT_NEAR(back.y(), mirrored.y(), 0.2 * kPointsPerMm) << name << " " << first.toStdString();
        }
    }
}

TEST_F(DeckTest, AFaultyDeckFileIsReportedAndCancellingStopsTheDeckWithNothingSent)
{
    library.addSpell("Quick Word", "1", {});
    hold({"Quick Word"});
    struct Case
    {
        const char *content;
        const char *error;
    };
    const Case cases[] = {
        {"query Cards: SELECT Name FROM Spells\n---\nname: {{Name}}\ncolour: red\n",
         "(line 2 after \"---\")"},
        {"query Cards: SELECT Name FROM Spells\n---\nname: {{Nome}}\n",
         "names {{Nome}} (line 1 after \"---\")"},
        {"query Spells: SELECT Name FROM Spells\n---\nname: {{Name}}\n", "has no query Cards"},
        {"query Cards: SELECT Name FROM Nowhere\n---\nname: {{Name}}\n", "query Cards (line 1)"},
    };
    for (const Case &c : cases) {
        writeReport("deck.rpt", QString::fromUtf8(c.content));
        const QString error = raised([&] { deal(); });
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
        EXPECT_TRUE(error.contains("deck.rpt")) << error.toStdString();
    }

    QFile::remove(ReportEngine::reportPath("deck.rpt"));
    library.addReportFiles();
    output.jobs.clear();
    int heard = 0;
    const DeckProgress cancelling([&](DeckProgress::Stage, int, int) { return ++heard < 1; });
    ReportEngine engine(&owner);
    engine.setUp({"deck.rpt", ReportEngine::Destination::Window, "Deck", {}, true, DeckOptions()});
    EXPECT_THROW(engine.start(), DeckCancelled);
    EXPECT_EQ(heard, 1);
    EXPECT_TRUE(output.jobs.isEmpty());
}
