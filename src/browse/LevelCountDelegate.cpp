#include "browse/LevelCountDelegate.h"

#include <QPainter>

void LevelCountDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QString count = index.data(CountRole).toString();
    if (count.isEmpty())
        return;

    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const bool selected = item.state.testFlag(QStyle::State_Selected);
    const QVariant marked = index.data(Qt::ForegroundRole);
    QColor colour =
        selected ? item.palette.color(QPalette::HighlightedText) : item.palette.color(QPalette::Text);
    QFont font = item.font;
    if (marked.isValid()) {
        // Over capacity: bold, and on a highlighted row a colour that still reads on the highlight.
        font.setBold(true);
        colour = selected ? QColor(255, 200, 200) : marked.value<QBrush>().color();
    }
    painter->save();
    painter->setFont(font);
    painter->setPen(colour);
    painter->drawText(item.rect.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, count);
    painter->restore();
}
