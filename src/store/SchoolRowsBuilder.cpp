#include "store/SchoolRowsBuilder.h"

#include "store/Database.h"
#include "store/NameFinder.h"

SchoolRowsBuilder::SchoolRowsBuilder(qsizetype rowHint, qsizetype spellRows)
{
    const qsizetype rows = rowHint > 0 ? rowHint : spellRows * 4;
    m_codes.reserve(rows);
    m_schools.reserve(rows);
    m_nameEnds.reserve(size_t(spellRows));
}

void SchoolRowsBuilder::read(Statement &statement)
{
    while (statement.step()) {
        const QByteArrayView name = statement.bytes(0);
        const std::string_view bytes(name.data(), size_t(name.size()));
        if (m_nameEnds.empty() || bytes != lastName()) {
            m_nameBytes.append(bytes);
            m_nameEnds.push_back(m_nameBytes.size());
        }
        m_codes.append(quint32(m_nameEnds.size() - 1));
        m_schools.take(statement.bytes(1));
    }
}

OptionalTable SchoolRowsBuilder::finish(const Table &spells)
{
    if (m_codes.isEmpty())
        return std::nullopt;
    NameFinder spellNames(&spells);
    Table::Column names;
    names.texts.reserve(qsizetype(m_nameEnds.size()));
    size_t start = 0;
    for (const size_t end : m_nameEnds) {
        names.texts.append(
            spellNames.take(QByteArrayView(m_nameBytes.data() + start, qsizetype(end - start))));
        start = end;
    }
    names.codes = std::move(m_codes);
    return Table({std::move(names), m_schools.finish()});
}

std::string_view SchoolRowsBuilder::lastName() const
{
    const size_t start = m_nameEnds.size() > 1 ? m_nameEnds[m_nameEnds.size() - 2] : 0;
    return std::string_view(m_nameBytes).substr(start);
}

OptionalTable readSchoolsOf(Statement &statement, const Table &spells, qsizetype rowHint)
{
    SchoolRowsBuilder rows(rowHint, spells.rows());
    rows.read(statement);
    return rows.finish(spells);
}
