#pragma once

#include "store/Table.h"

class Statement;

// Reads every row of a statement into a table of the given number of columns (the statement's
// first columns). No row gives no table. Cells are read exactly as stored; NULL reads as "".
OptionalTable readTable(Statement &statement, int columns);

// The first column of every row, trimmed.
QStringList readTrimmedColumn(Statement &statement);
