// The library: its spellbooks and the spell lists of a spellbook, filtered by levels and schools.
// Memberships, schools, scrolls, search and printing are in VM_Library_*.cpp.

#include "store/VM_Library.h"

#include "store/AppFolder.h"
#include "store/Blanks.h"
#include "store/Names.h"
#include "store/TableReader.h"
#include "store/VmError.h"

#include <QAnyStringView>
#include <QHash>
#include <QSet>
#include <QUtf8StringView>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

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

// Finds the rows of a spell list by the UTF-8 names a statement reads in the list's own order:
// each is looked for just after the last one found, so that a name costs a comparison or two
// instead of a decoded copy or a hashed look-up. Only names that are not nearby (spells without
// schools, school rows of no listed spell) fall back to an index of the list, made at the first
// such miss and only when asked for.
class NameFinder
{
public:
    explicit NameFinder(const Table *names) : m_names(names) {}

    // The first row holding the name, or -1.
    int find(QByteArrayView bytes, bool indexOnMiss)
    {
        if (!m_names)
            return -1;
        constexpr int kLookAhead = 8;
        const QUtf8StringView name(bytes.data(), bytes.size());
        const int rows = m_names->rows();
        for (int next = m_cursor; next < rows && next < m_cursor + kLookAhead; ++next) {
            if (QAnyStringView::equal(name, m_names->at(0, next))) {
                m_cursor = next;
                return next;
            }
        }
        if (!indexOnMiss)
            return -1;
        if (m_index.isEmpty()) {
            m_index.reserve(rows);
            for (int row = rows - 1; row >= 0; --row)
                m_index.insert(m_names->at(0, row), row); // the first row of a name wins
        }
        const int row = m_index.value(bytes.isEmpty() ? QString() : QString::fromUtf8(bytes), -1);
        if (row >= 0)
            m_cursor = row;
        return row;
    }

    // The text of a name as the list holds it, or decoded when the list has none nearby.
    QString take(QByteArrayView bytes)
    {
        const int row = find(bytes, false);
        if (row >= 0)
            return m_names->at(0, row);
        return bytes.isEmpty() ? QString() : QString::fromUtf8(bytes);
    }

private:
    const Table *m_names;
    int m_cursor = 0;
    QHash<QString, int> m_index;
};

// Reads the school rows of a spellbook, whose spell names come in the order of the spell list:
// each name shares the spell list's text instead of holding a copy of its own, which for a
// large library is a string less per spell.
OptionalTable readSchoolsOf(Statement &statement, const Table &spells, qsizetype rowHint)
{
    NameFinder spellNames(&spells);
    ColumnInterner schoolNames;
    QList<QString> cells;
    cells.reserve(rowHint * 2);
    std::string previousBytes;
    QString previous;
    bool hasPrevious = false;
    while (statement.step()) {
        const QByteArrayView bytes = statement.bytes(0);
        if (!hasPrevious || std::string_view(bytes.data(), size_t(bytes.size())) != previousBytes) {
            previous = spellNames.take(bytes);
            previousBytes.assign(bytes.data(), size_t(bytes.size()));
            hasPrevious = true;
        }
        cells.append(previous);
        cells.append(schoolNames.take(statement.bytes(1)));
    }
    if (cells.isEmpty())
        return std::nullopt;
    return Table(2, std::move(cells));
}

// Reads a spell list (name, level, frequency, book, page) that most likely holds the names of
// the list read before, in the same order: their texts are shared rather than decoded again.
OptionalTable readSpellsLike(Statement &statement, const OptionalTable &before)
{
    constexpr int kColumns = 5;
    NameFinder names(before ? &*before : nullptr);
    std::vector<ColumnInterner> others(kColumns - 1);
    QList<QString> cells;
    cells.reserve((before ? before->rows() : 0) * kColumns);
    while (statement.step()) {
        cells.append(names.take(statement.bytes(0)));
        for (int column = 1; column < kColumns; ++column)
            cells.append(others[size_t(column - 1)].take(statement.bytes(column)));
    }
    if (cells.isEmpty())
        return std::nullopt;
    return Table(kColumns, std::move(cells));
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

        // The whole book is read, as opening it does, and filtered here: its names are most
        // likely those held from the last query, in the same order, and are shared rather than
        // decoded again. The levels filter costs nothing in SQL either way, since the ordered
        // index is read whole.
        Statement spellsQuery(db(), queries.orderedSpells());
        if (queries.bindCaster)
            spellsQuery.bind(1, name);
        const qsizetype schoolRows = m_schools ? m_schools->rows() : 0;
        m_schools.reset();
        OptionalTable book = readSpellsLike(spellsQuery, m_spells);
        // The tables are shared by every window that reads through this object: a filter that
        // matches nothing empties both, or the caller would read another spellbook's rows.
        m_spells.reset();
        if (!book)
            return {};

        // A level is a text such as "3"; a stored level matches one chosen exactly, as SQL's
        // IN would compare it.
        const QSet<QString> chosenLevels(levels.begin(), levels.end());
        std::vector<char> levelChosen(size_t(book->rows()));
        for (int row = 0; row < book->rows(); ++row)
            levelChosen[size_t(row)] = chosenLevels.contains(book->at(1, row));

        // The school filter runs here rather than in SQL: a spell stays with every one of its
        // schools when at least one is selected, and a walk beside the book in its own order
        // keeps this linear in its size, whatever the number of selected schools.
        const QSet<QString> selectedSchools(schools.begin(), schools.end());
        Statement schoolsQuery(db(), queries.schools);
        if (queries.bindCaster)
            schoolsQuery.bind(1, name);
        NameFinder spellRows(&*book);
        ColumnInterner schoolNames;
        QList<QString> schoolCells;
        schoolCells.reserve(schoolRows * 2);
        std::vector<char> kept(size_t(book->rows()));
        bool anyKept = false;

        // Rows come grouped by spell; a group is kept or dropped as a whole, with every row of
        // the book under its name whose level was chosen.
        std::string group;
        int groupRow = -1;
        QStringList groupSchools;
        bool groupSelected = false;
        const auto closeGroup = [&] {
            if (groupRow >= 0 && groupSelected) {
                const QString &spell = book->at(0, groupRow);
                bool listed = false;
                for (int row = groupRow; row < book->rows() && book->at(0, row) == spell; ++row) {
                    if (levelChosen[size_t(row)]) {
                        kept[size_t(row)] = true;
                        listed = true;
                    }
                }
                // The kept rows share the spell list's text of the name rather than a copy.
                for (const QString &school : std::as_const(groupSchools)) {
                    if (!listed)
                        break;
                    schoolCells.append(spell);
                    schoolCells.append(school);
                }
                anyKept = anyKept || listed;
            }
            groupSchools.clear();
            groupSelected = false;
        };
        while (schoolsQuery.step()) {
            const QByteArrayView spell = schoolsQuery.bytes(0);
            if (groupSchools.isEmpty() || std::string_view(spell.data(), size_t(spell.size())) != group) {
                closeGroup();
                group.assign(spell.data(), size_t(spell.size()));
                groupRow = spellRows.find(spell, true);
            }
            const QString school = schoolNames.take(schoolsQuery.bytes(1));
            groupSelected = groupSelected || selectedSchools.contains(school);
            groupSchools.append(school);
        }
        closeGroup();

        if (!anyKept)
            return {};
        m_schools = Table(2, std::move(schoolCells));

        QList<QString> spellCells;
        spellCells.reserve(qsizetype(std::count(kept.begin(), kept.end(), true)) * 5);
        for (int row = 0; row < book->rows(); ++row) {
            if (!kept[size_t(row)])
                continue;
            for (int column = 0; column < 5; ++column)
                spellCells.append(book->at(column, row));
        }
        book.reset();
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
