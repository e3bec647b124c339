#pragma once

#include "widgets/LevelGrid.h"

#include <QStyledItemDelegate>

// Draws a level of a browser's "Levels" filter with its spells in the book against the caster's
// capacity ("1st  4/5") while the item's text stays the plain level, so whatever selects levels by
// their names keeps working. A level over capacity carries a foreground colour of its own, and
// is drawn bold and marked.
class LevelCountDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The count shown beside the level ("4/5", or "4" without a limit); none for KXR.
    static constexpr int CountRole = LevelGrid::LevelRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    // What follows the count of a level over capacity, so that the colour is not all that tells.
    static QString overMark() { return QStringLiteral(" !"); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
