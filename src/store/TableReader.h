#pragma once

#include "store/Table.h"

#include <QByteArray>

#include <memory>
#include <string>

class Statement;

// Reads every row of a statement into a table of the given number of columns (the statement's
// first columns). No row gives no table. Cells are read exactly as stored; NULL reads as "".
// rowHint is a guess of the row count (the size of the table it replaces, say) to size it once.
OptionalTable readTable(Statement &statement, int columns, qsizetype rowHint = 0);

// Turns the UTF-8 cells of one column into QStrings, sharing one QString per distinct value
// while the column repeats a small set of values (levels, frequencies, schools) or the previous
// row's value (a spell's name on each of its school rows).
class ColumnInterner
{
public:
    ColumnInterner();
    ~ColumnInterner();
    ColumnInterner(ColumnInterner &&) noexcept;
    ColumnInterner &operator=(ColumnInterner &&) noexcept;
    QString take(QByteArrayView bytes);

private:
    struct Seen;
    std::unique_ptr<Seen> m_seen;
    static constexpr int kPreviousTrial = 1024;
    bool m_remembering = true;
    bool m_trackingPrevious = true;
    int m_previousHits = 0;
    int m_previousMisses = 0;
    std::string m_previousBytes;
    QString m_previous;
    bool m_hasPrevious = false;
};

// The first column of every row, trimmed.
QStringList readTrimmedColumn(Statement &statement);
