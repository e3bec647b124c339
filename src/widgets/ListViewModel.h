#pragma once

#include "store/ListRows.h"
#include "store/Table.h"

#include <QAbstractTableModel>
#include <QStringList>

// The rows of a list view: texts held in tables, so that a list of a whole library (100,000
// spells) costs no object per row. The tables may be the ones a query read, shared rather than
// copied, and kept as the store keeps them: a list's columns may come from several tables. Column 0 is a
// row's text, the others its sub-items; rows may carry a check box. Sorting compares texts naturally,
// ignoring letter case: runs of digits as numbers ("9" before "10", "12" before "12a"), the rest as text,
// with the exact text as the tie-break so that equal-looking names keep a fixed order.
class ListViewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    ListViewModel(const QStringList &headers, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Negative, zero or positive as a sorts before, with or after b (both already case-folded).
    static int naturalCompare(QStringView a, QStringView b);

    void setCheckBoxes(bool shown);
    bool hasCheckBoxes() const { return m_checkBoxes; }

    const QString &text(int row, int column = 0) const;
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);

    void setText(int row, int column, const QString &text);
    // Replaces one column's texts, row by row.
    void setColumnTexts(int column, const QList<QString> &texts);

    void clear();
    // Replaces every row: cells row by row, columnCount() texts per row, none checked.
    void setCells(QList<QString> cells);
    // A table of as many rows as the list.
    struct CellBlock
    {
        // Texts row by row, width texts per row.
        CellBlock(QList<QString> cells, int width) : table(width, std::move(cells)) {}
        CellBlock(Table table) : table(std::move(table)) {}
        Table table;
    };
    // Where a column's texts are: the block, and the column within it.
    struct CellSource
    {
        int block = 0;
        int column = 0;
        bool operator==(const CellSource &) const = default;
    };
    // Replaces every row from blocks of as many rows each, none checked: column c of the list
    // is sources[c]. The blocks are kept as they are, sharing their texts with their givers.
    void setBlocks(QList<CellBlock> blocks, const QList<CellSource> &sources);
    // Adds rows at the end; a missing sub-item is an empty text. Selection is the view's.
    void appendRows(const ListRows &rows);
    // Removes the rows with these numbers (any order).
    void removeRowNumbers(const QList<int> &rows);

private:
    // One block in column order, as rows are added to it.
    void flatten();
    // Keeps these rows, in this order.
    void reorder(const QList<int> &rows);
    void replaceBlocks(QList<CellBlock> blocks, QList<CellSource> sources);

    QStringList m_headers;
    int m_columns;
    QList<CellBlock> m_blocks;
    QList<CellSource> m_sources;
    QList<bool> m_checked;
    bool m_checkBoxes = false;
};
