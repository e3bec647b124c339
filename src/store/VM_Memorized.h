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

// The memorized spells of casters: memorizing from the spellbook within the day's slots of each
// level, named plans of a day, casting, forgetting, resting and clearing the day. Each change is
// one transaction and returns a status text, empty on success.
class VM_Memorized
{
public:
    VM_Memorized(); // the connection opens at the first statement
    ~VM_Memorized();
    VM_Memorized(const VM_Memorized &) = delete;
    VM_Memorized &operator=(const VM_Memorized &) = delete;

    // The slots memorizing has at each level: as set for the day (Update_Slots_Per_Level), or, for
    // a level never set, the caster's figure ("Spells per Level"; empty or no number is none). A
    // caster without a record has none. Throws VmError.
    SlotsPerLevel Fetch_Slots_Per_Level(const QString &caster);
    // Sets how many spells the caster memorizes at a level, 0 to 99. The caster's record, which
    // says how many spells the book holds, is left as it is.
    QString Update_Slots_Per_Level(const QString &caster, int level, int slotCount);
    // Every memorized slot of the caster, by level and slot order. Throws VmError.
    QList<MemorizedSlot> Fetch_Memorized_Slots(const QString &caster);

    // Memorizes the spells, each in a free slot of its own level. Spells not in the caster's
    // spellbook, and those for which their level has no free slot, are left out and named in the
    // status; the others are memorized.
    QString Add_Spells_To_Memorized(const QString &caster, const QStringList &spells);
    int NumberMemorized() const { return m_memorized; }

    // Named plans of a day ("Travel", "Dungeon"), in name order. Throws VmError.
    QStringList Fetch_Plan_Names(const QString &caster);
    // Keeps the day's memorized spells as the plan, replacing a plan of that name.
    QString Save_Plan(const QString &caster, const QString &plan);
    // Replaces the day by the plan, every slot ready: spells no longer in the book, or for which
    // there is no slot now, are left out and named in the status (NumberMemorized: those taken).
    QString Load_Plan(const QString &caster, const QString &plan);
    QString Remove_Plan(const QString &caster, const QString &plan);

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

    // The most slots a level can be given.
    static constexpr int kMostSlots = 99;

private:
    Connection &db();
    // Puts the spells into free slots of their own levels, within the open transaction; returns
    // what was left out and why.
    QStringList placeSpells(const QString &owner, const QStringList &spells, const QString &notInBook);

    LazyConnection m_connection;
    bool m_tableChecked = false;
    int m_memorized = 0;
};
