#include "store/TableReader.h"

#include "store/Blanks.h"
#include "store/Database.h"

#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Past this many distinct values a column is not worth remembering.
constexpr size_t kRememberLimit = 512;

// The first min(size, 8) bytes at bytes as one word, least significant first, zero-padded. Whole
// loads of four or eight bytes: a value copied byte by byte and read back as a word stalls the
// processor until the bytes have reached memory.
quint64 wordAt(const char *bytes, size_t size)
{
    if (size >= 8)
        return qFromLittleEndian<quint64>(bytes);
    if (size >= 4) { // two loads that overlap on the same bytes
        const quint64 low = qFromLittleEndian<quint32>(bytes);
        const quint64 high = qFromLittleEndian<quint32>(bytes + size - 4);
        return low | high << (8 * (size - 4));
    }
    if (size == 0)
        return 0;
    const auto byte = [bytes](size_t at) { return quint64(uchar(bytes[at])) << (8 * at); };
    return byte(0) | byte(size / 2) | byte(size - 1);
}

} // namespace

// The values seen, in open addressing over at least twice as many entries as values. The columns
// worth remembering hold a few short values: a value's first eight bytes, held as one word in its
// slot, settle most probes with one comparison, and the word-wise hash costs less than the
// look-up it serves. A slot is sixteen bytes, so that the table of a column stays in the cache
// while the engine reads the rows between two look-ups.
struct ColumnBuilder::Seen
{
    static constexpr quint32 kUnused = ~quint32(0);

    struct Key
    {
        std::string_view bytes;
        quint64 head = 0; // the first eight bytes

        explicit Key(std::string_view value) : bytes(value), head(wordAt(value.data(), value.size())) {}
    };

    struct Slot
    {
        quint64 head = 0;
        quint32 length = 0;
        quint32 code = kUnused; // the value's place in the list of texts kept with the table
    };
    std::vector<Slot> entries = std::vector<Slot>(16);
    std::vector<std::string> rests; // by code: the bytes of each value past its eighth
    size_t count = 0;

    bool holds(const Slot &slot, const Key &key) const
    {
        return slot.head == key.head && slot.length == key.bytes.size() &&
               (slot.length <= 8 || key.bytes.substr(8) == std::string_view(rests[slot.code]));
    }

    static size_t hash(const Key &key)
    {
        const size_t size = key.bytes.size();
        quint64 hash = (key.head ^ quint64(size) << 59) * 0x9E3779B97F4A7C15ull;
        for (size_t at = 8; at < size; at += 8) {
            const quint64 word = wordAt(key.bytes.data() + at, size - at);
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
            if (slot.code == kUnused || holds(slot, key))
                return slot;
        }
    }

    void add(Slot &slot, const Key &key, quint32 code)
    {
        slot.head = key.head;
        slot.length = quint32(key.bytes.size());
        slot.code = code;
        if (rests.size() <= code)
            rests.resize(code + 1);
        if (key.bytes.size() > 8)
            rests[code].assign(key.bytes.substr(8));
        if (++count * 2 <= entries.size())
            return;
        std::vector<Slot> old(entries.size() * 2);
        old.swap(entries);
        const size_t mask = entries.size() - 1;
        std::string bytes;
        for (const Slot &moved : old) {
            if (moved.code == kUnused)
                continue;
            bytes.clear();
            for (size_t at = 0; at < std::min<size_t>(moved.length, 8); ++at)
                bytes += char(moved.head >> (8 * at));
            bytes += rests[moved.code];
            size_t i = hash(Key(bytes)) & mask;
            while (entries[i].code != kUnused)
                i = (i + 1) & mask;
            entries[i] = moved;
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
        m_column.texts.append(decodeCell(bytes));
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
        m_column.texts.append(decodeCell(bytes));
        m_column.codes.append(code);
        return;
    }
    // Values this varied are not worth looking up: the column becomes a text per row.
    m_seen.reset();
    QList<QString> texts;
    texts.reserve(std::max(m_rowHint, m_column.codes.size() + 1));
    for (const quint32 code : std::as_const(m_column.codes))
        texts.append(m_column.texts.at(code));
    texts.append(decodeCell(bytes));
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

QString decodeCell(QByteArrayView bytes)
{
    return bytes.isEmpty() ? QString() : QString::fromUtf8(bytes);
}

QStringList readTrimmedColumn(Statement &statement)
{
    QStringList values;
    while (statement.step())
        values.append(trimBlanks(statement.text(0)));
    return values;
}
