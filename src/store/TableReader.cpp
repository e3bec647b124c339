#include "store/TableReader.h"

#include "store/Blanks.h"
#include "store/Database.h"

#include <QStringList>

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
// worth remembering hold a few short values, which a byte-wise hash and a probe or two find
// faster than a general hash map with its nodes.
struct ColumnInterner::Seen
{
    struct Slot
    {
        std::string bytes;
        QString value;
        bool used = false;
    };
    std::vector<Slot> entries = std::vector<Slot>(16);
    size_t count = 0;

    static size_t hash(std::string_view key)
    {
        size_t hash = 14695981039346656037ull; // FNV-1a
        for (const char c : key)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return hash;
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

    void add(Slot &slot, std::string_view key, const QString &value)
    {
        slot.bytes.assign(key);
        slot.value = value;
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

ColumnInterner::ColumnInterner() : m_seen(std::make_unique<Seen>()) {}

ColumnInterner::~ColumnInterner() = default;
ColumnInterner::ColumnInterner(ColumnInterner &&) noexcept = default;
ColumnInterner &ColumnInterner::operator=(ColumnInterner &&) noexcept = default;

QString ColumnInterner::take(QByteArrayView bytes)
{
    const std::string_view key(bytes.data(), size_t(bytes.size()));
    if (m_remembering) {
        Seen::Slot &slot = m_seen->slotOf(key);
        if (slot.used)
            return slot.value;
        QString value = decode(bytes);
        if (m_seen->count < kRememberLimit) {
            m_seen->add(slot, key, value);
            return value;
        }
        m_remembering = false;
        m_seen.reset(); // nothing more is looked up
        return value;
    }
    if (!m_trackingPrevious)
        return decode(bytes);
    if (m_hasPrevious && key == std::string_view(m_previousBytes)) {
        ++m_previousHits;
        return m_previous;
    }
    QString value = decode(bytes);
    // A column of distinct values (names, descriptions) never meets its previous value again:
    // keeping a copy of each would cost more than it saves.
    if (m_previousMisses < kPreviousTrial && ++m_previousMisses == kPreviousTrial &&
        m_previousHits < kPreviousTrial / 8) {
        m_trackingPrevious = false;
        m_hasPrevious = false;
        m_previous = QString();
        std::string().swap(m_previousBytes);
        return value;
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
