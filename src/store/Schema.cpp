#include "store/Schema.h"

#include "store/Database.h"
#include "store/VmError.h"

#include <QFile>
#include <QSet>

const char *const kFrequencies[6] = {"Common", "UnCommon", "Rare", "Very Rare", "Unique", "Restricted"};

const QStringList &frequencyNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const char *frequency : kFrequencies)
            list.append(QLatin1String(frequency));
        return list;
    }();
    return names;
}

const QStringList &componentSets()
{
    static const QStringList sets = {QStringLiteral("V"),    QStringLiteral("S"),   QStringLiteral("M"),
                                     QStringLiteral("V,S"),  QStringLiteral("S,M"), QStringLiteral("V,M"),
                                     QStringLiteral("V,S,M")};
    return sets;
}

const QStringList &castingTimeTypes()
{
    static const QStringList types = {QStringLiteral("Segment(s)"), QStringLiteral("Round(s)"),
                                      QStringLiteral("Turn(s)"),    QStringLiteral("Hour(s)"),
                                      QStringLiteral("Day(s)"),     QStringLiteral("Special")};
    return types;
}

namespace {

// Every relation is by name. Text columns compare case-sensitively (SQLite's binary
// collation), which is how the program compares names.
const char *const kSchema = R"SQL(
CREATE TABLE Spells (
    Name TEXT,
    Lvl TEXT,
    Frequency TEXT,
    In_School TEXT,
    Book TEXT,
    Page TEXT,
    Components TEXT,
    Range TEXT,
    Duration TEXT,
    [Area of Effect] TEXT,
    [Casting Time Type] TEXT,
    [Casting Time] TEXT,
    [Saving Throw] TEXT,
    Description TEXT,
    Author TEXT
);

CREATE TABLE SpellandSphere (
    Name TEXT,
    Sphere TEXT
);

-- Built-in schools are loaded with Auto below 50; the sequence is started at 49 so that
-- every school added later gets 50 or more, and AUTOINCREMENT never hands out a number twice.
CREATE TABLE [Sphere Names] (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    Sphere_Name TEXT UNIQUE,
    Description TEXT
);
INSERT INTO sqlite_sequence (name, seq) VALUES ('Sphere Names', 49);

CREATE TABLE SpellCasters (
    Spellbook TEXT,
    Lvl TEXT,
    Race TEXT,
    Class TEXT,
    First TEXT,
    Second TEXT,
    Third TEXT,
    Fourth TEXT,
    Fifth TEXT,
    Sixth TEXT,
    Seventh TEXT,
    Eighth TEXT,
    Ninth TEXT
);

CREATE TABLE Spellbook (
    Caster TEXT,
    SpellName TEXT,
    SpellLevel TEXT
);
-- A spell is in a spellbook once: an import that is run again adds nothing twice.
CREATE UNIQUE INDEX Spellbook_Once ON Spellbook (Caster, SpellName);

CREATE TABLE FailedSpells (
    Caster TEXT,
    SpellName TEXT,
    SpellLevel TEXT
);

CREATE TABLE Frequency (
    Frequency TEXT,
    FrequencyID INTEGER
);

CREATE TABLE Scrolls (
    Caster TEXT,
    ScrollName TEXT,
    Spell TEXT,
    Lvl TEXT,
    Book TEXT,
    Page TEXT,
    Frequency TEXT
);

CREATE TABLE SpellHold (
    Name TEXT,
    Lvl TEXT,
    Frequency TEXT,
    Book TEXT,
    Page TEXT,
    Components TEXT,
    Range TEXT,
    Duration TEXT,
    [Area of Effect] TEXT,
    [Casting Time Type] TEXT,
    [Casting Time] TEXT,
    [Saving Throw] TEXT,
    Description TEXT,
    Author TEXT,
    Schools TEXT
);
CREATE TABLE CasterHold (
    Caster TEXT,
    CasterFilter TEXT
);
CREATE TABLE SpellbookFiltered (
    Caster TEXT,
    SpellName TEXT,
    SpellLevel TEXT
);
CREATE TABLE ScrollHold (
    ScrollName TEXT,
    Caster TEXT,
    Spell TEXT,
    Lvl TEXT,
    Book TEXT,
    Page TEXT
);

-- A left join: a spell whose last school was deleted is still found by its card and the search.
CREATE VIEW AddSpheres AS
    SELECT Spells.*, SpellandSphere.Sphere AS Sphere
    FROM Spells LEFT JOIN SpellandSphere ON Spells.Name = SpellandSphere.Name;
)SQL";

// The indexes exist for speed only: the two "ordered" ones cover the spellbook lists, which are
// read in name order. A library made by another tool may lack them (see createMissingIndexes).
struct IndexDefinition
{
    const char *name;
    const char *table;
    const char *columns;
};
const IndexDefinition kIndexes[] = {
    {"Spells_ByName", "Spells", "(Name)"},
    {"Spells_Ordered", "Spells", "(Name COLLATE NOCASE, Name, Lvl, Frequency, Book, Page)"},
    {"SpellandSphere_ByName", "SpellandSphere", "(Name)"},
    {"SpellandSphere_Ordered", "SpellandSphere",
     "(Name COLLATE NOCASE, Name, Sphere COLLATE NOCASE, Sphere)"},
    {"SpellCasters_ByName", "SpellCasters", "(Spellbook)"},
    {"Spellbook_BySpell", "Spellbook", "(SpellName)"},
    {"FailedSpells_ByCaster", "FailedSpells", "(Caster, SpellName)"},
    {"Scrolls_ByScroll", "Scrolls", "(Caster, ScrollName)"},
};

void createIndexes(Connection &connection, const QSet<QString> &skipped, const QSet<QString> &tables)
{
    for (const IndexDefinition &index : kIndexes) {
        if (skipped.contains(QString::fromLatin1(index.name).toLower()) ||
            !tables.contains(QString::fromLatin1(index.table).toLower()))
            continue;
        const QByteArray sql = QByteArray("CREATE INDEX IF NOT EXISTS ") + index.name + " ON " + index.table +
                               ' ' + index.columns + ';';
        connection.exec(sql.constData());
    }
}

// The memorized spells of each caster's day, the slots memorizing has at each level where the
// user set them (a level without a row starts from the caster's figure), and named plans of a
// day to load again. A library from before memorizing gains these tables on its first opening.
const char *const kMemorizedSchema = R"SQL(
CREATE TABLE IF NOT EXISTS Memorized (
    Caster TEXT,
    SpellName TEXT,
    SpellLevel TEXT,
    SlotOrder INTEGER,
    IsCast INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS Memorized_ByCaster ON Memorized (Caster, SpellLevel, SlotOrder);
CREATE INDEX IF NOT EXISTS Memorized_BySpell ON Memorized (SpellName);
CREATE TABLE IF NOT EXISTS MemorizedSlots (
    Caster TEXT,
    SpellLevel TEXT,
    Slots INTEGER NOT NULL
);
CREATE UNIQUE INDEX IF NOT EXISTS MemorizedSlots_Once ON MemorizedSlots (Caster, SpellLevel);
CREATE TABLE IF NOT EXISTS MemorizedPlans (
    Caster TEXT,
    PlanName TEXT,
    SpellName TEXT,
    SpellLevel TEXT,
    SlotOrder INTEGER
);
CREATE INDEX IF NOT EXISTS MemorizedPlans_ByCaster ON MemorizedPlans (Caster, PlanName);
)SQL";

bool hasTable(Connection &connection, const char *name)
{
    Statement select(connection, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    select.bind(1, QString::fromLatin1(name));
    return select.step();
}

} // namespace

void addMemorizedTable(Connection &connection)
{
    if (!hasTable(connection, "Spells") ||
        (hasTable(connection, "Memorized") && hasTable(connection, "MemorizedSlots") &&
         hasTable(connection, "MemorizedPlans")))
        return;
    Transaction transaction(connection);
    connection.exec(kMemorizedSchema);
    transaction.commit();
}

void createSchema(Connection &connection)
{
    Transaction transaction(connection);
    connection.exec(kSchema);
    QSet<QString> tables;
    for (const IndexDefinition &index : kIndexes)
        tables.insert(QString::fromLatin1(index.table).toLower());
    createIndexes(connection, {}, tables);
    Statement insert(connection, "INSERT INTO Frequency (Frequency, FrequencyID) VALUES (?, ?)");
    for (int i = 0; i < 6; ++i) {
        insert.bind(1, QString::fromLatin1(kFrequencies[i])).bind(2, qint64(i + 1));
        insert.run();
        insert.reset();
    }
    transaction.commit();
    addMemorizedTable(connection);
}

void upgradeLibrary(Connection &connection)
{
    // A library from before memorized spells gains their table. One that cannot take it now (a
    // full disk) still opens; the memorized spells try again and say why they fail.
    try {
        addMemorizedTable(connection);
    } catch (const VmError &) {
    }
    int found = 0;
    {
        Statement current(connection,
                          "SELECT 1 FROM sqlite_master WHERE name IN ('Spellbook_Once', 'Spellbook')");
        while (current.step())
            ++found;
    }
    if (found != 1) // up to date, or no spellbook table to upgrade
        return;
    // Older libraries allowed a spell twice in one spellbook; the first row of each pair stays.
    // Another connection may be upgrading at the same moment: each statement can run twice.
    Transaction transaction(connection);
    connection.exec("DELETE FROM Spellbook WHERE rowid NOT IN "
                    "(SELECT min(rowid) FROM Spellbook GROUP BY Caster, SpellName);"
                    "DROP INDEX IF EXISTS Spellbook_ByCaster;"
                    "CREATE UNIQUE INDEX IF NOT EXISTS Spellbook_Once ON Spellbook (Caster, SpellName);");
    transaction.commit();
}

void createLibrary(const QString &path)
{
    auto connection = Connection::create(path);
    try {
        createSchema(*connection);
    } catch (...) {
        // A half-made library is worse than none: nothing must later open it as complete.
        connection.reset();
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
        throw;
    }
}

void createMissingIndexes(Connection &connection)
{
    // SQLite compares table and index names without regard to letter case.
    QSet<QString> present;
    QSet<QString> tables;
    {
        Statement select(connection, "SELECT type, name FROM sqlite_master WHERE type IN ('table', 'index')");
        while (select.step())
            (select.text(0) == QLatin1String("index") ? present : tables).insert(select.text(1).toLower());
    }
    bool missing = false;
    for (const IndexDefinition &index : kIndexes)
        missing = missing || (!present.contains(QString::fromLatin1(index.name).toLower()) &&
                              tables.contains(QString::fromLatin1(index.table).toLower()));
    if (!missing)
        return;
    Transaction transaction(connection);
    createIndexes(connection, present, tables);
    transaction.commit();
}
