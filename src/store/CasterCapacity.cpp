#include "store/CasterCapacity.h"

#include "store/Blanks.h"
#include "store/SpellLevels.h"
#include "store/Status.h"

#include <QSet>

namespace {

// A level stored as "3" or " 3 " is level 3; anything else belongs to no level of the book.
int levelIndex(const QString &text)
{
    return SpellLevels::levelOf(text).value_or(0) - 1;
}

} // namespace

CasterCapacity::CasterCapacity() = default;
CasterCapacity::~CasterCapacity() = default;

int CasterCapacity::capacityOf(const QString &text)
{
    return SpellLevels::casterFigure(text).value_or(LevelLoad::kNoLimit);
}

QString CasterCapacity::describe(const LevelLoad &level)
{
    QString text = QString::number(level.inBook) +
                   (level.inBook == 1 ? QStringLiteral(" spell") : QStringLiteral(" spells"));
    if (level.limited())
        text += QStringLiteral(", capacity ") + QString::number(level.capacity);
    return text;
}

SpellbookLoad CasterCapacity::load(const QString &caster)
{
    SpellbookLoad levels;
    raiseAs("CasterCapacity", [&] {
        const QString name = trimBlanks(caster);
        // Counted as the full spellbook printout counts "IN BOOK": each spell of the library once.
        // Each spell of the book is found in the ordered index, which also holds its level, so no
        // spell's own row (with its long description) is read.
        Statement counts(db(), "SELECT Lvl, count(*) FROM (SELECT DISTINCT s.rowid, s.Lvl FROM Spellbook b "
                               "JOIN Spells s INDEXED BY Spells_Ordered "
                               "ON s.Name = b.SpellName COLLATE NOCASE AND s.Name = b.SpellName "
                               "WHERE b.Caster = ?) GROUP BY Lvl");
        counts.bind(1, name);
        while (counts.step()) {
            const int index = levelIndex(counts.text(0));
            if (index >= 0)
                levels[index].inBook += int(counts.integer(1));
        }
        Statement record(
            db(), QStringLiteral("SELECT %1 FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1")
                      .arg(SpellLevels::columnList()));
        record.bind(1, name);
        if (record.step()) {
            for (int index = 0; index < SpellLevels::kCount; ++index)
                levels[index].capacity = capacityOf(record.text(index));
        }
        record.reset();
    });
    return levels;
}

LevelCounts CasterCapacity::newSpellsByLevel(const QString &caster, const QStringList &spells)
{
    LevelCounts added{};
    raiseAs("CasterCapacity", [&] {
        Statement held(db(), "SELECT SpellName FROM Spellbook WHERE Caster = ?");
        held.bind(1, trimBlanks(caster));
        QSet<QString> seen;
        while (held.step())
            seen.insert(held.text(0));
        Statement level(db(), "SELECT Lvl FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1");
        for (const QString &spell : spells) {
            const QString name = trimBlanks(spell);
            if (seen.contains(name))
                continue;
            seen.insert(name);
            level.bind(1, name);
            if (level.step()) {
                const int index = levelIndex(level.text(0));
                if (index >= 0)
                    ++added[index];
            }
            level.reset();
        }
    });
    return added;
}

QString CasterCapacity::pastCapacity(const QString &caster, const SpellbookLoad &load,
                                     const LevelCounts &added)
{
    QStringList levels;
    for (int index = 0; index < SpellLevels::kCount; ++index) {
        const LevelLoad &level = load[index];
        const int after = level.inBook + added[index];
        if (added[index] > 0 && level.limited() && after > level.capacity)
            levels.append(QStringLiteral("%1-level spells to %2 of %3")
                              .arg(SpellLevels::ordinal(index + 1))
                              .arg(after)
                              .arg(level.capacity));
    }
    if (levels.isEmpty())
        return {};
    QString list = levels.takeLast();
    if (!levels.isEmpty())
        list = levels.join(QStringLiteral(", ")) + QStringLiteral(" and ") + list;
    return QStringLiteral("%1's %2").arg(trimBlanks(caster), list);
}

QString CasterCapacity::overCapacityQuestion(const QString &caster, const SpellbookLoad &load,
                                             const LevelCounts &added)
{
    return joined({pastCapacity(caster, load, added)});
}

QString CasterCapacity::joined(const QStringList &past)
{
    QStringList named = past;
    named.removeAll(QString());
    if (named.isEmpty())
        return {};
    return QStringLiteral("This takes %1. Add anyway?").arg(named.join(QStringLiteral("; and ")));
}

QString CasterCapacity::joiningQuestion(const QStringList &casters, const QStringList &spells)
{
    QStringList past;
    for (const QString &caster : casters)
        past.append(pastCapacity(caster, load(caster), newSpellsByLevel(caster, spells)));
    return joined(past);
}

QString CasterCapacity::joiningQuestion(const QStringList &casters, const QString &level)
{
    LevelCounts added{};
    const int index = levelIndex(level);
    if (index < 0)
        return {};
    added[index] = 1;
    QStringList past;
    for (const QString &caster : casters)
        past.append(pastCapacity(caster, load(caster), added));
    return joined(past);
}
