#pragma once

#include <QColor>
#include <QIcon>
#include <QPen>

#include <functional>

class QPainter;

// The one palette of the program's pictures: a window that paints pictures of its own takes its
// colours from here, so that they sit among the tool bar's as one set.
namespace IconPalette {

inline const QColor kInk(0x3d, 0x2a, 0x16);
inline const QColor kParchment(0xfd, 0xf4, 0xd8);
inline const QColor kRoll(0xe6, 0xd2, 0xa8);
inline const QColor kLine(0xa0, 0x84, 0x58);
inline const QColor kLeather(0x8c, 0x2f, 0x27);
inline const QColor kBlueLeather(0x2d, 0x4f, 0x8c);
inline const QColor kBrass(0xe0, 0xa8, 0x2e);
inline const QColor kGreen(0x2f, 0x85, 0x45);
inline const QColor kRed(0xc0, 0x2b, 0x22);
inline const QColor kWax(0xa8, 0x22, 0x1c);

// The outline every picture is drawn with.
inline QPen inkPen(qreal width = 1.3)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace IconPalette

// The tool bar pictures, painted in one style on a 24-unit grid: leather books, parchment,
// brass. Painted at several sizes so they stay crisp on any screen.
class ToolIcons
{
public:
    enum Kind {
        Spellbooks,
        ManageSpellbooks,
        ManageSchools,
        ManageSpells,
        ManageScrolls,
        Import,
        Search,
        ViewSpell,
        ManageSpell,
        AddSpell,
        SaveSpell,
        DeleteSpell,
        Print,
        Unlearned,
        ExportSelected,
        ExportSpellbook,
        Requery,
    };

    static QIcon icon(Kind kind);

    // Paints a picture drawn on the 24-unit grid at each size a tool bar may ask for, so a
    // window's own pictures sit among these at the same scale.
    static QIcon paintedOnGrid(const std::function<void(QPainter &)> &paint);
};
