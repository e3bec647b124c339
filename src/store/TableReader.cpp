#include "store/TableReader.h"

#include "store/Blanks.h"
#include "store/Database.h"

#include <QStringList>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Past this many distinct values a column is not worth remembering.
constexpr size_t kRememberLimit = 512;

QString decode(QByteArrayView bytes)
{
    return bytes.isEmpty() ? QString() : QString::fromUtf8(bytes);
}

} // namespace

// The values seen, in open addressing over at least twice as many entries as values: the columns
// worth remembering hold a few short values, which a word-wise hash and a probe or two find
// faster than a general hash map with its nodes.
struct ColumnBuilder::Seen
{
    struct Slot
    {
        std::string bytes;
        quint32 code = 0; // the value's place in the list of texts kept with the table
        bool used = false;
    };
    std::vector<Slot> entries = std::vector<Slot>(16);
    size_t count = 0;

    // Eight bytes at a time, each word mixed by a multiply: the values are short, and a hash
    // byte by byte cost more than the look-up it serves.
    static size_t hash(std::string_view key)
    {
        quint64 hash = quint64(key.size()) * 0x9E3779B97F4A7C15ull;
        size_t at = 0;
        for (; at + 8 <= key.size(); at += 8) {
            quint64 word;
            std::memcpy(&word, key.data() + at, 8);
            hash = (hash ^ word) * 0xBF58476D1CE4E5B9ull;
            hash ^= hash >> 31;
        }
        quint64 rest = 0;
        std::memcpy(&rest, key.data() + at, key.size() - at);
        hash = (hash ^ rest) * 0x94D049BB133111EBull;
        hash ^= hash >> 32; // the high bits, which every byte reached, into the low ones the slots use
        return size_t(hash * 0xBF58476D1CE4E5B9ull >> 32 ^ hash);
    }

    Slot &slotOf(std::string_view key)
    {
        const size_t mask = entries.size() - 1;
        for (size_t i = hash(key) & mask;; i = (i + 1) & mask) {
            Slot &slot = entries[i];
            if (!slot.used || slot.bytes == key)
                return slot;
        }
    }

    void add(Slot &slot, std::string_view key, quint32 code)
    {
        slot.bytes.assign(key);
        slot.code = code;
        slot.used = true;
        if (++count * 2 <= entries.size())
            return;
        std::vector<Slot> old(entries.size() * 2);
        old.swap(entries);
        for (Slot &moved : old) {
            if (moved.used)
                slotOf(moved.bytes) = std::move(moved);
        }
    }
};

ColumnBuilder::ColumnBuilder() : m_seen(std::make_unique<Seen>()) {}

ColumnBuilder::~ColumnBuilder() = default;
ColumnBuilder::ColumnBuilder(ColumnBuilder &&) noexcept = default;
ColumnBuilder &ColumnBuilder::operator=(ColumnBuilder &&) noexcept = default;

void ColumnBuilder::reserve(qsizetype rows)
{
    m_column.codes.reserve(rows);
    m_rowHint = rows;
}

void ColumnBuilder::take(QByteArrayView bytes)
{
    if (!m_seen) {
        m_column.texts.append(decode(bytes));
        return;
    }
    const std::string_view key(bytes.data(), size_t(bytes.size()));
    Seen::Slot &slot = m_seen->slotOf(key);
    if (slot.used) {
        m_column.codes.append(slot.code);
        return;
    }
    if (m_seen->count < kRememberLimit) {
        const auto code = quint32(m_column.texts.size());
        m_seen->add(slot, key, code); // may move the slots
        m_column.texts.append(decode(bytes));
        m_column.codes.append(code);
        return;
    }
    // Values this varied are not worth looking up: the column becomes a text per row.
    m_seen.reset();
    QList<QString> texts;
    texts.reserve(std::max(m_rowHint, m_column.codes.size() + 1));
    for (const quint32 code : std::as_const(m_column.codes))
        texts.append(m_column.texts.at(code));
    texts.append(decode(bytes));
    m_column = Table::Column{std::move(texts), {}};
}

Table::Column ColumnBuilder::finish()
{
    m_seen.reset();
    return std::move(m_column);
}

OptionalTable readTable(Statement &statement, int columns, qsizetype rowHint)
{
    std::vector<ColumnBuilder> builders(static_cast<size_t>(columns));
    for (ColumnBuilder &builder : builders)
        builder.reserve(rowHint);
    bool any = false;
    while (statement.step()) {
        any = true;
        for (int column = 0; column < columns; ++column)
            builders[size_t(column)].take(statement.bytes(column));
    }
    if (!any)
        return std::nullopt;
    QList<Table::Column> built;
    built.reserve(columns);
    for (ColumnBuilder &builder : builders)
        built.append(builder.finish());
    return Table(std::move(built));
}

QStringList readTrimmedColumn(Statement &statement)
{
    QStringList values;
    while (statement.step())
        values.append(trimBlanks(statement.text(0)));
    return values;
}
