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

// The values seen, in open addressing over at least twice as many entries as values. The columns
// worth remembering hold a few short values: a value's first eight bytes, held as one word in its
// slot, settle most probes with one comparison, and the word-wise hash costs less than the
// look-up it serves.
struct ColumnBuilder::Seen
{
    static constexpr quint32 kUnused = ~quint32(0);

    struct Key
    {
        std::string_view bytes;
        quint64 head = 0; // the first eight bytes, zero-padded

        explicit Key(std::string_view value) : bytes(value)
        {
            if (!value.empty()) // a NULL cell has no bytes at all
                std::memcpy(&head, value.data(), std::min<size_t>(value.size(), 8));
        }
    };

    struct Slot
    {
        quint64 head = 0;
        quint32 length = 0;
        quint32 code = kUnused; // the value's place in the list of texts kept with the table
        std::string rest;       // the bytes past the eighth

        bool holds(const Key &key) const
        {
            return head == key.head && length == key.bytes.size() &&
                   (length <= 8 || key.bytes.substr(8) == std::string_view(rest));
        }
    };
    std::vector<Slot> entries = std::vector<Slot>(16);
    size_t count = 0;

    static size_t hash(const Key &key)
    {
        quint64 hash = (key.head ^ quint64(key.bytes.size()) << 59) * 0x9E3779B97F4A7C15ull;
        for (size_t at = 8; at < key.bytes.size(); at += 8) {
            quint64 word = 0;
            std::memcpy(&word, key.bytes.data() + at, std::min<size_t>(key.bytes.size() - at, 8));
            hash = (hash ^ (hash >> 31) ^ word) * 0xBF58476D1CE4E5B9ull;
        }
        // A multiply carries a byte's bits only upwards: the high bits, which every byte reached,
        // are mixed down into the low ones that pick the slot.
        hash ^= hash >> 32;
        hash *= 0xBF58476D1CE4E5B9ull;
        return size_t(hash ^ (hash >> 29));
    }

    Slot &slotOf(const Key &key)
    {
        const size_t mask = entries.size() - 1;
        for (size_t i = hash(key) & mask;; i = (i + 1) & mask) {
            Slot &slot = entries[i];
            if (slot.code == kUnused || slot.holds(key))
                return slot;
        }
    }

    void add(Slot &slot, const Key &key, quint32 code)
    {
        slot.head = key.head;
        slot.length = quint32(key.bytes.size());
        slot.code = code;
        if (key.bytes.size() > 8)
            slot.rest.assign(key.bytes.substr(8));
        if (++count * 2 <= entries.size())
            return;
        std::vector<Slot> old(entries.size() * 2);
        old.swap(entries);
        const size_t mask = entries.size() - 1;
        for (Slot &moved : old) {
            if (moved.code == kUnused)
                continue;
            std::string bytes(reinterpret_cast<const char *>(&moved.head), std::min<size_t>(moved.length, 8));
            bytes += moved.rest;
            size_t i = hash(Key(bytes)) & mask;
            while (entries[i].code != kUnused)
                i = (i + 1) & mask;
            entries[i] = std::move(moved);
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
    const Seen::Key key(std::string_view(bytes.data(), size_t(bytes.size())));
    Seen::Slot &slot = m_seen->slotOf(key);
    if (slot.code != Seen::kUnused) {
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
