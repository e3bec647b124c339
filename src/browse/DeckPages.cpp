#include "browse/DeckPages.h"

#include "browse/Deck.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QTextLayout>

namespace {

qreal millimetresToDots(qreal millimetres)
{
    return millimetres * Deck::dotsPerMm();
}

// Light enough for black text to read on it in colour and in grey alike.
QColor bandColour(int index)
{
    static const int hues[] = {0, 210, 120, 45, 280, 170, 330, 90, 20, 250};
    const int hue = hues[std::max(0, index) % std::size(hues)];
    return QColor::fromHsv(hue, 70, 245);
}

// A pattern of strokes of the band's own: on a black and white print the bands still differ
// where their colours become one grey.
void drawHatch(QPainter &painter, const QRectF &area, int index)
{
    const int kind = std::max(0, index) % 6;
    const qreal step = millimetresToDots(0.9 + 0.5 * ((std::max(0, index) / 6) % 3));
    painter.save();
    painter.setClipRect(area);
    painter.setPen(QPen(QColor::fromHsv(bandColour(index).hue(), 160, 110), millimetresToDots(0.18)));
    painter.setBrush(Qt::NoBrush);
    const qreal span = area.width() + area.height();
    if (kind == 5) {
        painter.setBrush(painter.pen().color());
        for (qreal x = area.left() + step / 2; x < area.right(); x += step)
            for (qreal y = area.top() + step / 2; y < area.bottom(); y += step)
                painter.drawEllipse(QPointF(x, y), millimetresToDots(0.2), millimetresToDots(0.2));
    }
    for (qreal offset = 0; kind != 5 && offset < span; offset += step) {
        if (kind == 0)
            painter.drawLine(QLineF(area.left(), area.top() + offset, area.right(), area.top() + offset));
        if (kind == 1 || kind == 4)
            painter.drawLine(QLineF(area.left() + offset, area.top(), area.left() + offset, area.bottom()));
        if (kind == 2 || kind == 4)
            painter.drawLine(QLineF(area.left() + offset, area.bottom(), area.left() + offset - area.height(),
                                    area.top()));
        if (kind == 3)
            painter.drawLine(QLineF(area.left() + offset - area.height(), area.bottom(), area.left() + offset,
                                    area.top()));
    }
    painter.restore();
}

void drawTexts(QPainter &painter, const QList<DeckText> &texts, const QPointF &card)
{
    painter.setPen(Qt::black);
    for (const DeckText &text : texts)
        text.layout->lineAt(text.line).draw(&painter, card + text.origin);
}

void drawBand(QPainter &painter, const DeckFace &face, const QPointF &card)
{
    const QRectF band = face.bandRect.translated(card);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), millimetresToDots(0.15)));
    painter.setBrush(bandColour(face.bandIndex));
    painter.drawRect(band);
    drawHatch(painter,
              QRectF(band.right() - millimetresToDots(10), band.top(), millimetresToDots(10), band.height()),
              face.bandIndex);
    painter.setBrush(Qt::NoBrush);
}

void drawFront(QPainter &painter, const DeckFace &face, const QRectF &card)
{
    drawBand(painter, face, card.topLeft());
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), millimetresToDots(0.12)));
    for (const qreal y : face.rules)
        painter.drawLine(QLineF(card.left() + face.bandRect.left(), card.top() + y,
                                card.left() + face.bandRect.right(), card.top() + y));
    drawTexts(painter, face.front, card.topLeft());
}

void drawBack(QPainter &painter, const DeckFace &face, const QRectF &card)
{
    // A frame tells a back from a front at a glance, and shows when a back sits off its card.
    const qreal inset = face.bandRect.left() / 2;
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), millimetresToDots(0.3)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(card.adjusted(inset, inset, -inset, -inset), millimetresToDots(2),
                            millimetresToDots(2));
    drawBand(painter, face, card.topLeft());
    drawTexts(painter, face.back, card.topLeft());
}

} // namespace

bool DeckPages::paint(const Deck &deck, QPagedPaintDevice *device, int fromPage, int toPage)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    // The painter works in the deck's dots from the sheet's top left, whatever margins the
    // device keeps.
    const QPageLayout layout = device->pageLayout();
    const int dpi = device->logicalDpiX();
    painter.translate(-QPointF(layout.paintRectPixels(dpi).topLeft()));
    painter.scale(qreal(dpi) / Deck::kResolution, qreal(device->logicalDpiY()) / Deck::kResolution);
    painter.setRenderHint(QPainter::Antialiasing);

    const DeckSheet &sheet = deck.sheet();
    const int perPage = std::max(1, sheet.perPage());
    const int pages = std::max(1, deck.pageCount());
    const int first = qBound(1, fromPage > 0 ? fromPage : 1, pages);
    const int last = qBound(first, toPage > 0 ? toPage : pages, pages);
    const auto toDots = [](const QRectF &rect) {
        return QRectF(rect.topLeft() * Deck::dotsPerMm(), rect.size() * Deck::dotsPerMm());
    };
    for (int page = first; page <= last; ++page) {
        DeckProgress::step(DeckProgress::Stage::Pages, page - first, last - first + 1);
        if (page != first)
            device->newPage();
        const bool backs = deck.options().backs && page % 2 == 0;
        const int sheetNumber = deck.options().backs ? (page - 1) / 2 : page - 1;
        for (int slot = 0; slot < perPage; ++slot) {
            const qsizetype index = qsizetype(sheetNumber) * perPage + slot;
            if (index >= deck.faces().size())
                break;
            const DeckFace &face = deck.faces().at(index);
            if (backs)
                drawBack(painter, face, toDots(sheet.back(slot)));
            else
                drawFront(painter, face, toDots(sheet.front(slot)));
        }
        if (deck.options().cutMarks) {
            painter.setPen(QPen(Qt::black, millimetresToDots(0.1)));
            for (const QLineF &mark : sheet.cutMarks())
                painter.drawLine(QLineF(mark.p1() * Deck::dotsPerMm(), mark.p2() * Deck::dotsPerMm()));
        }
    }
    return painter.end();
}

void DeckPages::setUp(QPrinter &printer, const Deck &deck)
{
    printer.setPageLayout(deck.sheet().pageLayout());
    printer.setDuplex(deck.options().backs ? QPrinter::DuplexLongSide : QPrinter::DuplexNone);
}
