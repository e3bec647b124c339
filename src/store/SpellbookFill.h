#pragma once

#include "store/Database.h"
#include "store/ListRows.h"

#include <QString>
#include <QStringList>

// A random spellbook for a caster: spells drawn into each level of the book up to the caster's
// capacity, with the rarity weighting of scroll generation. Drawing writes nothing; the caller
// shows the drawn spells and adds the ones approved.
class SpellbookFill
{
public:
    SpellbookFill(); // the connection opens at the first statement
    ~SpellbookFill();
    SpellbookFill(const SpellbookFill &) = delete;
    SpellbookFill &operator=(const SpellbookFill &) = delete;

    // One selected row per drawn spell (text = name, subItems = level, frequency, book, page),
    // by level and then by name. A level is filled up to its capacity from the spells of the
    // chosen schools no rarer than the frequency step, never with a spell the book already holds
    // and never with one spell twice; a level without a limit, or already full, gets nothing.
    // The same seed over the same library draws the same spells. Throws VmError.
    ListRows draw(const QString &caster, const QStringList &schools, int lowestFrequencyId, quint32 seed);

private:
    Connection &db() { return m_connection.get(); }

    LazyConnection m_connection;
};
