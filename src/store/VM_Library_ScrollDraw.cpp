#include "store/VM_Library.h"

#include "store/NameOrder.h"
#include "store/Status.h"

#include <QRandomGenerator>

#include <string>
#include <string_view>
#include <vector>

namespace {

// More lines than a scroll can hold is a mistake of the caller, not a request to honour.
constexpr int kMaximumScrollSpells = 99;

} // namespace

QString VM_Library::CreateScroll(const QStringList &levels, const QStringList &schools, int lowestFrequencyId,
                                 int count)
{
    return CreateScroll(levels, schools, lowestFrequencyId, count, QRandomGenerator::system()->generate());
}

QString VM_Library::CreateScroll(const QStringList &levels, const QStringList &schools, int lowestFrequencyId,
                                 int count, quint32 seed)
{
    return statusFrom([&]() -> QString {
        if (count < 1)
            return {};
        if (count > kMaximumScrollSpells)
            return QStringLiteral("A scroll holds at most %1 spells").arg(kMaximumScrollSpells);

        // A spell is a candidate once for every chosen school it belongs to, so a spell of two
        // chosen schools is drawn twice as often. A spell without a known frequency or without a
        // chosen school is never drawn. Both halves are read in name order (from the ordered
        // indexes when the library has them; no index is named, a library made elsewhere may
        // lack it) and joined here as they come: a join in the engine would look up each
        // candidate's row on its own.
        Statement spells(db(),
                         QStringLiteral("SELECT rowid, Name FROM Spells WHERE Lvl IN (%1) AND Frequency IN "
                                        "(SELECT Frequency FROM Frequency WHERE FrequencyID <= ?) "
                                        "ORDER BY Name COLLATE NOCASE, Name")
                             .arg(Statement::placeholders(levels.size())));
        spells.bind(spells.bindAll(1, levels), qint64(lowestFrequencyId));
        Statement links(db(), QStringLiteral("SELECT Name FROM SpellandSphere "
                                             "WHERE Sphere IN (%1) ORDER BY Name COLLATE NOCASE, Name")
                                  .arg(Statement::placeholders(schools.size())));
        links.bindAll(1, schools);

        std::vector<qint64> candidates;
        std::string groupName;     // the name of the last school row
        std::vector<qint64> group; // the spells of that name
        bool moreSpells = spells.step();
        const auto spellName = [&] { return bytesView(spells.bytes(1)); };
        while (links.step()) {
            const std::string_view name = bytesView(links.bytes(0));
            if (group.empty() || name != groupName) {
                while (moreSpells && nameLess(spellName(), name))
                    moreSpells = spells.step();
                group.clear();
                groupName.assign(name);
                while (moreSpells && spellName() == name) {
                    group.push_back(spells.integer(0));
                    moreSpells = spells.step();
                }
            }
            candidates.insert(candidates.end(), group.begin(), group.end());
        }
        spells.reset();
        if (candidates.empty())
            return {};

        // Draws with replacement from one generator seeded once: every line is drawn on its own,
        // however quickly the draws follow each other.
        QRandomGenerator random(seed);
        Statement spell(db(), "SELECT Name, Lvl, Book, Page, Frequency FROM Spells WHERE rowid = ?");
        QList<QString> cells;
        cells.reserve(qsizetype(count) * 5);
        for (int line = 0; line < count; ++line) {
            spell.bind(1, candidates[random.bounded(quint32(candidates.size()))]);
            if (!spell.step())
                throw VmError(-1, QStringLiteral("CreateScroll"),
                              QStringLiteral("A drawn spell could not be read"));
            for (int column = 0; column < 5; ++column)
                cells.append(spell.text(column));
            spell.reset();
        }
        m_libScrolls = Table(5, std::move(cells));
        return {};
    });
}
