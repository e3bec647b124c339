#pragma once

#include <QColor>

// Colours that carry a meaning (a warning red, a marked label) are chosen for a light palette; on
// a dark one they would vanish into the background. These keep the hue and move the lightness
// until the colour reads against the background it is drawn on.
namespace ReadableColour {

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white), as the WCAG
// guidelines reckon it.
double contrast(const QColor &first, const QColor &second);

// The wanted colour when it reads on background at the ratio, else the nearest colour of its hue
// that does: darker on a light background, lighter on a dark one.
QColor against(const QColor &wanted, const QColor &background, double ratio = 4.5);

} // namespace ReadableColour
