// The library's schools and the lists the forms choose from (spells, frequencies).

#include "store/VM_Library.h"

#include "store/Blanks.h"
#include "store/Status.h"
#include "store/TableReader.h"
#include "store/Undo.h"

QStringList VM_Library::Fetch_Schools_List()
{
    Statement select(
        db(), "SELECT Sphere_Name FROM [Sphere Names] ORDER BY Sphere_Name COLLATE NOCASE, Sphere_Name");
    return readTrimmedColumn(select);
}

QStringList VM_Library::Fetch_User_Schools_List()
{
    Statement select(db(), "SELECT Sphere_Name FROM [Sphere Names] WHERE Auto >= 50 "
                           "ORDER BY Sphere_Name COLLATE NOCASE, Sphere_Name");
    return readTrimmedColumn(select);
}

QString VM_Library::Fetch_School_Description(const QString &school)
{
    // A failed read is raised, not returned as "": an empty description shown as editable
    // would wipe the stored one on the next update.
    Statement select(db(), "SELECT Description FROM [Sphere Names] WHERE Sphere_Name = ? LIMIT 1");
    select.bind(1, trimBlanks(school));
    if (!select.step())
        return QStringLiteral("(No description found)");
    return trimBlanks(select.text(0));
}

QString VM_Library::Add_New_School(const QString &school)
{
    const UndoStep step(QStringLiteral("Add School ") + UndoStep::quoted(school));
    return statusFrom([&]() -> QString {
        const QString name = trimBlanks(school);
        Transaction transaction(db());
        Statement existing(db(), "SELECT 1 FROM [Sphere Names] WHERE Sphere_Name = ? LIMIT 1");
        existing.bind(1, name);
        if (existing.step())
            return QStringLiteral("School already exists");
        // Auto is left to the table's counter, which starts user schools at 50.
        Statement insert(db(), "INSERT INTO [Sphere Names] (Sphere_Name, Description) VALUES (?, NULL)");
        insert.bind(1, name).run();
        transaction.commit();
        return {};
    });
}

QString VM_Library::Update_Exisiting_School_Description(const QString &school, const QString &description)
{
    const UndoStep step(QStringLiteral("Describe School ") + UndoStep::quoted(school));
    return statusOf([&] {
        Transaction transaction(db());
        Statement update(db(), "UPDATE [Sphere Names] SET Description = ? WHERE rowid = "
                               "(SELECT rowid FROM [Sphere Names] WHERE Sphere_Name = ? LIMIT 1)");
        update.bind(1, trimBlanks(description)).bind(2, trimBlanks(school)).run();
        transaction.commit();
    });
}

QString VM_Library::Delete_New_School(const QString &school)
{
    const UndoStep step(QStringLiteral("Delete School ") + UndoStep::quoted(school));
    return statusOf([&] {
        const QString name = trimBlanks(school);
        Transaction transaction(db());
        Statement deleteSchool(db(), "DELETE FROM [Sphere Names] WHERE rowid = "
                                     "(SELECT rowid FROM [Sphere Names] WHERE Sphere_Name = ? LIMIT 1)");
        deleteSchool.bind(1, name).run();
        // The spells stay; a spell whose only school this was is left without one.
        Statement deleteLinks(db(), "DELETE FROM SpellandSphere WHERE Sphere = ?");
        deleteLinks.bind(1, name).run();
        transaction.commit();
    });
}

QStringList VM_Library::Fetch_Spells_List()
{
    Statement select(db(), "SELECT Name FROM Spells ORDER BY Name COLLATE NOCASE, Name");
    return readTrimmedColumn(select);
}

QString VM_Library::Fetch_Frequencies()
{
    return statusOf([&] {
        Statement select(db(), "SELECT Frequency, FrequencyID FROM Frequency ORDER BY FrequencyID");
        // An empty scale empties the slot: what it held may be another window's saved scrolls.
        m_scrolls = readTable(select, 2);
    });
}
