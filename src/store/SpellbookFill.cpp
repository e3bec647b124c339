#include "store/SpellbookFill.h"

#include "store/Blanks.h"
#include "store/CasterCapacity.h"
#include "store/NameOrder.h"
#include "store/SpellLevels.h"
#include "store/Status.h"
#include "store/WeightedCandidates.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

struct Candidate
{
    qint64 rowid;
    int spell; // the same number for every entry of one name
};

} // namespace

SpellbookFill::SpellbookFill() = default;
SpellbookFill::~SpellbookFill() = default;

ListRows SpellbookFill::draw(const QString &caster, const QStringList &schools, int lowestFrequencyId,
                             quint32 seed)
{
    ListRows drawn;
    raiseAs("Fill Spellbook", [&] {
        const QString name = trimBlanks(caster);
        std::array<int, 9> wanted{};
        QStringList levels;
        {
            CasterCapacity capacity;
            const SpellbookLoad load = capacity.load(name);
            for (int index = 0; index < 9; ++index) {
                if (load[index].limited() && load[index].capacity > load[index].inBook) {
                    wanted[index] = load[index].capacity - load[index].inBook;
                    levels.append(QString::number(index + 1));
                }
            }
        }
        if (levels.isEmpty() || schools.isEmpty())
            return;

        // One read transaction: the book and the candidates come from the same state of the library.
        db().exec("BEGIN;");
        struct EndRead
        {
            Connection &db;
            ~EndRead()
            {
                try {
                    db.exec("COMMIT;");
                } catch (const VmError &) {
                }
            }
        } endRead{db()};

        std::unordered_set<std::string> held;
        {
            Statement book(db(), "SELECT SpellName FROM Spellbook WHERE Caster = ?");
            book.bind(1, name);
            while (book.step())
                held.emplace(bytesView(book.bytes(0)));
        }

        std::array<std::vector<Candidate>, 9> pools;
        std::string lastName;
        int spells = 0;
        forEachWeightedCandidate(db(), levels, schools, lowestFrequencyId,
                                 [&](qint64 rowid, std::string_view spell, std::string_view level) {
                                     if (held.count(std::string(spell)))
                                         return;
                                     if (spells == 0 || spell != lastName) {
                                         lastName.assign(spell);
                                         ++spells;
                                     }
                                     const int index = level.size() == 1 ? level[0] - '1' : -1;
                                     if (index >= 0 && index < SpellLevels::kCount)
                                         pools[index].push_back({rowid, spells});
                                 });

        // One generator, seeded once, draws the levels in order. A drawn spell leaves its pool
        // with all its entries, so no level gets a spell twice.
        QRandomGenerator random(seed);
        Statement details(db(), "SELECT Name, Lvl, Frequency, Book, Page FROM Spells WHERE rowid = ?");
        for (int index = 0; index < 9; ++index) {
            std::vector<Candidate> &pool = pools[index];
            ListRows level;
            for (int count = 0; count < wanted[index] && !pool.empty(); ++count) {
                const Candidate chosen = pool[random.bounded(quint32(pool.size()))];
                std::erase_if(pool, [&](const Candidate &entry) { return entry.spell == chosen.spell; });
                details.bind(1, chosen.rowid);
                if (!details.step())
                    throw VmError(-1, QString(), QStringLiteral("A drawn spell could not be read"));
                ListRow row;
                row.text = details.text(0);
                row.subItems = {details.text(1), details.text(2), details.text(3), details.text(4)};
                row.selected = true;
                level.append(row);
                details.reset();
            }
            std::sort(level.begin(), level.end(), [](const ListRow &a, const ListRow &b) {
                const QByteArray left = a.text.toUtf8();
                const QByteArray right = b.text.toUtf8();
                return nameLess(bytesView(left), bytesView(right));
            });
            drawn.append(level);
        }
    });
    return drawn;
}
