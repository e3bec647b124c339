#pragma once

#include "store/Table.h"
#include "store/TableReader.h"

#include <QList>

#include <string>
#include <string_view>
#include <vector>

class Statement;

// The school rows of a spellbook (spell name, school), whose spell names come in the order of its
// spell list. The table is kept as numbers: a spell's name is held once for its run of rows, and
// shares the spell list's text instead of holding a copy of its own; each school is decoded once.
// The names are matched to the spell list only once it is read, so that the rows can be read
// beside it.
class SchoolRowsBuilder
{
public:
    // Without a hint, room for a few schools a spell: four bytes a row, and untouched room costs
    // no memory.
    SchoolRowsBuilder(qsizetype rowHint, qsizetype spellRows);

    void read(Statement &statement);
    // No rows give no table.
    OptionalTable finish(const Table &spells);

private:
    std::string_view lastName() const;

    std::string m_nameBytes; // every distinct name, one after another
    std::vector<size_t> m_nameEnds;
    QList<quint32> m_codes;
    ColumnBuilder m_schools;
};

// The school rows a statement reads, after the spell list they belong to.
OptionalTable readSchoolsOf(Statement &statement, const Table &spells, qsizetype rowHint);
