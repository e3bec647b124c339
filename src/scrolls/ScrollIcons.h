#pragma once

#include <QIcon>

// The scroll manager's own tool bar pictures, in the style of the others: a parchment scroll
// with a sign for what the button does to it.
class ScrollIcons
{
public:
    enum Kind { Add, Replace, Save, Delete };

    static QIcon icon(Kind kind);
};
