#include "widgets/LevelGrid.h"
#include "store/SpellLevels.h"
#include "widgets/FormControls.h"

#include <QListWidget>

#include <algorithm>

namespace LevelGrid {

QListWidget *create(QWidget *parent)
{
    auto *levels = new QListWidget(parent);
    levels->setObjectName(QStringLiteral("Lst_Levels"));
    levels->setSelectionMode(QAbstractItemView::MultiSelection);
    levels->setAccessibleName(QStringLiteral("Levels"));
    levels->setAccessibleDescription(QStringLiteral("The spell levels chosen; several may be chosen"));
    // Three columns of three, like a list box with columns.
    levels->setFlow(QListView::LeftToRight);
    levels->setWrapping(true);
    levels->setResizeMode(QListView::Adjust);
    levels->setSpacing(1);
    levels->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    levels->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int levelWidth = 0;
    for (const QString &level : SpellLevels::ordinals())
        levelWidth = std::max(levelWidth, levels->fontMetrics().horizontalAdvance(level));
    const QSize cell(levelWidth + 16, levels->fontMetrics().height() + 4);
    for (int level = 1; level <= SpellLevels::kCount; ++level) {
        auto *item = new QListWidgetItem(SpellLevels::ordinal(level), levels);
        item->setSizeHint(cell);
        item->setData(LevelRole, QString::number(level));
    }
    return levels;
}

QStringList chosenLevels(const QListWidget *levels)
{
    return FormControls::selectedTexts(levels, LevelRole);
}

QSize threeByThree(const QListWidget *levels)
{
    const QSize cell = levels->item(0)->sizeHint();
    const int frame = 2 * levels->frameWidth() + 4;
    return {3 * (cell.width() + 2) + frame, 3 * (cell.height() + 2) + frame};
}

} // namespace LevelGrid
