#include "browse/DeckSheet.h"

#include <cmath>

namespace {

int fitting(qreal length, qreal card)
{
    return int(std::floor((length - 2 * DeckSheet::kMargin + 1e-6) / card));
}

} // namespace

DeckSheet::DeckSheet(const DeckOptions &options)
    : m_card(DeckOptions::cardSize(options.card)), m_pageSize(options.paper)
{
    const QSizeF upright = m_pageSize.size(QPageSize::Millimeter);
    const int uprightCount =
        fitting(upright.width(), m_card.width()) * fitting(upright.height(), m_card.height());
    const int turnedCount =
        fitting(upright.height(), m_card.width()) * fitting(upright.width(), m_card.height());
    m_landscape = turnedCount > uprightCount;
    m_paper = m_landscape ? upright.transposed() : upright;
    m_columns = std::max(0, fitting(m_paper.width(), m_card.width()));
    m_rows = std::max(0, fitting(m_paper.height(), m_card.height()));
    m_origin = QPointF((m_paper.width() - m_columns * m_card.width()) / 2,
                       (m_paper.height() - m_rows * m_card.height()) / 2);
}

QPageLayout DeckSheet::pageLayout() const
{
    return QPageLayout(m_pageSize, m_landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

QRectF DeckSheet::front(int slot) const
{
    const int column = slot % std::max(1, m_columns);
    const int row = slot / std::max(1, m_columns);
    return QRectF(m_origin + QPointF(column * m_card.width(), row * m_card.height()), m_card);
}

QRectF DeckSheet::back(int slot) const
{
    // Turned over the long edge, a sheet upright swaps left and right, a sheet on its side
    // swaps top and bottom.
    const QRectF card = front(slot);
    if (m_landscape)
        return QRectF(card.x(), m_paper.height() - card.bottom(), card.width(), card.height());
    return QRectF(m_paper.width() - card.right(), card.y(), card.width(), card.height());
}

QList<QLineF> DeckSheet::cutMarks() const
{
    QList<QLineF> marks;
    if (perPage() == 0)
        return marks;
    const qreal left = m_origin.x();
    const qreal top = m_origin.y();
    const qreal right = left + m_columns * m_card.width();
    const qreal bottom = top + m_rows * m_card.height();
    // Each mark stays on the paper, however little room the grid leaves.
    const qreal across = std::min(kMarkLength, left - kMarkGap - 1);
    const qreal down = std::min(kMarkLength, top - kMarkGap - 1);
    for (int column = 0; column <= m_columns; ++column) {
        const qreal x = left + column * m_card.width();
        marks.append(QLineF(x, top - kMarkGap - down, x, top - kMarkGap));
        marks.append(QLineF(x, bottom + kMarkGap, x, bottom + kMarkGap + down));
    }
    for (int row = 0; row <= m_rows; ++row) {
        const qreal y = top + row * m_card.height();
        marks.append(QLineF(left - kMarkGap - across, y, left - kMarkGap, y));
        marks.append(QLineF(right + kMarkGap, y, right + kMarkGap + across, y));
    }
    return marks;
}
