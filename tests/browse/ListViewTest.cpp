#include "QtPrinters.h"
#include "browse/ColumnSortToggle.h"
#include "browse/ListViewRows.h"
#include "browse/SpellListView.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

const QStringList kColumns = {QStringLiteral("Spell Name"), QStringLiteral("Level")};

ListRows sampleRows()
{
    return {ListRow{QStringLiteral("beta"), {QStringLiteral("2")}, false, true},
            ListRow{QStringLiteral("Alpha"), {QStringLiteral("1")}, true, false},
            ListRow{QStringLiteral("alpha"), {QStringLiteral("3")}, false, false},
            ListRow{QStringLiteral("Gamma"), {QStringLiteral("")}, true, true}};
}

QStringList names(const QTreeWidget &list)
{
    QStringList texts;
    for (const ListRow &row : rowsOf(&list))
        texts.append(row.text);
    return texts;
}

// Delivers a drop of the given kind of data onto a list, as the platform would.
bool dropOnto(SpellListView &list, const QString &mimeType)
{
    QMimeData data;
    data.setData(mimeType, QByteArray());
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(list.viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(list.viewport(), &drop);
    return enter.isAccepted() && drop.isAccepted();
}

} // namespace

TEST(ListViewRows, RowsGoInAndComeBackWithTheirStateInListOrder)
{
    SpellListView list(QStringLiteral("LV_Test"), kColumns);
    appendRows(&list, sampleRows(), CheckBoxes::Yes);
    EXPECT_EQ(rowsOf(&list), sampleRows());

    const ListRows selected = selectedRowsOf(&list);
    ASSERT_EQ(selected.size(), 2);
    EXPECT_EQ(selected.at(0).text, QStringLiteral("Alpha"));
    EXPECT_EQ(selected.at(1).text, QStringLiteral("Gamma"));
    EXPECT_EQ(firstSelectedItem(&list)->text(0), QStringLiteral("Alpha"));
    EXPECT_EQ(selectedCount(&list), 2);

    // Without check boxes the rows show none and read back unchecked.
    SpellListView plain(QStringLiteral("LV_Plain"), kColumns);
    appendRows(&plain, sampleRows());
    EXPECT_FALSE(plain.topLevelItem(0)->data(0, Qt::CheckStateRole).isValid());
    EXPECT_FALSE(rowsOf(&plain).at(0).checked);
}

TEST(ListViewRows, ColumnsSortAsTextIgnoringCaseWithAFixedOrderForEqualNames)
{
    SpellListView list(QStringLiteral("LV_Test"), kColumns);
    appendRows(&list, sampleRows());
    ColumnSortToggle toggle(&list);
    toggle.sortBy(0);
    EXPECT_EQ(names(list), (QStringList{"Gamma", "beta", "alpha", "Alpha"}));
    toggle.sortBy(0);
    EXPECT_EQ(names(list), (QStringList{"Alpha", "alpha", "beta", "Gamma"}));
}

TEST(SpellListView, TakesOnlyDropsOfSpellsAndOnlyWhileDropsAreAccepted)
{
    SpellListView list(QStringLiteral("LV_Test"), kColumns);
    EXPECT_FALSE(dropOnto(list, SpellListView::kDragMimeType)); // no drop target

    int drops = 0;
    list.setDropTarget([&] { ++drops; });
    EXPECT_TRUE(list.dropsAccepted());
    EXPECT_FALSE(dropOnto(list, QStringLiteral("text/plain")));
    EXPECT_EQ(drops, 0);
    EXPECT_TRUE(dropOnto(list, SpellListView::kDragMimeType));
    EXPECT_EQ(drops, 1);

    list.setDropsAccepted(false);
    EXPECT_FALSE(dropOnto(list, SpellListView::kDragMimeType));
    EXPECT_EQ(drops, 1);
}
