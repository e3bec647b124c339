#pragma once

#include "store/Database.h"
#include "store/SpellLevels.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// One memorized spell of a caster's day: which spell fills which slot of a level, and whether
// it has been cast since the caster last rested.
struct MemorizedSlot
{
    QString spell;
    int level = 0; // 1 to 9
    int order = 0; // the slot's place in its level, from 1; gaps stay where a spell was forgotten
    bool cast = false;
    bool inSpellbook = true; // false once the spell has left the caster's spellbook
    QString spellLevel;      // the spell's level in the library now, "" when it is gone

    bool movedLevel() const { return !spellLevel.isEmpty() && spellLevel != QString::number(level); }
};

using SlotsPerLevel = SpellLevels::PerLevel<int>;

// The memorized spells of casters: memorizing from the spellbook within the slots the caster's
// record gives each level, casting, forgetting, resting and clearing the day. Each change is
// one transaction and returns a status text, empty on success.
class VM_Memorized
{
public:
    VM_Memorized(); // the connection opens at the first statement
    ~VM_Memorized();
    VM_Memorized(const VM_Memorized &) = delete;
    VM_Memorized &operator=(const VM_Memorized &) = delete;

    // The slots of each level as the caster's record gives them ("Spells per Level"); a field
    // left empty or holding no number gives none. A caster without a record has none. Throws VmError.
    SlotsPerLevel Fetch_Slots_Per_Level(const QString &caster);
    // Every memorized slot of the caster, by level and slot order. Throws VmError.
    QList<MemorizedSlot> Fetch_Memorized_Slots(const QString &caster);

    // Memorizes the spells, each in a slot of its own, at the level. Only spells of that level
    // in the caster's spellbook are taken (the others are named in the status); when the ones
    // taken do not all fit in the free slots, none is memorized.
    QString Add_Spells_To_Memorized(const QString &caster, int level, const QStringList &spells);
    int NumberMemorized() const { return m_memorized; }

    // Marks a slot cast or ready again. The slot is named by its level, order and spell, so a
    // slot forgotten or refilled meanwhile is never changed by mistake.
    QString Update_Memorized_Cast(const QString &caster, const MemorizedSlot &slot, bool cast);
    QString Remove_Memorized_Slot(const QString &caster, const MemorizedSlot &slot);
    // Rest: every cast slot of the caster is ready again.
    QString Update_Memorized_Rest(const QString &caster);
    // Empties the caster's day.
    QString Remove_All_Memorized(const QString &caster);

    // The caster's figure for a level as the day's slots: none is no slots.
    static int slotsOf(const QString &field);

private:
    Connection &db();

    LazyConnection m_connection;
    bool m_tableChecked = false;
    int m_memorized = 0;
};

// Adds the table of memorized spells to a library that lacks it. Does nothing to a file that is
// not a library yet (one being created) or already has the table. Throws VmError.
void addMemorizedTable(Connection &connection);
