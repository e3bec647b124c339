#include "scrolls/ScrollIcons.h"

#include "widgets/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

using namespace IconPalette;

// A small scroll in the upper left, leaving the lower right for the sign.
void scroll(QPainter &p)
{
    p.setPen(inkPen());
    p.setBrush(kParchment);
    p.drawRect(QRectF(4, 4, 12, 14));
    p.setBrush(kRoll);
    p.drawRoundedRect(QRectF(2, 2, 16, 4), 2, 2);
    p.drawRoundedRect(QRectF(2, 16, 16, 4), 2, 2);
    p.setPen(QPen(kLine, 1.1, Qt::SolidLine, Qt::RoundCap));
    for (const qreal y : {9.0, 12.0})
        p.drawLine(QPointF(6.5, y), QPointF(13.5, y));
}

void badge(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour.darker(140), 1.0));
    p.setBrush(colour);
    p.drawEllipse(QPointF(17, 17), 6, 6);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void paint(QPainter &p, ScrollIcons::Kind kind)
{
    scroll(p);
    switch (kind) {
    case ScrollIcons::Add:
        badge(p, kGreen);
        p.drawLine(QPointF(17, 13.5), QPointF(17, 20.5));
        p.drawLine(QPointF(13.5, 17), QPointF(20.5, 17));
        break;
    case ScrollIcons::Replace: {
        badge(p, kBlueLeather);
        QPainterPath turn;
        turn.arcMoveTo(QRectF(13.5, 13.5, 7, 7), 60);
        turn.arcTo(QRectF(13.5, 13.5, 7, 7), 60, 270);
        p.drawPath(turn);
        p.drawLine(QPointF(19, 14), QPointF(20.6, 14.8));
        p.drawLine(QPointF(19, 14), QPointF(18.8, 15.9));
        break;
    }
    case ScrollIcons::Save:
        // A wax seal.
        p.setPen(QPen(kWax.darker(140), 1.0));
        p.setBrush(kWax);
        p.drawEllipse(QPointF(17, 17), 5.5, 5.5);
        p.setPen(QPen(QColor(0xe8, 0x9a, 0x90), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 17.5), QPointF(16.6, 19.2));
        p.drawLine(QPointF(16.6, 19.2), QPointF(19.4, 15));
        break;
    case ScrollIcons::Delete:
        badge(p, kRed);
        p.drawLine(QPointF(14.5, 14.5), QPointF(19.5, 19.5));
        p.drawLine(QPointF(19.5, 14.5), QPointF(14.5, 19.5));
        break;
    }
}

} // namespace

QIcon ScrollIcons::icon(Kind kind)
{
    return ToolIcons::paintedOnGrid([kind](QPainter &painter) { paint(painter, kind); });
}
