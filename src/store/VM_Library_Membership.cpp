// The library's memberships: spells added to and removed from spellbooks, and failed spells
// removed or learned.

#include "store/VM_Library.h"

#include "store/Blanks.h"
#include "store/Status.h"
#include "store/Undo.h"

#include <algorithm>

namespace {

qsizetype selectedCount(const ListRows &list)
{
    return std::count_if(list.begin(), list.end(), [](const ListRow &row) { return row.selected; });
}

// Adds the selected rows to the caster's spellbook, skipping spells it already holds.
void addSelectedToSpellbook(Connection &db, const QString &caster, const ListRows &list)
{
    Statement existing(db, "SELECT 1 FROM Spellbook WHERE Caster = ? AND SpellName = ? LIMIT 1");
    Statement insert(db, "INSERT INTO Spellbook (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
    for (const ListRow &row : list) {
        if (!row.selected)
            continue;
        const QString spell = trimBlanks(row.text);
        existing.bind(1, caster).bind(2, spell);
        const bool present = existing.step();
        existing.reset();
        if (present)
            continue;
        insert.bind(1, caster).bind(2, spell).bind(3, trimBlanks(row.subItems.value(0)));
        insert.run();
        insert.reset();
    }
}

// Removes one failed-spells row of the caster per selected row: a spell failed twice needs
// two removals.
void removeSelectedFromFailed(Connection &db, const QString &caster, const ListRows &list)
{
    Statement remove(db, "DELETE FROM FailedSpells WHERE rowid = (SELECT rowid FROM FailedSpells "
                         "WHERE Caster = ? AND SpellName = ? ORDER BY rowid LIMIT 1)");
    for (const ListRow &row : list) {
        if (!row.selected)
            continue;
        remove.bind(1, caster).bind(2, trimBlanks(row.text));
        remove.run();
        remove.reset();
    }
}

} // namespace

void VM_Library::Add_Spells_To_Spellbook(const QString &caster, const ListRows &list)
{
    const UndoStep step(
        QStringLiteral("Addition of %1 to %2")
            .arg(UndoStep::counted(selectedCount(list), QStringLiteral("Spell")), caster.trimmed()));
    raiseAs("Add_Spells_To_Spellbook", [&] {
        Transaction transaction(db());
        addSelectedToSpellbook(db(), trimBlanks(caster), list);
        transaction.commit();
    });
}

QString VM_Library::Remove_Spells_From_Spellbook(const QStringList &names, const QString &caster)
{
    const UndoStep step(QStringLiteral("Removal of %1 from %2")
                            .arg(UndoStep::counted(names.size(), QStringLiteral("Spell")), caster.trimmed()));
    // Names and the caster are compared exactly as given: a stored name with a trailing blank
    // is a different name.
    return statusOf([&] {
        Transaction transaction(db());
        Statement remove(db(), "DELETE FROM Spellbook WHERE Caster = ? AND SpellName = ?");
        for (const QString &name : names) {
            remove.bind(1, caster).bind(2, name);
            remove.run();
            remove.reset();
        }
        transaction.commit();
    });
}

void VM_Library::Remove_Spells_From_Failed(const QString &caster, const ListRows &list)
{
    const UndoStep step(
        QStringLiteral("Removal of %1 from %2")
            .arg(UndoStep::counted(selectedCount(list), QStringLiteral("Failed Spell")), caster.trimmed()));
    raiseAs("Remove_Spells_From_Failed", [&] {
        Transaction transaction(db());
        removeSelectedFromFailed(db(), trimBlanks(caster), list);
        transaction.commit();
    });
}

void VM_Library::Learn_Failed_Spells(const QString &caster, const ListRows &list)
{
    const UndoStep step(
        QStringLiteral("%1 Learned by %2")
            .arg(UndoStep::counted(selectedCount(list), QStringLiteral("Spell")), caster.trimmed()));
    // One change: a spell leaves the failed list only when it is in the spellbook, so a failure
    // half way leaves both lists as they were.
    raiseAs("Learn_Failed_Spells", [&] {
        const QString casterName = trimBlanks(caster);
        Transaction transaction(db());
        removeSelectedFromFailed(db(), casterName, list);
        addSelectedToSpellbook(db(), casterName, list);
        transaction.commit();
    });
}
