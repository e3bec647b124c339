#include "store/VM_Library.h"

#include "store/Blanks.h"
#include "store/Status.h"

void VM_Library::Add_Spells_To_Spellbook(const QString &caster, const ListRows &list)
{
    raiseAs("Add_Spells_To_Spellbook", [&] {
        const QString casterName = trimBlanks(caster);
        Transaction transaction(db());
        Statement existing(db(), "SELECT 1 FROM Spellbook WHERE Caster = ? AND SpellName = ? LIMIT 1");
        Statement insert(db(), "INSERT INTO Spellbook (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
        for (const ListRow &row : list) {
            if (!row.selected)
                continue;
            const QString spell = trimBlanks(row.text);
            existing.bind(1, casterName).bind(2, spell);
            const bool present = existing.step();
            existing.reset();
            if (present)
                continue;
            insert.bind(1, casterName).bind(2, spell).bind(3, trimBlanks(row.subItems.value(0)));
            insert.run();
            insert.reset();
        }
        transaction.commit();
    });
}

QString VM_Library::Remove_Spells_From_Spellbook(const QStringList &names, const QString &caster)
{
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
    raiseAs("Remove_Spells_From_Failed", [&] {
        const QString casterName = trimBlanks(caster);
        Transaction transaction(db());
        // One row per selected item: a spell failed twice needs two removals.
        Statement remove(db(), "DELETE FROM FailedSpells WHERE rowid = (SELECT rowid FROM FailedSpells "
                               "WHERE Caster = ? AND SpellName = ? ORDER BY rowid LIMIT 1)");
        for (const ListRow &row : list) {
            if (!row.selected)
                continue;
            remove.bind(1, casterName).bind(2, trimBlanks(row.text));
            remove.run();
            remove.reset();
        }
        transaction.commit();
    });
}
