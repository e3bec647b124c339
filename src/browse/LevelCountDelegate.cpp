#include "browse/LevelCountDelegate.h"

#include "widgets/ReadableColour.h"

#include <QPainter>

void LevelCountDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // The level's own name takes the warning colour too, as far as it reads on the list.
    if (const QVariant marked = index.data(Qt::ForegroundRole); marked.isValid())
        option->palette.setColor(
            QPalette::Text,
            ReadableColour::against(marked.value<QBrush>().color(), option->palette.color(QPalette::Base)));
}

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
    QString shown = count;
    if (marked.isValid()) {
        // Over capacity: bold, marked, and in the warning colour as far as it reads on the cell.
        font.setBold(true);
        shown += overMark();
        const QColor background =
            selected ? item.palette.color(QPalette::Highlight) : item.palette.color(QPalette::Base);
        colour = ReadableColour::against(marked.value<QBrush>().color(), background);
    }
    painter->save();
    painter->setFont(font);
    painter->setPen(colour);
    painter->drawText(item.rect.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, shown);
    painter->restore();
}
