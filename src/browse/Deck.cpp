#include "browse/Deck.h"

#include <QFont>
#include <QImage>
#include <QTextLayout>

#include <cmath>

namespace {

// The device the cards are measured on: nothing is drawn on it, only its resolution counts.
const QImage &referenceDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(std::lround(Deck::kResolution / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

qreal mm(qreal millimetres)
{
    return millimetres * Deck::dotsPerMm();
}

QFont font(const char *family, qreal points, bool bold = false, bool italic = false)
{
    QFont result(QString::fromLatin1(family));
    result.setStyleHint(QLatin1String(family).contains(QLatin1String("Sans")) ? QFont::SansSerif
                                                                              : QFont::Serif);
    result.setPointSizeF(points);
    result.setBold(bold);
    result.setItalic(italic);
    return result;
}

std::shared_ptr<QTextLayout> laidOut(const QString &text, const QFont &font, qreal width,
                                     const QList<QTextLayout::FormatRange> &formats = {},
                                     Qt::Alignment alignment = Qt::AlignLeft)
{
    auto layout = std::make_shared<QTextLayout>(text, font, &referenceDevice());
    QTextOption option(alignment);
    // A word longer than the card is broken rather than run off its edge.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setFormats(formats);
    layout->beginLayout();
    qreal y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

// Places every line of a layout one below the other from the height y, and returns the
// height below the last.
qreal place(QList<DeckText> &texts, const std::shared_ptr<QTextLayout> &layout, DeckText::Role role, qreal x,
            qreal y)
{
    for (int line = 0; line < layout->lineCount(); ++line)
        texts.append({layout, line, QPointF(x, y), role});
    return y + layout->boundingRect().height();
}

// A line waiting to be put on a card, with the room it takes above it.
struct Flowing
{
    std::shared_ptr<QTextLayout> layout;
    int line;
    DeckText::Role role;
    qreal spaceAbove;
    bool ruleAbove = false;
    qreal height() const { return layout->lineAt(line).height(); }
};

QList<std::shared_ptr<QTextLayout>> paragraphs(const QString &text, qreal points, qreal width)
{
    QList<std::shared_ptr<QTextLayout>> layouts;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines)
        if (!line.trimmed().isEmpty())
            layouts.append(laidOut(line.trimmed(), font("DejaVu Serif", points), width));
    return layouts;
}

qreal heightOf(const QList<std::shared_ptr<QTextLayout>> &layouts, qreal spacing)
{
    qreal height = 0;
    for (const auto &layout : layouts)
        height += layout->boundingRect().height();
    return height + spacing * qreal(std::max<qsizetype>(0, layouts.size() - 1));
}

} // namespace

QString DeckText::text() const
{
    const QTextLine textLine = layout->lineAt(line);
    return layout->text().mid(textLine.textStart(), textLine.textLength());
}

QRectF DeckText::rect() const
{
    return layout->lineAt(line).naturalTextRect().translated(origin);
}

Deck::Deck(const QList<DeckSpell> &spells, const DeckOptions &options)
    : m_options(options), m_sheet(options), m_spells(spells)
{
    for (const DeckSpell &spell : spells) {
        const QString key = options.band == DeckOptions::Band::School ? spell.school : spell.level;
        if (!m_bandKeys.contains(key))
            m_bandKeys.append(key);
    }
    m_bandKeys.sort(Qt::CaseInsensitive);
    for (int spell = 0; spell < spells.size(); ++spell) {
        DeckProgress::step(DeckProgress::Stage::Cards, spell, int(spells.size()));
        layOut(spell);
    }
}

int Deck::pageCount() const
{
    const int perPage = std::max(1, m_sheet.perPage());
    const int sheets = int((m_faces.size() + perPage - 1) / perPage);
    return m_options.backs ? 2 * sheets : sheets;
}

void Deck::layOut(int index)
{
    const DeckSpell &spell = m_spells.at(index);
    const QSizeF card = m_sheet.card() * dotsPerMm();
    const bool large = m_sheet.card().width() > 80;
    const qreal pad = mm(large ? 4.5 : 3);
    const qreal width = card.width() - 2 * pad;
    const qreal bottom = card.height() - pad;

    DeckFace face;
    face.spell = index;
    face.band = m_options.band == DeckOptions::Band::School ? spell.school : spell.level;
    face.bandIndex = int(m_bandKeys.indexOf(face.band));
    face.bandRect = QRectF(pad, pad, width, mm(large ? 5.5 : 4.5));
    const auto bandText = laidOut(face.band, font("DejaVu Sans", large ? 7.5 : 6.5, true), width - mm(12));
    const qreal bandTextY = face.bandRect.center().y() - bandText->boundingRect().height() / 2;
    place(face.front, bandText, DeckText::Role::Band, pad + mm(1.2), bandTextY);

    // The top of every card of the spell: the band and the name; the back shows the same, and
    // the level and schools under it.
    const auto name = laidOut(spell.name, font("DejaVu Serif", large ? 12 : 10, true), width);
    const qreal nameTop = face.bandRect.bottom() + mm(1.5);
    const qreal nameBottom = place(face.front, name, DeckText::Role::Name, pad, nameTop);
    qreal top = nameBottom;
    const auto subtitle = laidOut(spell.subtitle, font("DejaVu Serif", large ? 8.5 : 7, false, true), width);
    face.back = face.front;
    place(face.back, subtitle, DeckText::Role::Subtitle, pad, top + mm(0.5));
    const DeckFace continued = face;
    top = place(face.front, subtitle, DeckText::Role::Subtitle, pad, top + mm(0.5));

    // The short fields flow with the description: a spell whose range alone were a page long
    // would still be printed whole.
    QList<Flowing> fields;
    const QFont fieldFont = font("DejaVu Sans", large ? 7.5 : 6.5);
    for (const DeckSpell::Field &field : spell.fields) {
        const QString text = field.label + QStringLiteral(": ") + field.value;
        QTextLayout::FormatRange bold;
        bold.start = 0;
        bold.length = int(field.label.size() + 1);
        bold.format.setFontWeight(QFont::Bold);
        const auto layout = laidOut(text, fieldFont, width, {bold});
        for (int line = 0; line < layout->lineCount(); ++line)
            fields.append({layout, line, DeckText::Role::Field, fields.isEmpty() && line == 0 ? mm(1.2) : 0});
    }
    qreal fieldsHeight = 0;
    for (const Flowing &line : fields)
        fieldsHeight += line.spaceAbove + line.height();
    const qreal ruleSpace = mm(2.4);

    // The largest size at which the whole description fits on the one card.
    const qreal room = bottom - top - fieldsHeight - ruleSpace;
    QList<qreal> sizes;
    for (qreal size = kLargestTextSize; size >= kSmallestTextSize - 1e-6; size -= 0.25)
        sizes.append(size);
    QList<std::shared_ptr<QTextLayout>> text;
    qsizetype low = 0;
    qsizetype high = sizes.size() - 1;
    qsizetype fitting = -1;
    while (low <= high) {
        const qsizetype middle = (low + high) / 2;
        auto candidate = paragraphs(spell.text, sizes.at(middle), width);
        if (heightOf(candidate, mm(sizes.at(middle) * 0.12)) <= room) {
            fitting = middle;
            text = std::move(candidate);
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    const qreal size = fitting >= 0 ? sizes.at(fitting) : kSmallestTextSize;
    if (fitting < 0)
        text = paragraphs(spell.text, size, width);
    m_textSizes.append(size);

    QList<Flowing> flowing = fields;
    const qreal paragraphSpace = mm(size * 0.12);
    for (qsizetype paragraph = 0; paragraph < text.size(); ++paragraph)
        for (int line = 0; line < text.at(paragraph)->lineCount(); ++line) {
            qreal above = line == 0 && paragraph > 0 ? paragraphSpace : 0;
            if (line == 0 && paragraph == 0)
                above = ruleSpace;
            flowing.append(
                {text.at(paragraph), line, DeckText::Role::Text, above, line == 0 && paragraph == 0});
        }

    // Cards of a spell that needs more than one carry a mark at their foot.
    const auto markOf = [&](int card, int cards) {
        const QString mark = card == 1 ? QStringLiteral("(%1 of %2)").arg(card).arg(cards)
                                       : QStringLiteral("(continued, %1 of %2)").arg(card).arg(cards);
        return laidOut(mark, font("DejaVu Sans", large ? 7 : 6, false, true), width, {}, Qt::AlignRight);
    };
    const qreal markHeight = markOf(1, 1)->boundingRect().height() + mm(0.8);
    const bool single = fitting >= 0;
    const qreal limit = single ? bottom : bottom - markHeight;

    QList<DeckFace> cards{face};
    qreal y = top;
    bool fresh = false; // nothing of the flow on the card yet
    for (const Flowing &line : flowing) {
        const qreal above = fresh ? 0 : line.spaceAbove;
        if (!fresh && y + above + line.height() > limit) {
            cards.append(continued);
            y = nameBottom + mm(1.2);
            fresh = true;
            cards.last().rules.append(nameBottom + mm(0.6));
        }
        const qreal lineTop = y + (fresh ? 0 : line.spaceAbove);
        if (line.ruleAbove && !fresh)
            cards.last().rules.append(lineTop - ruleSpace / 2);
        cards.last().front.append(
            {line.layout, line.line, QPointF(pad, lineTop - line.layout->lineAt(line.line).y()), line.role});
        y = lineTop + line.height();
        fresh = false;
    }
    if (cards.size() > 1)
        for (qsizetype card = 0; card < cards.size(); ++card) {
            const auto mark = markOf(int(card + 1), int(cards.size()));
            place(cards[card].front, mark, DeckText::Role::Mark, pad, bottom - mark->boundingRect().height());
        }
    m_faces.append(cards);
}
