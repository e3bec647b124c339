#pragma once

#include "store/Database.h"
#include "store/SpellLevels.h"

#include <QString>
#include <QStringList>

#include <array>

// How full each spell level of a caster's book is: the spells it holds against what the caster's
// record says it can hold. A capacity left empty or not a number means the level has no limit.
struct LevelLoad
{
    static constexpr int kNoLimit = -1;

    int inBook = 0;
    int capacity = kNoLimit;

    bool limited() const { return capacity != kNoLimit; }
    bool over() const { return limited() && inBook > capacity; }
};

using SpellbookLoad = SpellLevels::PerLevel<LevelLoad>;
using LevelCounts = SpellLevels::PerLevel<int>;

class CasterCapacity
{
public:
    CasterCapacity(); // the connection opens at the first statement
    ~CasterCapacity();
    CasterCapacity(const CasterCapacity &) = delete;
    CasterCapacity &operator=(const CasterCapacity &) = delete;

    // The whole book, whatever a browser's filters show; two statements. Throws VmError.
    SpellbookLoad load(const QString &caster);
    // Per level, the named spells that would be new to the caster's book. Throws VmError.
    LevelCounts newSpellsByLevel(const QString &caster, const QStringList &spells);

    // The caster's figure for a level as the book's capacity: "5" -> 5; "", " ", "five" -> kNoLimit.
    static int capacityOf(const QString &text);
    // "6 spells, capacity 5", or "6 spells" for a level without a limit.
    static QString describe(const LevelLoad &level);
    // The question to ask before adding spells that take levels past their capacity ("This takes
    // Maelis Thorn's 3rd-level spells to 4 of 3. Add anyway?"), or "" when none goes past.
    static QString overCapacityQuestion(const QString &caster, const SpellbookLoad &load,
                                        const LevelCounts &added);

    // The one question asked before the spells join the books of the casters, however they join:
    // it names every book they take past its capacity; "" when none goes past. Throws VmError.
    QString joiningQuestion(const QStringList &casters, const QStringList &spells);
    // The same for one spell of the level (as typed, "3") joining books it is not in yet.
    QString joiningQuestion(const QStringList &casters, const QString &level);

private:
    Connection &db() { return m_connection.get(); }
    // "Maelis Thorn's 3rd-level spells to 4 of 3", or "" when no level goes past.
    static QString pastCapacity(const QString &caster, const SpellbookLoad &load, const LevelCounts &added);
    static QString joined(const QStringList &past);

    LazyConnection m_connection;
};
