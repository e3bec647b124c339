#pragma once

#include "browse/DeckOptions.h"

#include <QLineF>
#include <QList>
#include <QPageLayout>
#include <QRectF>

// Where the cards of a deck go on a sheet of paper, in millimetres from the sheet's top left:
// as many as fit inside a fixed margin, butted together in a grid centred on the sheet so that
// a guillotine cuts each line once for every card along it.
class DeckSheet
{
public:
    // Kept clear at every edge: most printers cannot print closer to it, and the cut marks need
    // the room.
    static constexpr qreal kMargin = 7;
    // Cut marks start this far from the grid, so that none touches a card.
    static constexpr qreal kMarkGap = 1.5;
    static constexpr qreal kMarkLength = 5;

    explicit DeckSheet(const DeckOptions &options);

    // The paper, turned the way more cards fit on it (upright when both hold as many), with no
    // margins: the cards are placed on the sheet itself.
    QPageLayout pageLayout() const;
    QSizeF paper() const { return m_paper; }
    QSizeF card() const { return m_card; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int perPage() const { return m_columns * m_rows; }
    bool landscape() const { return m_landscape; }

    // The card in a place of the grid (counted along the rows from the top left).
    QRectF front(int slot) const;
    // Where the back of that card goes on the next sheet, so that printed on both sides, turned
    // over the long edge, each back lands behind its own front.
    QRectF back(int slot) const;
    // Thin marks in the margin at every line a cut follows; all of them outside every card.
    QList<QLineF> cutMarks() const;

private:
    QSizeF m_paper;
    QSizeF m_card;
    QPageSize m_pageSize;
    int m_columns = 0;
    int m_rows = 0;
    bool m_landscape = false;
    QPointF m_origin; // the grid's top left
};
