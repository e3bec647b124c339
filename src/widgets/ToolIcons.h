#pragma once

#include <QIcon>

#include <functional>

class QPainter;

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
