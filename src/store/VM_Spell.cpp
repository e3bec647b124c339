#include "store/VM_Spell.h"

#include "store/Blanks.h"
#include "store/SpellFields.h"
#include "store/Status.h"
#include "store/Undo.h"

namespace {

// The spell's columns in the order trimmedFields() gives them: the name, then its details.
QString spellColumns()
{
    return QStringLiteral("Name, ") + SpellFields::columnList();
}

} // namespace

VM_Spell::VM_Spell() = default;
VM_Spell::~VM_Spell() = default;

QStringList VM_Spell::trimmedFields() const
{
    QStringList fields = {trimBlanks(m_name)};
    for (const SpellFields::FieldDescription &field : SpellFields::all())
        fields.append(trimBlanks(SpellFields::value(*this, field.field)));
    return fields;
}

bool VM_Spell::Set_Spell_Details(const QString &name)
{
    try {
        m_schools = {};
        Statement spell(db(), QStringLiteral("SELECT %1 FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1")
                                  .arg(spellColumns()));
        spell.bind(1, name);
        if (spell.step()) {
            m_name = spell.text(0);
            for (const SpellFields::FieldDescription &field : SpellFields::all())
                SpellFields::setValue(*this, field.field, spell.text(1 + int(field.field)));

            // Schools in the order they were saved.
            Statement schools(db(), "SELECT Sphere FROM SpellandSphere WHERE Name = ? ORDER BY rowid");
            schools.bind(1, name);
            while (schools.step())
                m_schools.append(schools.text(0));
        }
        Set_Spellbooks(name);
        return true;
    } catch (const VmError &) {
        return false;
    }
}

VM_Spell::Found VM_Spell::read(const QString &name)
{
    if (!Set_Spell_Details(name))
        return Found::Unreadable;
    return trimBlanks(m_name).isEmpty() ? Found::Gone : Found::Read;
}

void VM_Spell::Set_Spellbooks(const QString &name)
{
    m_spellbooks = {};
    Statement select(db(), "SELECT Caster FROM Spellbook WHERE SpellName = ? ORDER BY rowid");
    select.bind(1, name);
    while (select.step())
        m_spellbooks.append(select.text(0));
}

void VM_Spell::insertSchools(const QString &name)
{
    Statement insert(db(), "INSERT INTO SpellandSphere (Name, Sphere) VALUES (?, ?)");
    for (const QString &school : std::as_const(m_schools)) {
        insert.bind(1, name).bind(2, trimBlanks(school));
        insert.run();
        insert.reset();
    }
}

void VM_Spell::insertSpellbooks(const QString &name)
{
    // A caster named twice (once with blanks around it) holds the spell once.
    Statement insert(db(),
                     "INSERT OR IGNORE INTO Spellbook (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
    for (const QString &caster : std::as_const(m_spellbooks)) {
        insert.bind(1, trimBlanks(caster)).bind(2, name).bind(3, trimBlanks(m_level));
        insert.run();
        insert.reset();
    }
}

QString VM_Spell::Add_New_Spell()
{
    const UndoStep step(QStringLiteral("Add Spell ") + UndoStep::quoted(m_name));
    return statusOf([&] {
        Transaction transaction(db());
        Statement insert(db(), QStringLiteral("INSERT INTO Spells (%1) VALUES (%2)")
                                   .arg(spellColumns(), Statement::placeholders(1 + SpellFields::Count)));
        insert.bindAll(1, trimmedFields());
        insert.run();
        const QString name = trimBlanks(m_name);
        insertSchools(name);
        insertSpellbooks(name);
        transaction.commit();
    });
}

QString VM_Spell::Update_Existing_Spell(const QString &oldName, bool keepSpellbooks)
{
    const UndoStep step(trimBlanks(oldName) == trimBlanks(m_name)
                            ? QStringLiteral("Save Spell ") + UndoStep::quoted(m_name)
                            : QStringLiteral("Rename Spell %1 to %2")
                                  .arg(UndoStep::quoted(oldName), UndoStep::quoted(m_name)));
    // Also renames: the name field is the new name, oldName (used as given) the stored one.
    return statusOf([&] {
        const QString name = trimBlanks(m_name);
        Transaction transaction(db());

        Statement deleteSchools(db(), "DELETE FROM SpellandSphere WHERE Name = ?");
        deleteSchools.bind(1, oldName).run();
        insertSchools(name);

        QString assignments;
        const QStringList columns = spellColumns().split(QStringLiteral(", "));
        for (const QString &column : columns)
            assignments +=
                (assignments.isEmpty() ? QString() : QStringLiteral(", ")) + column + QStringLiteral(" = ?");
        Statement update(db(),
                         QStringLiteral("UPDATE Spells SET %1 WHERE rowid = "
                                        "(SELECT rowid FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1)")
                             .arg(assignments));
        update.bind(update.bindAll(1, trimmedFields()), oldName);
        update.run();

        // The spells a caster failed to learn and the lines of scrolls follow a new name: left
        // under the old one they would name no spell, and the failed list would drop them.
        Statement renameFailed(db(), "UPDATE FailedSpells SET SpellName = ? WHERE SpellName = ?");
        renameFailed.bind(1, name).bind(2, oldName).run();
        Statement renameScrolls(db(), "UPDATE Scrolls SET Spell = ? WHERE Spell = ?");
        renameScrolls.bind(1, name).bind(2, oldName).run();
        if (!keepSpellbooks) {
            Statement deleteMembership(db(), "DELETE FROM Spellbook WHERE SpellName = ?");
            deleteMembership.bind(1, oldName).run();
            insertSpellbooks(name);
            // Memorized slots follow the spell to its new name; a caster whose book no longer
            // holds it sees them marked.
            for (const char *day : {"UPDATE Memorized SET SpellName = ? WHERE SpellName = ?",
                                    "UPDATE MemorizedPlans SET SpellName = ? WHERE SpellName = ?"}) {
                Statement renameMemorized(db(), day);
                renameMemorized.bind(1, name).bind(2, oldName).run();
            }
        }
        transaction.commit();
    });
}

QString VM_Spell::Delete_Spell(const QString &name)
{
    const UndoStep step(QStringLiteral("Delete Spell ") + UndoStep::quoted(name));
    return statusOf([&] {
        const QString spell = trimBlanks(name);
        Transaction transaction(db());
        Statement deleteSpell(db(), "DELETE FROM Spells WHERE rowid = "
                                    "(SELECT rowid FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1)");
        deleteSpell.bind(1, spell).run();
        Statement deleteSchools(db(), "DELETE FROM SpellandSphere WHERE Name = ?");
        deleteSchools.bind(1, spell).run();
        Statement deleteMembership(db(), "DELETE FROM Spellbook WHERE SpellName = ?");
        deleteMembership.bind(1, spell).run();
        for (const char *day : {"DELETE FROM Memorized WHERE SpellName = ?",
                                "DELETE FROM MemorizedPlans WHERE SpellName = ?"}) {
            Statement deleteMemorized(db(), day);
            deleteMemorized.bind(1, spell).run();
        }
        transaction.commit();
    });
}

QString VM_Spell::Set_Spell_Hold()
{
    return statusOf([&] {
        Transaction transaction(db());
        // The stored schools, not the collection: the print shows what the library holds.
        Statement schools(db(), "SELECT Sphere FROM SpellandSphere WHERE Name = ? ORDER BY rowid");
        schools.bind(1, trimBlanks(m_name));
        QStringList names;
        while (schools.step())
            names.append(schools.text(0));

        // The hold holds exactly one row, the spell to print.
        db().exec("DELETE FROM SpellHold;");
        Statement insert(db(), QStringLiteral("INSERT INTO SpellHold (%1, Schools) VALUES (%2)")
                                   .arg(spellColumns(), Statement::placeholders(1 + SpellFields::Count + 1)));
        insert.bind(insert.bindAll(1, trimmedFields()), trimBlanks(names.join(QStringLiteral(", "))));
        insert.run();
        transaction.commit();
    });
}

void VM_Spell::KillConnection()
{
    m_connection.close();
}
