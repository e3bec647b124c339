#include "store/TableReader.h"

#include "store/Blanks.h"
#include "store/Database.h"

#include <QStringList>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

struct BytesHash
{
    using is_transparent = void;
    size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>{}(bytes); }
};

// Past this many distinct values a column is not worth remembering.
constexpr size_t kRememberLimit = 512;

QString decode(QByteArrayView bytes)
{
    return bytes.isEmpty() ? QString() : QString::fromUtf8(bytes);
}

} // namespace

struct ColumnInterner::Seen
{
    std::unordered_map<std::string, QString, BytesHash, std::equal_to<>> values;
};

ColumnInterner::ColumnInterner() : m_seen(std::make_unique<Seen>()) {}

ColumnInterner::~ColumnInterner() = default;
ColumnInterner::ColumnInterner(ColumnInterner &&) noexcept = default;
ColumnInterner &ColumnInterner::operator=(ColumnInterner &&) noexcept = default;

QString ColumnInterner::take(QByteArrayView bytes)
{
    const std::string_view key(bytes.data(), size_t(bytes.size()));
    if (m_hasPrevious && key == std::string_view(m_previousBytes))
        return m_previous;
    QString value;
    if (m_remembering) {
        const auto it = m_seen->values.find(key);
        if (it != m_seen->values.end()) {
            value = it->second;
        } else {
            value = decode(bytes);
            if (m_seen->values.size() < kRememberLimit)
                m_seen->values.emplace(std::string(key), value);
            else
                m_remembering = false;
        }
    } else {
        value = decode(bytes);
    }
    m_previousBytes.assign(key);
    m_previous = value;
    m_hasPrevious = true;
    return value;
}

OptionalTable readTable(Statement &statement, int columns, qsizetype rowHint)
{
    std::vector<ColumnInterner> interners(static_cast<size_t>(columns));
    QList<QString> cells;
    cells.reserve(rowHint * columns);
    while (statement.step()) {
        for (int column = 0; column < columns; ++column)
            cells.append(interners[size_t(column)].take(statement.bytes(column)));
    }
    if (cells.isEmpty())
        return std::nullopt;
    return Table(columns, std::move(cells));
}

QStringList readTrimmedColumn(Statement &statement)
{
    QStringList values;
    while (statement.step())
        values.append(trimBlanks(statement.text(0)));
    return values;
}
