// The library's random scrolls, drawn by weighted frequency.

#include "store/VM_Library.h"

#include "store/Status.h"
#include "store/WeightedCandidates.h"

#include <QRandomGenerator>

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
        // chosen schools is drawn twice as often; the weighting is shared with the random
        // spellbook.
        std::vector<qint64> candidates;
        forEachWeightedCandidate(
            db(), levels, schools, lowestFrequencyId,
            [&](qint64 rowid, std::string_view, std::string_view) { candidates.push_back(rowid); });
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
