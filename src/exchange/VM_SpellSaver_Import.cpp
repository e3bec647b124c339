#include "exchange/VM_SpellSaver.h"

#include "store/Status.h"

#include <QHash>

namespace {

const QString kReservedSpellbook = QStringLiteral("KXR");

const char *const kSpellColumns = "Name, Lvl, Frequency, Book, Page, Components, Range, Duration, "
                                  "[Area of Effect], [Casting Time], [Casting Time Type], [Saving Throw], "
                                  "Description, Author";
constexpr int kSpellColumnCount = 14;

const char *const kCasterColumns = "Spellbook, Lvl, Race, Class, First, Second, Third, Fourth, Fifth, Sixth, "
                                   "Seventh, Eighth, Ninth";
constexpr int kCasterColumnCount = 13;

// The fourteen stored values of a record, in kSpellColumns order.
QStringList storedValues(const VM_Spell &record)
{
    return {record.Fetch_Spell_Name().trimmed(),
            record.Fetch_Spell_Level().trimmed(),
            record.Fetch_Spell_Frequency().trimmed(),
            record.Fetch_Spell_Book_Number().trimmed(),
            record.Fetch_Spell_Page_Number().trimmed(),
            record.Fetch_Spell_Components().trimmed(),
            record.Fetch_Spell_Range().trimmed(),
            record.Fetch_Spell_Duration().trimmed(),
            record.Fetch_Spell_Area_of_Effect().trimmed(),
            record.Fetch_Spell_Casting_Time().trimmed(),
            record.Fetch_Spell_Casting_Time_Type().trimmed(),
            record.Fetch_Spell_Saving_Throw().trimmed(),
            record.Fetch_Spell_Description().trimmed(),
            record.Fetch_Spell_Author().trimmed()};
}

// The check box that decides for a record: that of the first row whose text is the record's
// name, exactly. A record without such a row is not imported.
QHash<QString, bool> checkBoxesByName(const ListRows &list)
{
    QHash<QString, bool> checked;
    checked.reserve(list.size());
    for (auto row = list.crbegin(); row != list.crend(); ++row)
        checked.insert(row->text, row->checked); // walking backwards leaves the first row's box
    return checked;
}

} // namespace

void VM_SpellSaver::ImportSpells(const ListRows &list)
{
    raiseAs("ImportSpells", [&] {
        const QHash<QString, bool> checked = checkBoxesByName(list);
        for (const VM_Spell &record : m_importList) {
            if (!checked.value(record.Fetch_Spell_Name(), false))
                continue;
            Transaction transaction(db());
            if (Is_Spell_In_Library(record.Fetch_Spell_Name()))
                Overwrite_Existing_Spell(record);
            else
                Add_New_Spell(record);
            transaction.commit();
        }
    });
}

void VM_SpellSaver::ImportSpellbook(const ListRows &list, bool replaceList, bool replaceDetails,
                                    bool overwriteSpells)
{
    raiseAs("ImportSpellbook", [&] {
        const QString caster = casterName();
        if (caster.isEmpty())
            throw VmError(-1, QString(),
                          QStringLiteral("The spellbook has no name: enter one before importing it."));
        if (caster == kReservedSpellbook)
            throw VmError(
                -1, QString(),
                QStringLiteral("KXR is the name of the whole library: give the spellbook another name "
                               "before importing it."));

        const bool casterExists = Does_Caster_Exist();
        if (replaceList && casterExists) {
            Transaction transaction(db());
            Clear_Spellbook_List();
            transaction.commit();
        }

        const QHash<QString, bool> checked = checkBoxesByName(list);
        for (const VM_Spell &record : m_importList) {
            if (!checked.value(record.Fetch_Spell_Name(), false))
                continue;
            Transaction transaction(db());
            if (replaceList || !casterExists)
                Add_Spell_To_Spellbook(caster, record.Fetch_Spell_Name().trimmed());
            if (!Is_Spell_In_Library(record.Fetch_Spell_Name()))
                Add_New_Spell(record);
            else if (overwriteSpells)
                Overwrite_Existing_Spell(record);
            transaction.commit();
        }

        // The caster row comes last: its list is complete before the caster appears.
        if (!casterExists || replaceDetails) {
            Transaction transaction(db());
            if (casterExists)
                Delete_Caster_Record();
            Add_Caster_Record();
            transaction.commit();
        }
    });
}

bool VM_SpellSaver::Is_Spell_In_Library(const QString &name)
{
    // Names are stored trimmed, so a name that carried blanks in the file finds its spell.
    Statement select(db(), "SELECT 1 FROM Spells WHERE Name = ? LIMIT 1");
    select.bind(1, name.trimmed());
    return select.step();
}

void VM_SpellSaver::insertSchools(const VM_Spell &record)
{
    Statement insert(db(), "INSERT INTO SpellandSphere (Name, Sphere) VALUES (?, ?)");
    const QString name = record.Fetch_Spell_Name().trimmed();
    const QStringList schools = record.Fetch_Spell_Schools_Collection();
    for (const QString &school : schools) {
        insert.bind(1, name).bind(2, school.trimmed());
        insert.run();
        insert.reset();
    }
}

void VM_SpellSaver::Add_New_Spell(const VM_Spell &record)
{
    Statement insert(db(),
                     QStringLiteral("INSERT INTO Spells (%1) VALUES (%2)")
                         .arg(QLatin1String(kSpellColumns), Statement::placeholders(kSpellColumnCount)));
    insert.bindAll(1, storedValues(record));
    insert.run();
    insertSchools(record);
}

void VM_SpellSaver::Overwrite_Existing_Spell(const VM_Spell &record)
{
    const QStringList values = storedValues(record);
    Statement deleteSchools(db(), "DELETE FROM SpellandSphere WHERE Name = ?");
    deleteSchools.bind(1, values[0]).run();
    insertSchools(record);

    QString assignments;
    for (const QString &column : QLatin1String(kSpellColumns).toString().split(QStringLiteral(", ")))
        assignments +=
            (assignments.isEmpty() ? QString() : QStringLiteral(", ")) + column + QStringLiteral(" = ?");
    Statement update(db(), QStringLiteral("UPDATE Spells SET %1 WHERE rowid = "
                                          "(SELECT rowid FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1)")
                               .arg(assignments));
    update.bind(update.bindAll(1, values), values[0]);
    update.run();
}

bool VM_SpellSaver::Does_Caster_Exist()
{
    Statement select(db(), "SELECT 1 FROM SpellCasters WHERE Spellbook = ? LIMIT 1");
    select.bind(1, casterName());
    return select.step();
}

void VM_SpellSaver::Clear_Spellbook_List()
{
    Statement remove(db(), "DELETE FROM Spellbook WHERE Caster = ?");
    remove.bind(1, casterName()).run();
}

void VM_SpellSaver::Add_Spell_To_Spellbook(const QString &caster, const QString &spell)
{
    Statement insert(db(), "INSERT INTO Spellbook (Caster, SpellName) VALUES (?, ?)");
    insert.bind(1, caster.trimmed()).bind(2, spell.trimmed()).run();
}

void VM_SpellSaver::Delete_Caster_Record()
{
    Statement remove(db(), "DELETE FROM SpellCasters WHERE rowid = "
                           "(SELECT rowid FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1)");
    remove.bind(1, casterName()).run();
}

void VM_SpellSaver::Add_Caster_Record()
{
    QStringList values;
    for (const QString &value : std::as_const(m_casterDetails))
        values.append(value.trimmed());
    Statement insert(db(),
                     QStringLiteral("INSERT INTO SpellCasters (%1) VALUES (%2)")
                         .arg(QLatin1String(kCasterColumns), Statement::placeholders(kCasterColumnCount)));
    insert.bindAll(1, values);
    insert.run();
}
