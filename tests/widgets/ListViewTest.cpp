#include "WindowTest.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/ListViewModel.h"
#include "widgets/ListViewRows.h"

#include <QDropEvent>
#include <QMimeData>

namespace {

const QStringList kColumns = {"Spell Name", "Level"};

ListRows sampleRows()
{
    return {ListRow{"beta", {"2"}, false, true}, ListRow{"Alpha", {"1"}, true, false},
            ListRow{"alpha", {"3"}, false, false}, ListRow{"Gamma", {QString()}, true, true}};
}

// Delivers a drop of the given kind of data onto a list, as the platform would.
bool dropOnto(ListView &list, const QString &mimeType)
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
    ListView list("LV_Test", kColumns);
    appendRows(&list, sampleRows(), CheckBoxes::Yes);
    EXPECT_EQ(rowsOf(&list), sampleRows());
    EXPECT_EQ(list.rows()->data(list.rows()->index(0, 0), Qt::CheckStateRole), QVariant(Qt::Checked));

    const ListRows selected = selectedRowsOf(&list);
    ASSERT_EQ(selected.size(), 2);
    EXPECT_EQ(selected.at(0).text, "Alpha");
    EXPECT_EQ(selected.at(1).text, "Gamma");
    EXPECT_EQ(firstSelectedRow(&list), 1);
    EXPECT_EQ(selectedCount(&list), 2);

    // A tick given on screen reads back; removed rows leave the others as they were.
    list.rows()->setData(list.rows()->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    list.rows()->removeRowNumbers({3, 0});
    ListRows expected = {sampleRows().at(1), sampleRows().at(2)};
    expected[1].checked = true;
    expected[0].selected = false; // a removal replaces every row, selection included
    EXPECT_EQ(rowsOf(&list), expected);

    // Without check boxes the rows show none.
    ListView plain("LV_Plain", kColumns);
    appendRows(&plain, sampleRows());
    EXPECT_FALSE(plain.rows()->data(plain.rows()->index(0, 0), Qt::CheckStateRole).isValid());
    EXPECT_FALSE(plain.rows()->flags(plain.rows()->index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
}

TEST(ListViewRows, ColumnsSortNaturallyIgnoringCaseAndTheSelectionStaysWithItsRows)
{
    ListView list("LV_Test", kColumns);
    appendRows(&list, sampleRows());
    ColumnSortToggle toggle(&list);
    toggle.sortBy(0);
    EXPECT_EQ(columnTexts(&list), (QStringList{"Gamma", "beta", "alpha", "Alpha"}));
    EXPECT_EQ(selectedRowsOf(&list).at(0).text, "Gamma");
    EXPECT_EQ(selectedRowsOf(&list).at(1).text, "Alpha");
    toggle.sortBy(0);
    EXPECT_EQ(columnTexts(&list), (QStringList{"Alpha", "alpha", "beta", "Gamma"}));
    EXPECT_EQ(list.selectedRowNumbers(), (QList<int>{0, 3}));

    // Numbers sort as numbers, mixed values naturally.
    ListView pages("LV_Pages", kColumns);
    ListRows rows;
    for (const char *page : {"100", "12a", "9", "", "12", "010", "Page 2", "Page 10", "350", "35"})
        rows.append(ListRow{QString::fromLatin1(page), {}, false, false});
    appendRows(&pages, rows);
    ColumnSortToggle pageToggle(&pages);
    pageToggle.sortBy(0); // the first click sorts descending
    pageToggle.sortBy(0);
    EXPECT_EQ(columnTexts(&pages),
              (QStringList{"", "9", "010", "12", "12a", "35", "100", "350", "Page 2", "Page 10"}));
}

// A list may show the tables a query read as they are, its columns taken from several of them,
// kept row by row or column by column with shared texts: sorting, editing, removing and adding
// rows change the list alone, one cell at a time, never the tables given.
TEST(ListViewRows, RowsShownFromSharedTablesChangeWithoutChangingTheTables)
{
    using Column = Table::Column;
    const struct
    {
        const char *layout;
        Table spells;
        Table schools;
    } cases[] = {
        {"row by row", Table(2, {"beta", "2", "Alpha", "1", "gamma", "2"}),
         Table(1, {"Sun", "Plant", "Sun"})},
        {"column by column", Table({Column{{"beta", "Alpha", "gamma"}, {}}, Column{{"2", "1"}, {0, 1, 0}}}),
         Table({Column{{"Sun", "Plant"}, {0, 1, 0}}})},
    };
    for (const auto &given : cases) {
        SCOPED_TRACE(given.layout);
        ListView list("LV_Test", {"Spell Name", "Level", "Schools"});
        list.rows()->setBlocks({given.spells, given.schools}, {{0, 0}, {0, 1}, {1, 0}});
        EXPECT_EQ(rowsOf(&list), (ListRows{ListRow{"beta", {"2", "Sun"}}, ListRow{"Alpha", {"1", "Plant"}},
                                           ListRow{"gamma", {"2", "Sun"}}}));

        ColumnSortToggle toggle(&list);
        toggle.sortBy(1);
        EXPECT_EQ(columnTexts(&list), (QStringList{"beta", "gamma", "Alpha"}));
        // beta and gamma share their texts of level and school: each edit changes one row.
        list.rows()->setText(0, 2, "Fire");
        list.rows()->setText(1, 1, "7");
        list.rows()->removeRowNumbers({2});
        appendRows(&list, {ListRow{"delta", {"4", "Water"}}});
        EXPECT_EQ(rowsOf(&list), (ListRows{ListRow{"beta", {"2", "Fire"}}, ListRow{"gamma", {"7", "Sun"}},
                                           ListRow{"delta", {"4", "Water"}}}));
        EXPECT_EQ(given.spells, Table(2, {"beta", "2", "Alpha", "1", "gamma", "2"}));
        EXPECT_EQ(given.schools, Table(1, {"Sun", "Plant", "Sun"}));
    }
}

TEST(ListView, TakesOnlyDropsOfSpellsAndOnlyWhileDropsAreAccepted)
{
    ListView list("LV_Test", kColumns);
    EXPECT_FALSE(dropOnto(list, ListView::kDragMimeType)); // no drop target

    int drops = 0;
    list.setDropTarget([&] { ++drops; });
    EXPECT_TRUE(list.dropsAccepted());
    EXPECT_FALSE(dropOnto(list, "text/plain"));
    EXPECT_EQ(drops, 0);
    EXPECT_TRUE(dropOnto(list, ListView::kDragMimeType));
    EXPECT_EQ(drops, 1);

    list.setDropsAccepted(false);
    EXPECT_FALSE(dropOnto(list, ListView::kDragMimeType));
    EXPECT_EQ(drops, 1);
}

TEST(ListView, PressingASelectedRowAndMovingStartsAndEndsADrag)
{
    ListView list("LV_Test", kColumns);
    appendRows(&list, sampleRows());
    list.resize(300, 200);
    list.show();
    int starts = 0;
    int completes = 0;
    list.setDragSource(
        [&] {
            ++starts;
            return true;
        },
        [&] { ++completes; });

    const QPoint row = list.visualRect(list.rows()->index(1, 0)).center();
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, row);
    QTest::mouseMove(list.viewport(), row + QPoint(0, 3 * QApplication::startDragDistance()));
    QTest::mouseMove(list.viewport(), row + QPoint(0, 6 * QApplication::startDragDistance()));
    // The drag itself takes the button's release.
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(completes, 1);
    // The press on a selected row kept the other selected row.
    EXPECT_EQ(list.selectedRowNumbers(), (QList<int>{1, 3}));
}
