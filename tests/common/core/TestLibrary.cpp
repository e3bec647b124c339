#include "TestLibrary.h"

#include "store/AppFolder.h"
#include "store/Schema.h"
#include "store/Undo.h"

#include <QDir>
#include <QFile>

TestLibrary::TestLibrary()
{
    setAppFolder(m_dir.path());
    createLibrary(path());
    // Each test starts a run of its own.
    UndoHistory::instance().clear();
}

TestLibrary::~TestLibrary()
{
    m_connection.reset();
    setAppFolder(QString());
}

QString TestLibrary::path() const
{
    return m_dir.filePath(QStringLiteral("Spells.mdb"));
}

Connection &TestLibrary::db()
{
    if (!m_connection) {
        m_connection = std::make_unique<Connection>(path());
        // The test's own rows stand for another program's: never part of the undo history.
        UndoHistory::stopRecording(*m_connection);
    }
    return *m_connection;
}

void TestLibrary::addSchool(const QString &name, const QString &description)
{
    Statement insert(db(), "INSERT INTO [Sphere Names] (Sphere_Name, Description) VALUES (?, ?)");
    insert.bind(1, name);
    if (description.isNull())
        insert.bindNull(2);
    else
        insert.bind(2, description);
    insert.run();
}

void TestLibrary::addSpell(const QString &name, const QString &level, const QStringList &schools,
                           const QString &frequency)
{
    Statement insert(db(),
                     "INSERT INTO Spells (Name, Lvl, Frequency, Book, Page, Components, Range, Duration, "
                     "[Area of Effect], [Casting Time], [Casting Time Type], [Saving Throw], Description, "
                     "Author) VALUES (?, ?, ?, 'KXR', '12', 'V,S', '60 yards', '1 round', 'One creature', "
                     "'1', 'Segment(s)', 'Neg.', 'A test spell.', '')");
    insert.bind(1, name).bind(2, level).bind(3, frequency).run();
    Statement school(db(), "INSERT INTO SpellandSphere (Name, Sphere) VALUES (?, ?)");
    for (const QString &s : schools) {
        school.bind(1, name).bind(2, s).run();
        school.reset();
    }
}

void TestLibrary::addCaster(const QString &name)
{
    Statement insert(
        db(),
        "INSERT INTO SpellCasters (Spellbook, Lvl, Race, Class, First) VALUES (?, '5', 'Elf', 'Mage', '4')");
    insert.bind(1, name).run();
}

void TestLibrary::addToSpellbook(const QString &caster, const QString &spell, const QString &level)
{
    Statement insert(db(), "INSERT INTO Spellbook (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
    insert.bind(1, caster).bind(2, spell).bind(3, level).run();
}

void TestLibrary::addFailed(const QString &caster, const QString &spell, const QString &level)
{
    Statement insert(db(), "INSERT INTO FailedSpells (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
    insert.bind(1, caster).bind(2, spell).bind(3, level).run();
}

void TestLibrary::addReportFiles()
{
    const QDir delivered(QStringLiteral(VELLUMAR_SOURCE_DIR "/data/reports"));
    const QStringList files = delivered.entryList({QStringLiteral("*.rpt")});
    for (const QString &file : files)
        QFile::copy(delivered.filePath(file), QDir(folder()).filePath(file));
}

void TestLibrary::setSpell(const QString &name, const QList<std::pair<QString, QString>> &columns)
{
    QStringList assignments;
    for (const auto &column : columns)
        assignments.append(column.first + QStringLiteral(" = ?"));
    Statement update(db(), QStringLiteral("UPDATE Spells SET %1 WHERE Name = ?").arg(assignments.join(", ")));
    int index = 0;
    for (const auto &column : columns) {
        if (column.second.isNull())
            update.bindNull(++index);
        else
            update.bind(++index, column.second);
    }
    update.bind(++index, name).run();
}

QStringList TestLibrary::rows(const QString &sql, const QStringList &values)
{
    Statement select(db(), sql);
    for (int i = 0; i < values.size(); ++i)
        select.bind(i + 1, values.at(i));
    QStringList result;
    while (select.step()) {
        QStringList columns;
        for (int column = 0; column < select.columnCount(); ++column)
            columns.append(select.isNull(column) ? QStringLiteral("<null>") : select.text(column));
        result.append(columns.join(QLatin1Char('|')));
    }
    return result;
}

int TestLibrary::count(const QString &sql)
{
    Statement select(db(), sql);
    return select.step() ? int(select.integer(0)) : 0;
}

QStringList TestLibrary::dump()
{
    QStringList result;
    const QStringList tables =
        rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    for (const QString &table : tables) {
        QStringList tableRows = rows(QStringLiteral("SELECT * FROM [%1]").arg(table));
        tableRows.sort();
        for (const QString &row : std::as_const(tableRows))
            result.append(table + QLatin1Char(':') + row);
    }
    return result;
}
