#pragma once

#include <QIcon>
#include <QPixmap>

// The program's emblem, an open spellbook under a star, painted rather than loaded so it stays
// sharp at any size. The splash, the about box and the window icon show it.
class ShellArt
{
public:
    static QPixmap emblem(int size, qreal devicePixelRatio = 1.0);
    static QIcon windowIcon();
};
