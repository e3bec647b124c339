#include "shell/ShellArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace {

// Drawn on a 100 x 100 canvas. One half of the open book, its spine at x = 50: a page or,
// a little lower and wider, the cover behind it.
QPainterPath leafPath(bool left, qreal top, qreal width)
{
    const qreal s = left ? -1 : 1;
    QPainterPath leaf;
    leaf.moveTo(50, top);
    leaf.cubicTo(50 + s * 10, top - 6, 50 + s * width * 0.68, top - 7, 50 + s * width, top - 4);
    leaf.lineTo(50 + s * width, top + 34);
    leaf.cubicTo(50 + s * width * 0.68, top + 31, 50 + s * 10, top + 32, 50, top + 38);
    leaf.closeSubpath();
    return leaf;
}

QPainterPath starPath(QPointF centre, qreal outer, qreal inner)
{
    QPainterPath star;
    for (int point = 0; point < 8; ++point) {
        const qreal radius = point % 2 ? inner : outer;
        const qreal angle = point * std::numbers::pi / 4 - std::numbers::pi / 2;
        const QPointF p = centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        if (point == 0)
            star.moveTo(p);
        else
            star.lineTo(p);
    }
    star.closeSubpath();
    return star;
}

void paintEmblem(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);

    QRadialGradient glow(QPointF(50, 24), 24);
    glow.setColorAt(0, QColor(255, 214, 120, 170));
    glow.setColorAt(1, QColor(255, 214, 120, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(50, 24), 24, 24);

    const QColor ink(0x5a, 0x3b, 0x1c);
    painter.setPen(QPen(QColor(0x4a, 0x16, 0x12), 1.4));
    painter.setBrush(QColor(0x8c, 0x2f, 0x27));
    painter.drawPath(leafPath(true, 44, 42));
    painter.drawPath(leafPath(false, 44, 42));

    painter.setPen(QPen(ink, 1.2));
    painter.setBrush(QColor(0xfd, 0xf4, 0xd8));
    painter.drawPath(leafPath(true, 40, 38));
    painter.drawPath(leafPath(false, 40, 38));
    painter.drawLine(QPointF(50, 40), QPointF(50, 78));

    // Lines of writing on both pages.
    painter.setPen(QPen(QColor(0xb0, 0x92, 0x62), 1.1, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 5; ++line) {
        const qreal y = 44 + line * 6;
        for (const qreal s : {-1.0, 1.0}) {
            QPainterPath path;
            path.moveTo(50 + s * 6, y + 1.5);
            path.quadTo(50 + s * 18, y - 1.5, 50 + s * (line == 4 ? 22 : 32), y - 0.5);
            painter.drawPath(path);
        }
    }

    // The ribbon.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xc8, 0x8a, 0x1e));
    QPainterPath ribbon;
    ribbon.moveTo(52, 76);
    ribbon.lineTo(56, 76);
    ribbon.lineTo(56, 92);
    ribbon.lineTo(54, 89);
    ribbon.lineTo(52, 92);
    ribbon.closeSubpath();
    painter.drawPath(ribbon);

    painter.setPen(QPen(QColor(0xa8, 0x70, 0x10), 0.8));
    painter.setBrush(QColor(0xf2, 0xbd, 0x3c));
    painter.drawPath(starPath(QPointF(50, 20), 13, 3.6));
    painter.setBrush(QColor(0xf7, 0xd2, 0x74));
    painter.drawPath(starPath(QPointF(27, 14), 5, 1.5));
    painter.drawPath(starPath(QPointF(74, 24), 4, 1.2));
}

} // namespace

QPixmap ShellArt::emblem(int size, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.scale(size / 100.0, size / 100.0);
    paintEmblem(painter);
    return pixmap;
}

QIcon ShellArt::windowIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(emblem(size));
    return icon;
}
