// The library's hold tables, filled for a printout of a caster or a filtered spellbook.

#include "store/VM_Library.h"

#include "store/Blanks.h"
#include "store/Status.h"

QString VM_Library::Set_Caster_Hold(const QString &caster, const QString &filter)
{
    // The hold has exactly one row: the caster and the name of the filtered selection.
    return statusOf([&] {
        Transaction transaction(db());
        db().exec("DELETE FROM CasterHold;");
        Statement insert(db(), "INSERT INTO CasterHold (Caster, CasterFilter) VALUES (?, ?)");
        insert.bind(1, trimBlanks(caster)).bind(2, trimBlanks(filter)).run();
        transaction.commit();
    });
}

void VM_Library::Print_Filtered_Spellbook(const ListRows &list, const QString &caster)
{
    // Every listed row, in list order: what the browser shows is what gets printed.
    raiseAs("Print_Filtered_Spellbook", [&] {
        const QString owner = trimBlanks(caster);
        Transaction transaction(db());
        db().exec("DELETE FROM SpellbookFiltered;");
        Statement insert(db(),
                         "INSERT INTO SpellbookFiltered (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
        for (const ListRow &row : list) {
            insert.bind(1, owner).bind(2, trimBlanks(row.text)).bind(3, trimBlanks(row.subItems.value(0)));
            insert.run();
            insert.reset();
        }
        transaction.commit();
    });
}
