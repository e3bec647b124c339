// The library: its spellbooks and the spell lists of a spellbook, filtered by levels and schools.
// Memberships, schools, scrolls, search and printing are in VM_Library_*.cpp.

#include "store/VM_Library.h"

#include "store/AppFolder.h"
#include "store/Blanks.h"
#include "store/Names.h"
#include "store/TableReader.h"
#include "store/VmError.h"

#include <QAnyStringView>
#include <QSet>
#include <QUtf8StringView>

namespace {

// Names sort alphabetically; equal keys keep a fixed order by their exact text.
const char *const kSpellsOfLibrary = "SELECT Name, Lvl, Frequency, Book, Page FROM Spells";
const char *const kSpellsOfCaster =
    "SELECT Spells.Name, Spells.Lvl, Spells.Frequency, Spells.Book, Spells.Page "
    "FROM Spellbook JOIN Spells ON Spells.Name = Spellbook.SpellName "
    "WHERE Spellbook.Caster = ?";
const char *const kSpellsOfLibraryOrder = " ORDER BY Name COLLATE NOCASE, Name";
const char *const kSpellsOfCasterOrder = " ORDER BY Spells.Name COLLATE NOCASE, Spells.Name";

const char *const kSchoolsOfLibrary = "SELECT Name, Sphere FROM SpellandSphere";
const char *const kSchoolsOfCaster =
    "SELECT SpellandSphere.Name, SpellandSphere.Sphere "
    "FROM Spellbook JOIN SpellandSphere ON SpellandSphere.Name = Spellbook.SpellName "
    "WHERE Spellbook.Caster = ?";
const char *const kSchoolsOfLibraryOrder =
    " ORDER BY Name COLLATE NOCASE, Name, Sphere COLLATE NOCASE, Sphere";
const char *const kSchoolsOfCasterOrder =
    " ORDER BY SpellandSphere.Name COLLATE NOCASE, SpellandSphere.Name, "
    "SpellandSphere.Sphere COLLATE NOCASE, SpellandSphere.Sphere";

// The two statements of a spellbook: the reserved one is the whole library, any other the
// caster's membership rows joined to the spells.
struct SpellbookQueries
{
    QString spells;
    QString spellsOrder;
    QString schools;
    bool bindCaster = false;

    QString orderedSpells() const { return spells + spellsOrder; }
};

SpellbookQueries queriesFor(const QString &trimmedSpellbook)
{
    if (trimmedSpellbook == kReservedSpellbook)
        return {QLatin1String(kSpellsOfLibrary), QLatin1String(kSpellsOfLibraryOrder),
                QLatin1String(kSchoolsOfLibrary) + QLatin1String(kSchoolsOfLibraryOrder), false};
    return {QLatin1String(kSpellsOfCaster), QLatin1String(kSpellsOfCasterOrder),
            QLatin1String(kSchoolsOfCaster) + QLatin1String(kSchoolsOfCasterOrder), true};
}

// Reads the school rows of a spellbook, whose spell names come in the order of the spell list:
// each name shares the spell list's text instead of holding a copy of its own, which for a
// large library is a string less per spell. A name the list does not hold nearby is read as is.
OptionalTable readSchoolsOf(Statement &statement, const Table &spells, qsizetype rowHint)
{
    constexpr int kLookAhead = 8;
    ColumnInterner schoolNames;
    QList<QString> cells;
    cells.reserve(rowHint * 2);
    int spell = 0;
    QString previous;
    bool hasPrevious = false;
    while (statement.step()) {
        const QByteArrayView bytes = statement.bytes(0);
        const QUtf8StringView name(bytes.data(), bytes.size());
        if (!hasPrevious || !QAnyStringView::equal(name, previous)) {
            int found = -1;
            for (int next = spell; found < 0 && next < spells.rows() && next < spell + kLookAhead; ++next) {
                if (QAnyStringView::equal(name, spells.at(0, next)))
                    found = next;
            }
            if (found >= 0) {
                spell = found;
                previous = spells.at(0, found);
            } else {
                previous = bytes.isEmpty() ? QString() : QString::fromUtf8(bytes);
            }
            hasPrevious = true;
        }
        cells.append(previous);
        cells.append(schoolNames.take(statement.bytes(1)));
    }
    if (cells.isEmpty())
        return std::nullopt;
    return Table(2, std::move(cells));
}

} // namespace

VM_Library::VM_Library() : m_connection(std::make_unique<Connection>(libraryPath())) {}

VM_Library::~VM_Library() = default;

QStringList VM_Library::Get_Exisiting_Spellbook_Names()
{
    // Casters are listed in the order they were created, after the reserved spellbook.
    Statement select(db(), "SELECT Spellbook FROM SpellCasters ORDER BY rowid");
    QStringList names = readTrimmedColumn(select);
    names.prepend(kReservedSpellbook);
    m_spellbookCount = int(names.size());
    return names;
}

int VM_Library::Fetch_Spellbooks_Count() const
{
    return m_spellbookCount;
}

void VM_Library::Create_Spell_List_Array(const QString &spellbook)
{
    const QString name = trimBlanks(spellbook);
    const SpellbookQueries queries = queriesFor(name);

    Statement spells(db(), queries.orderedSpells());
    if (queries.bindCaster)
        spells.bind(1, name);
    const qsizetype spellRows = m_spells ? m_spells->rows() : 0;
    const qsizetype schoolRows = m_schools ? m_schools->rows() : 0;
    // The tables read before go first, so that a large library's lists are never held twice.
    m_spells.reset();
    m_schools.reset();
    m_spells = readTable(spells, 5, spellRows);
    if (m_spells) {
        Statement schools(db(), queries.schools);
        if (queries.bindCaster)
            schools.bind(1, name);
        m_schools = readSchoolsOf(schools, *m_spells, schoolRows);
    } else {
        m_schools.reset(); // an empty spellbook has no schools, whoever read the table before
    }
    m_spellbookResident = true;
}

QString VM_Library::Requery(const QStringList &levels, const QStringList &schools, const QString &spellbook)
{
    try {
        const QString name = trimBlanks(spellbook);
        const SpellbookQueries queries = queriesFor(name);
        const QStringList levelValues = QSet<QString>(levels.begin(), levels.end()).values();

        Statement spellsQuery(
            db(), queries.spells + QLatin1String(queries.bindCaster ? " AND " : " WHERE ") +
                      QStringLiteral("Lvl IN (%1)").arg(Statement::placeholders(levelValues.size())) +
                      queries.spellsOrder);
        int next = 1;
        if (queries.bindCaster)
            spellsQuery.bind(next++, name);
        spellsQuery.bindAll(next, levelValues);
        const qsizetype spellRows = m_spells ? m_spells->rows() : 0;
        const qsizetype schoolRows = m_schools ? m_schools->rows() : 0;
        // The tables read before go first, so that a large library's lists are never held twice.
        m_spells.reset();
        m_schools.reset();
        const OptionalTable working = readTable(spellsQuery, 5, spellRows);
        // The tables are shared by every window that reads through this object: a filter that
        // matches nothing empties both, or the caller would read another spellbook's rows.
        if (!working)
            return {};

        // The school filter runs here rather than in SQL: a spell stays with every one of its
        // schools when at least one is selected, and hashed lookups keep this linear in the
        // size of the spellbook whatever the number of selected schools.
        QSet<QString> listed;
        listed.reserve(working->rows());
        for (int row = 0; row < working->rows(); ++row)
            listed.insert(working->at(0, row));
        const QSet<QString> selectedSchools(schools.begin(), schools.end());

        Statement schoolsQuery(db(), queries.schools);
        if (queries.bindCaster)
            schoolsQuery.bind(1, name);
        ColumnInterner spellNames;
        ColumnInterner schoolNames;
        QList<QString> schoolCells;
        schoolCells.reserve(schoolRows * 2);
        QSet<QString> kept;
        kept.reserve(listed.size());

        // Rows come grouped by spell; a group is kept or dropped as a whole.
        QString group;
        QStringList groupSchools;
        bool groupSelected = false;
        const auto closeGroup = [&] {
            // The kept rows share the spell list's text of the name rather than a copy of it.
            const auto spell = groupSelected ? listed.constFind(group) : listed.cend();
            if (spell != listed.cend()) {
                kept.insert(*spell);
                for (const QString &school : std::as_const(groupSchools)) {
                    schoolCells.append(*spell);
                    schoolCells.append(school);
                }
            }
            groupSchools.clear();
            groupSelected = false;
        };
        while (schoolsQuery.step()) {
            const QString spell = spellNames.take(schoolsQuery.bytes(0));
            if (spell != group || groupSchools.isEmpty()) {
                closeGroup();
                group = spell;
            }
            const QString school = schoolNames.take(schoolsQuery.bytes(1));
            groupSelected = groupSelected || selectedSchools.contains(school);
            groupSchools.append(school);
        }
        closeGroup();

        if (kept.isEmpty())
            return {};
        m_schools = Table(2, std::move(schoolCells));

        QList<QString> spellCells;
        spellCells.reserve(qsizetype(kept.size()) * 5);
        for (int row = 0; row < working->rows(); ++row) {
            if (!kept.contains(working->at(0, row)))
                continue;
            for (int column = 0; column < 5; ++column)
                spellCells.append(working->at(column, row));
        }
        m_spells = Table(5, std::move(spellCells));
        return {};
    } catch (const VmError &error) {
        return error.description.trimmed();
    }
}

void VM_Library::LoadSpellList(const QString &caster, ListRows &list)
{
    list.clear();
    Statement failed(db(), "SELECT SpellName FROM FailedSpells WHERE Caster = ? ORDER BY rowid");
    failed.bind(1, trimBlanks(caster));
    Statement spell(
        db(), "SELECT Name, Lvl, Frequency, Book, Page FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1");
    while (failed.step()) {
        spell.bind(1, trimBlanks(failed.text(0)));
        // A failed spell that has since left the library is not listed.
        if (spell.step())
            list.append(ListRow{trimBlanks(spell.text(0)),
                                {spell.text(1), spell.text(2), spell.text(3), spell.text(4)}});
        spell.reset();
    }
}

QString VM_Library::Fetch_Current_Spellbook_Name() const
{
    return m_currentSpellbook;
}

void VM_Library::ReSet_Current_Spellbook_Name(const QString &name)
{
    m_currentSpellbook = name;
}

bool VM_Library::Is_Spellbook_Resident() const
{
    return m_spellbookResident;
}

OptionalTable VM_Library::Fetch_Spells_Array() const
{
    return m_spells;
}

OptionalTable VM_Library::Fetch_Schools_Array() const
{
    return m_schools;
}

OptionalTable VM_Library::Fetch_Search_Array() const
{
    return m_search;
}

OptionalTable VM_Library::Fetch_Scrolls_Array() const
{
    return m_scrolls;
}
