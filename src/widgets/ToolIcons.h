#pragma once

#include <QIcon>

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
};
