#include "widgets/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace {

using namespace IconPalette;

void book(QPainter &p, const QRectF &r, const QColor &cover)
{
    p.setPen(inkPen());
    p.setBrush(kParchment);
    p.drawRoundedRect(r.adjusted(2, 1, 0, 0), 1, 1);
    p.setBrush(cover);
    p.drawRoundedRect(r.adjusted(0, 0, -2, -1), 1.5, 1.5);
    p.setPen(QPen(kBrass, 1.2));
    p.drawLine(QPointF(r.left() + 2.5, r.top() + 1.5), QPointF(r.left() + 2.5, r.bottom() - 2.5));
    p.drawLine(QPointF(r.left() + 5, r.top() + 4), QPointF(r.right() - 4.5, r.top() + 4));
}

void page(QPainter &p, const QRectF &r, int lines = 4)
{
    QPainterPath outline;
    outline.moveTo(r.topLeft());
    outline.lineTo(r.right() - 4, r.top());
    outline.lineTo(r.right(), r.top() + 4);
    outline.lineTo(r.bottomRight());
    outline.lineTo(r.bottomLeft());
    outline.closeSubpath();
    p.setPen(inkPen());
    p.setBrush(kParchment);
    p.drawPath(outline);
    p.setPen(QPen(kLine, 1.1, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < lines; ++line) {
        const qreal y = r.top() + 5 + line * 3;
        if (y > r.bottom() - 2)
            break;
        p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - (line == lines - 1 ? 5 : 2.5), y));
    }
}

void star(QPainter &p, QPointF centre, qreal outer, const QColor &colour = kBrass)
{
    QPainterPath path;
    for (int point = 0; point < 8; ++point) {
        const qreal radius = point % 2 ? outer * 0.32 : outer;
        const QPointF offsets[8] = {{0, -1}, {0.7, -0.7}, {1, 0},  {0.7, 0.7},
                                    {0, 1},  {-0.7, 0.7}, {-1, 0}, {-0.7, -0.7}};
        const QPointF q = centre + offsets[point] * radius;
        if (point == 0)
            path.moveTo(q);
        else
            path.lineTo(q);
    }
    path.closeSubpath();
    p.setPen(QPen(colour.darker(150), 0.8));
    p.setBrush(colour);
    p.drawPath(path);
}

void pencil(QPainter &p, QPointF tip, qreal length)
{
    p.save();
    p.translate(tip);
    p.rotate(-45);
    p.setPen(inkPen(1.0));
    p.setBrush(QColor(0xf0, 0xc0, 0x40));
    p.drawRect(QRectF(3, -2, length - 3, 4));
    p.setBrush(kParchment);
    QPolygonF point;
    point << QPointF(0, 0) << QPointF(3, -2) << QPointF(3, 2);
    p.drawPolygon(point);
    p.setBrush(kRed);
    p.drawRect(QRectF(length - 1, -2, 2.5, 4));
    p.restore();
}

void arrow(QPainter &p, QPointF from, QPointF to, const QColor &colour)
{
    p.setPen(QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot((to - from).x(), (to - from).y()));
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - d * 4 + n * 3.5);
    p.drawLine(to, to - d * 4 - n * 3.5);
}

void paint(QPainter &p, ToolIcons::Kind kind)
{
    switch (kind) {
    case ToolIcons::Spellbooks:
        book(p, QRectF(3, 4, 11, 17), kBlueLeather);
        book(p, QRectF(10, 3, 11, 18), kLeather);
        star(p, QPointF(15, 12), 3.2);
        break;
    case ToolIcons::ManageSpellbooks:
        book(p, QRectF(3, 3, 13, 18), kLeather);
        star(p, QPointF(10, 12), 3.2);
        pencil(p, QPointF(13, 22), 12);
        break;
    case ToolIcons::ManageSchools: {
        p.setPen(inkPen());
        p.setBrush(kParchment);
        QPolygonF roof;
        roof << QPointF(2.5, 9) << QPointF(12, 3) << QPointF(21.5, 9);
        p.drawPolygon(roof);
        p.setBrush(QColor(0xe8, 0xdc, 0xc0));
        for (const qreal x : {4.5, 10.5, 16.5})
            p.drawRect(QRectF(x, 10, 3, 8));
        p.setBrush(kParchment);
        p.drawRect(QRectF(2.5, 18.5, 19, 2.5));
        star(p, QPointF(12, 6.8), 1.8);
        break;
    }
    case ToolIcons::ManageSpells:
        star(p, QPointF(10, 10), 8);
        star(p, QPointF(4, 19), 2.5);
        pencil(p, QPointF(12, 22), 12);
        break;
    case ToolIcons::ManageScrolls: {
        p.setPen(inkPen());
        p.setBrush(kParchment);
        p.drawRect(QRectF(5, 5, 14, 14));
        p.setBrush(kRoll);
        p.drawRoundedRect(QRectF(3, 3, 18, 4), 2, 2);
        p.drawRoundedRect(QRectF(3, 17, 18, 4), 2, 2);
        p.setPen(QPen(kLine, 1.1, Qt::SolidLine, Qt::RoundCap));
        for (const qreal y : {10.0, 13.0})
            p.drawLine(QPointF(8, y), QPointF(16, y));
        break;
    }
    case ToolIcons::Import:
        page(p, QRectF(7, 2, 11, 12), 2);
        p.setPen(inkPen());
        p.setBrush(QColor(0xd9, 0xc7, 0x9e));
        p.drawRoundedRect(QRectF(3, 15, 18, 6), 1.5, 1.5);
        arrow(p, QPointF(12, 5), QPointF(12, 17), kGreen);
        break;
    case ToolIcons::Search:
        p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 14.5), QPointF(20.5, 20.5));
        p.setPen(inkPen(1.6));
        p.setBrush(QColor(0xcf, 0xe4, 0xf5));
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
        star(p, QPointF(10, 10), 3);
        break;
    case ToolIcons::ViewSpell:
        page(p, QRectF(4, 2, 14, 19), 5);
        star(p, QPointF(17, 17), 4.5);
        break;
    case ToolIcons::ManageSpell:
        page(p, QRectF(3, 2, 13, 18), 5);
        pencil(p, QPointF(10, 22), 14);
        break;
    case ToolIcons::AddSpell:
        page(p, QRectF(3, 2, 14, 19), 5);
        p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 13), QPointF(17, 22));
        p.drawLine(QPointF(12.5, 17.5), QPointF(21.5, 17.5));
        break;
    case ToolIcons::SaveSpell:
        page(p, QRectF(3, 2, 14, 19), 5);
        // A wax seal pressed on the page.
        p.setPen(QPen(kRed.darker(140), 1));
        p.setBrush(kRed);
        p.drawEllipse(QPointF(16, 16.5), 5, 5);
        star(p, QPointF(16, 16.5), 2.6, kBrass);
        break;
    case ToolIcons::DeleteSpell:
        page(p, QRectF(3, 2, 14, 19), 5);
        p.setPen(QPen(kRed, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13.5, 13), QPointF(21, 20.5));
        p.drawLine(QPointF(21, 13), QPointF(13.5, 20.5));
        break;
    case ToolIcons::Print:
        page(p, QRectF(7, 2, 10, 9), 2);
        p.setPen(inkPen());
        p.setBrush(QColor(0x9a, 0xa4, 0xb0));
        p.drawRoundedRect(QRectF(2.5, 9, 19, 9), 2, 2);
        p.setBrush(kParchment);
        p.drawRect(QRectF(6.5, 15, 11, 6.5));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(18.5, 11.7), 1, 1);
        break;
    case ToolIcons::Unlearned:
        book(p, QRectF(3, 3, 13, 18), kBlueLeather);
        p.setPen(QPen(kRed, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 13), QPointF(21, 20));
        p.drawLine(QPointF(21, 13), QPointF(14, 20));
        break;
    case ToolIcons::ExportSelected:
        page(p, QRectF(3, 2, 12, 17), 4);
        arrow(p, QPointF(10, 16), QPointF(21, 16), kGreen);
        break;
    case ToolIcons::ExportSpellbook:
        book(p, QRectF(2, 3, 12, 18), kLeather);
        arrow(p, QPointF(10, 15), QPointF(21.5, 15), kGreen);
        break;
    case ToolIcons::Requery: {
        p.setPen(inkPen());
        p.setBrush(QColor(0xcf, 0xe4, 0xf5));
        QPolygonF funnel;
        funnel << QPointF(3, 4) << QPointF(21, 4) << QPointF(14, 12) << QPointF(14, 19) << QPointF(10, 21)
               << QPointF(10, 12);
        p.drawPolygon(funnel);
        star(p, QPointF(19, 17), 3.5);
        break;
    }
    }
}

} // namespace

QIcon ToolIcons::icon(Kind kind)
{
    return paintedOnGrid([kind](QPainter &painter) { paint(painter, kind); });
}

QIcon ToolIcons::paintedOnGrid(const std::function<void(QPainter &)> &paint)
{
    QIcon result;
    for (const int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 24.0, size / 24.0);
        paint(painter);
        painter.end();
        result.addPixmap(pixmap);
    }
    return result;
}
