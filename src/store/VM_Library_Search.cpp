// The library's search over every spell's text fields.

#include "store/Blanks.h"
#include "store/NameOrder.h"
#include "store/Names.h"
#include "store/Status.h"
#include "store/TableReader.h"
#include "store/VM_Library.h"

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// The fields a search may look in, by the label the search window shows, and their columns.
struct SearchField
{
    const char *label;
    const char *condition; // ?1 is the pattern
};

const SearchField kSearchFields[] = {
    {"Name", "Name LIKE ?1 ESCAPE '\\'"},
    {"Description", "Description LIKE ?1 ESCAPE '\\'"},
    // The casting time is a number and a unit; a text found in either finds the spell.
    {"Casting Time", "([Casting Time] LIKE ?1 ESCAPE '\\' OR [Casting Time Type] LIKE ?1 ESCAPE '\\')"},
    {"Duration", "Duration LIKE ?1 ESCAPE '\\'"},
    {"Range", "Range LIKE ?1 ESCAPE '\\'"},
    {"Area of Effect", "[Area of Effect] LIKE ?1 ESCAPE '\\'"},
    {"Saving Throw", "[Saving Throw] LIKE ?1 ESCAPE '\\'"},
    {"Author", "Author LIKE ?1 ESCAPE '\\'"},
};

// Up to this many hits, each hit's schools are looked up by name; beyond it, reading every
// school row once is cheaper.
constexpr size_t kLookupLimit = 2000;

// The user's text is matched literally: only "*" keeps its meaning of any run of characters.
QString likePattern(const QString &text, bool anywhere)
{
    QString pattern;
    pattern.reserve(text.size() + 4);
    if (anywhere)
        pattern += QLatin1Char('%');
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            pattern += QLatin1Char('\\');
        pattern += c == QLatin1Char('*') ? QLatin1Char('%') : c;
    }
    pattern += QLatin1Char('%');
    return pattern;
}

// One spell found; its name is in one shared buffer, where its sort key points.
struct Hit
{
    std::vector<int> schools; // ids, then ranks, of the spell's schools
};

// A hit's place in name order. The first sixteen bytes of the name, folded as the name order
// folds them, settle most comparisons without touching the buffer, even among names that share
// their start ("Spell of ..."); these small keys are far less memory for the sort to move than the
// hits themselves.
struct SortKey
{
    quint64 prefix[2];
    quint32 offset;
    quint32 length;
    quint32 hit;
};

void foldPrefix(std::string_view name, quint64 (&prefix)[2])
{
    for (size_t word = 0; word < 2; ++word) {
        quint64 bytes = 0;
        for (size_t i = word * 8; i < word * 8 + 8; ++i) {
            const auto c = static_cast<unsigned char>(i < name.size() ? name[i] : 0);
            bytes = (bytes << 8) | (c >= 'A' && c <= 'Z' ? c + 32 : c);
        }
        prefix[word] = bytes;
    }
}

// The distinct school names met, each with its place in name order once all are known.
class SchoolNames
{
public:
    int idOf(std::string_view name)
    {
        const auto found = m_ids.find(name);
        if (found != m_ids.end())
            return found->second;
        m_names.emplace_back(name);
        const int id = int(m_names.size()) - 1;
        m_ids.emplace(m_names.back(), id);
        return id;
    }

    // Turns the ids of every hit into ranks in name order, sorted, and returns each hit's schools
    // joined, as a column of the hits: the text of each distinct combination is made once and
    // shared by the spells that have it.
    Table::Column joinedSchools(std::vector<Hit> &hits) const
    {
        std::vector<int> order(m_names.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return nameLess(m_names[a], m_names[b]); });
        std::vector<int> rankOf(order.size());
        QStringList sorted;
        for (size_t rank = 0; rank < order.size(); ++rank) {
            rankOf[order[rank]] = int(rank);
            sorted.append(
                QString::fromUtf8(m_names[order[rank]].data(), qsizetype(m_names[order[rank]].size())));
        }
        std::map<std::vector<int>, quint32> combinations;
        Table::Column joined;
        joined.codes.reserve(qsizetype(hits.size()));
        for (Hit &hit : hits) {
            for (int &school : hit.schools)
                school = rankOf[school];
            std::sort(hit.schools.begin(), hit.schools.end());
            auto [combination, added] = combinations.try_emplace(hit.schools);
            if (added) {
                QStringList names;
                for (int rank : hit.schools)
                    names.append(sorted[rank]);
                combination->second = quint32(joined.texts.size());
                joined.texts.append(names.join(QStringLiteral(", ")));
            }
            joined.codes.append(combination->second);
        }
        return joined;
    }

private:
    std::deque<std::string> m_names; // a deque keeps the views of m_ids valid as it grows
    std::unordered_map<std::string_view, int> m_ids;
};

} // namespace

QString VM_Library::Search(const QString &field, const QString &scope, const QString &text,
                           const QString &mode)
{
    return statusFrom([&]() -> QString {
        m_search.reset();
        const SearchField *chosen = nullptr;
        for (const SearchField &candidate : kSearchFields) {
            if (field == QLatin1String(candidate.label))
                chosen = &candidate;
        }
        if (!chosen)
            return QStringLiteral("\"%1\" is not a field that can be searched").arg(field);

        // The whole library is read in the order it is stored, which is far quicker than
        // through the name index; a spellbook's spells are found through the index instead.
        const bool wholeLibrary = scope == kReservedSpellbook;
        Statement select(
            db(),
            QStringLiteral("SELECT Name, Lvl, Frequency, Book, Page FROM Spells %1 WHERE %2%3")
                .arg(wholeLibrary ? QStringLiteral("NOT INDEXED") : QString(),
                     QLatin1String(chosen->condition),
                     wholeLibrary ? QString()
                                  : QStringLiteral(" AND Name IN "
                                                   "(SELECT SpellName FROM Spellbook WHERE Caster = ?2)")));
        select.bind(1, likePattern(text, mode != QLatin1String("Starts")));
        if (!wholeLibrary)
            select.bind(2, trimBlanks(scope));

        std::string names;
        std::vector<quint32> nameStarts; // each hit's name in the buffer, in the order read
        std::vector<Hit> hits;
        std::vector<SortKey> order;
        ColumnBuilder columns[4]; // level, frequency, book, page, in the order read
        while (select.step()) {
            const std::string_view name = bytesView(select.bytes(0));
            nameStarts.push_back(quint32(names.size()));
            SortKey key{{}, quint32(names.size()), quint32(name.size()), quint32(hits.size())};
            foldPrefix(name, key.prefix);
            order.push_back(key);
            names.append(name);
            for (int column = 0; column < 4; ++column)
                columns[column].take(select.bytes(column + 1));
            hits.emplace_back();
        }
        if (hits.empty())
            return {};

        nameStarts.push_back(quint32(names.size()));
        const auto nameOf = [&](quint32 offset, quint32 length) {
            return std::string_view(names).substr(offset, length);
        };
        const auto nameOfHit = [&](size_t hit) {
            return nameOf(nameStarts[hit], nameStarts[hit + 1] - nameStarts[hit]);
        };
        std::sort(order.begin(), order.end(), [&](const SortKey &a, const SortKey &b) {
            if (a.prefix[0] != b.prefix[0])
                return a.prefix[0] < b.prefix[0];
            if (a.prefix[1] != b.prefix[1])
                return a.prefix[1] < b.prefix[1];
            return nameLess(nameOf(a.offset, a.length), nameOf(b.offset, b.length));
        });
        // A name stored twice is one spell: the hits left out of the order are never listed, and
        // each stands for the one kept.
        std::vector<quint32> keptOf;
        if (hits.size() > kLookupLimit) {
            keptOf.resize(hits.size());
            for (size_t first = 0, same = 0; first < order.size(); first = same) {
                for (same = first;
                     same < order.size() && nameOf(order[same].offset, order[same].length) ==
                                                nameOf(order[first].offset, order[first].length);
                     ++same)
                    keptOf[order[same].hit] = order[first].hit;
            }
        }
        order.erase(std::unique(order.begin(), order.end(),
                                [&](const SortKey &a, const SortKey &b) {
                                    return nameOf(a.offset, a.length) == nameOf(b.offset, b.length);
                                }),
                    order.end());

        SchoolNames schoolNames;
        if (order.size() <= kLookupLimit) {
            Statement schools(db(), "SELECT Sphere FROM SpellandSphere WHERE Name = ?");
            for (const SortKey &key : order) {
                schools.bind(1, QString::fromUtf8(names.data() + key.offset, qsizetype(key.length)));
                while (schools.step())
                    hits[key.hit].schools.push_back(schoolNames.idOf(bytesView(schools.bytes(0))));
                schools.reset();
            }
        } else {
            // A spell's school rows are most often stored together, and in the order of the
            // spells: the row before's spell is tried first, then the spell read after the last
            // one found. Only a row that is neither looks in a table of every name, made at the
            // first such row: for a large library it is far larger than the cache.
            std::unordered_map<std::string_view, quint32> byName;
            size_t next = 0;
            std::string previousName;
            Hit *previous = nullptr;
            Statement schools(db(), "SELECT Name, Sphere FROM SpellandSphere NOT INDEXED");
            while (schools.step()) {
                const std::string_view name = bytesView(schools.bytes(0));
                if (!previous || name != previousName) {
                    previousName.assign(name);
                    previous = nullptr;
                    if (next < hits.size() && nameOfHit(next) == name) {
                        previous = &hits[keptOf[next]];
                        ++next;
                    } else {
                        if (byName.empty()) {
                            byName.reserve(order.size());
                            for (const SortKey &key : order)
                                byName.emplace(nameOf(key.offset, key.length), key.hit);
                        }
                        if (const auto found = byName.find(name); found != byName.end()) {
                            previous = &hits[found->second];
                            next = found->second + 1;
                        }
                    }
                    if (!previous)
                        continue;
                }
                previous->schools.push_back(schoolNames.idOf(bytesView(schools.bytes(1))));
            }
        }
        const Table::Column joined = schoolNames.joinedSchools(hits);

        // Name, level, frequency, book, page, schools: one row per spell, in name order.
        QList<int> read;
        read.reserve(qsizetype(order.size()));
        Table::Column spellNames;
        spellNames.texts.reserve(qsizetype(order.size()));
        for (const SortKey &key : order) {
            read.append(int(key.hit));
            spellNames.texts.append(QString::fromUtf8(names.data() + key.offset, qsizetype(key.length)));
        }
        QList<Table::Column> table{std::move(spellNames)};
        for (ColumnBuilder &column : columns)
            table.append(column.finish().rowsAt(read));
        table.append(joined.rowsAt(read));
        m_search = Table(std::move(table));
        return {};
    });
}
