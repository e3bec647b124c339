#include "store/VM_Spellbook.h"

#include "store/Blanks.h"
#include "store/SpellLevels.h"
#include "store/Status.h"
#include "store/Undo.h"

namespace {

const QString kNotFound = QStringLiteral("Spellbook details could not be found");

} // namespace

VM_Spellbook::VM_Spellbook() = default;
VM_Spellbook::~VM_Spellbook() = default;

qint64 VM_Spellbook::findCaster(const QString &name)
{
    Statement select(db(), "SELECT rowid FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1");
    select.bind(1, name);
    return select.step() ? select.integer(0) : 0;
}

QString VM_Spellbook::Set_Caster_Details(const QString &name)
{
    return statusFrom([&]() -> QString {
        Statement select(
            db(), QStringLiteral("SELECT %1 FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1")
                      .arg(SpellLevels::casterColumnList()));
        select.bind(1, name);
        if (!select.step())
            return kNotFound;
        for (int field = 0; field < FieldCount; ++field)
            m_fields[field] = select.text(field);
        return {};
    });
}

QString VM_Spellbook::Add_New_Caster()
{
    const UndoStep step(QStringLiteral("Add Caster ") + UndoStep::quoted(m_fields[Name]));
    return statusOf([&] {
        Transaction transaction(db());
        Statement insert(db(),
                         QStringLiteral("INSERT INTO SpellCasters (%1) VALUES (%2)")
                             .arg(SpellLevels::casterColumnList(), Statement::placeholders(FieldCount)));
        for (int field = 0; field < FieldCount; ++field)
            insert.bind(field + 1, trimBlanks(m_fields[field]));
        insert.run();
        transaction.commit();
    });
}

QString VM_Spellbook::Update_Existing_Caster(const QString &name)
{
    const UndoStep step(QStringLiteral("Change Caster ") + UndoStep::quoted(name));
    return statusFrom([&]() -> QString {
        Transaction transaction(db());
        const qint64 row = findCaster(trimBlanks(name));
        if (row == 0)
            return kNotFound;
        // The name itself is never rewritten: a caster cannot be renamed.
        Statement update(db(),
                         "UPDATE SpellCasters SET Lvl = ?, Race = ?, Class = ?, First = ?, Second = ?, "
                         "Third = ?, Fourth = ?, Fifth = ?, Sixth = ?, Seventh = ?, Eighth = ?, Ninth = ? "
                         "WHERE rowid = ?");
        for (int field = Lvl; field < FieldCount; ++field)
            update.bind(field, trimBlanks(m_fields[field]));
        update.bind(FieldCount, row);
        update.run();
        transaction.commit();
        return {};
    });
}

QString VM_Spellbook::Delete_Existing_Caster(const QString &name)
{
    const UndoStep step(QStringLiteral("Delete Caster ") + UndoStep::quoted(name));
    return statusFrom([&]() -> QString {
        const QString caster = trimBlanks(name);
        Transaction transaction(db());
        const qint64 row = findCaster(caster);
        if (row == 0)
            return kNotFound;
        Statement deleteCaster(db(), "DELETE FROM SpellCasters WHERE rowid = ?");
        deleteCaster.bind(1, row).run();
        // Failed spells and scrolls of the caster are kept.
        Statement deleteMembership(db(), "DELETE FROM Spellbook WHERE Caster = ?");
        deleteMembership.bind(1, caster).run();
        for (const char *day :
             {"DELETE FROM Memorized WHERE Caster = ?", "DELETE FROM MemorizedSlots WHERE Caster = ?",
              "DELETE FROM MemorizedPlans WHERE Caster = ?"}) {
            Statement deleteMemorized(db(), day);
            deleteMemorized.bind(1, caster).run();
        }
        transaction.commit();
        return {};
    });
}
