#include "store/WeightedCandidates.h"

#include "store/NameOrder.h"

#include <string>
#include <vector>

void forEachWeightedCandidate(Connection &db, const QStringList &levels, const QStringList &schools,
                              int lowestFrequencyId, const CandidateSink &take)
{
    if (levels.isEmpty() || schools.isEmpty())
        return;
    // A spell without a known frequency or without a chosen school is never drawn. Both halves
    // are read in name order (from the ordered indexes when the library has them; no index is
    // named, a library made elsewhere may lack it) and joined here as they come: a join in the
    // engine would look up each candidate's row on its own.
    Statement spells(db,
                     QStringLiteral("SELECT rowid, Name, Lvl FROM Spells WHERE Lvl IN (%1) AND Frequency IN "
                                    "(SELECT Frequency FROM Frequency WHERE FrequencyID <= ?) "
                                    "ORDER BY Name COLLATE NOCASE, Name")
                         .arg(Statement::placeholders(levels.size())));
    spells.bind(spells.bindAll(1, levels), qint64(lowestFrequencyId));
    Statement links(db, QStringLiteral("SELECT Name FROM SpellandSphere "
                                       "WHERE Sphere IN (%1) ORDER BY Name COLLATE NOCASE, Name")
                            .arg(Statement::placeholders(schools.size())));
    links.bindAll(1, schools);

    struct Entry
    {
        qint64 rowid;
        std::string level;
    };
    std::string groupName;    // the name of the last school row
    std::vector<Entry> group; // the spells of that name
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
                group.push_back({spells.integer(0), std::string(bytesView(spells.bytes(2)))});
                moreSpells = spells.step();
            }
        }
        for (const Entry &entry : group)
            take(entry.rowid, groupName, entry.level);
    }
    spells.reset();
}
