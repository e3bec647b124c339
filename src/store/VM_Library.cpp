// The library: its spellbooks and the spell lists of a spellbook, filtered by levels and schools.
// Memberships, schools, scrolls, search and printing are in VM_Library_*.cpp.

#include "store/VM_Library.h"

#include "store/AppFolder.h"
#include "store/Blanks.h"
#include "store/NameFinder.h"
#include "store/Names.h"
#include "store/SchoolRowsAhead.h"
#include "store/SchoolRowsBuilder.h"
#include "store/TableReader.h"
#include "store/VmError.h"

#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>
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

// How many spell and school rows a spellbook most likely has, so that its tables are sized once
// instead of grown by doubling. The book read before tells, when it was this spellbook
// (sameBook); another spellbook's size tells nothing of this one's, and would have a small book
// read on a second connection. Otherwise the largest rowid of the library costs one walk down the
// table's tree and is at least the number of spells, unless rows were stored with rowids of their
// own. Room reserved and never written costs address space, not memory.
struct LikelyRows
{
    qsizetype spells = 0;
    qsizetype schools = 0;
};
LikelyRows likelyRows(Connection &db, const SpellbookQueries &queries, const Table *sameBook,
                      const OptionalTable &schoolsBefore)
{
    if (sameBook)
        return {sameBook->rows(), schoolsBefore ? schoolsBefore->rows() : 0};
    if (queries.bindCaster)
        return {};
    constexpr qint64 kMostRows = qint64(1) << 22;
    Statement largest(db, "SELECT max(rowid) FROM Spells");
    return {largest.step() ? qsizetype(std::clamp<qint64>(largest.integer(0), 0, kMostRows)) : 0, 0};
}

// Reads a spellbook's spells with readSpells, and its school rows after them, or beside them on
// a second connection when the book is large. No spells, no school rows.
template<typename ReadSpells>
std::pair<OptionalTable, OptionalTable> readSpellbook(Connection &db, const SpellbookQueries &queries,
                                                      const QString &spellbook, const LikelyRows &likely,
                                                      ReadSpells &&readSpells)
{
    // Below this many spells a second connection costs more than the time it saves.
    constexpr qsizetype kRowsWorthAThread = 20000;
    std::optional<SchoolRowsAhead> ahead;
    const QStringList values = queries.bindCaster ? QStringList{spellbook} : QStringList();
    if (likely.spells >= kRowsWorthAThread)
        ahead.emplace(db, queries.schools, values, likely.schools, likely.spells);
    OptionalTable spells = readSpells();
    if (!spells)
        return {};
    if (ahead && ahead->started()) {
        OptionalTable schools = ahead->finish(*spells);
        return {std::move(spells), std::move(schools)};
    }
    ahead.reset(); // the room it reserved
    Statement statement(db, queries.schools);
    statement.bindAll(1, values);
    OptionalTable schools = readSchoolsOf(statement, *spells, likely.schools);
    return {std::move(spells), std::move(schools)};
}

// Reads a spell list (name, level, frequency, book, page) that most likely holds the names of
// the list read before, in the same order: their texts are shared rather than decoded again.
OptionalTable readSpellsLike(Statement &statement, const OptionalTable &before)
{
    constexpr int kColumns = 5;
    const qsizetype rows = before ? before->rows() : 0;
    NameFinder names(before ? &*before : nullptr);
    Table::Column nameColumn;
    nameColumn.texts.reserve(rows);
    std::vector<ColumnBuilder> others(kColumns - 1);
    for (ColumnBuilder &column : others)
        column.reserve(rows);
    while (statement.step()) {
        nameColumn.texts.append(names.take(statement.bytes(0)));
        for (int column = 1; column < kColumns; ++column)
            others[size_t(column - 1)].take(statement.bytes(column));
    }
    if (nameColumn.texts.isEmpty())
        return std::nullopt;
    QList<Table::Column> columns{std::move(nameColumn)};
    for (ColumnBuilder &column : others)
        columns.append(column.finish());
    return Table(std::move(columns));
}

} // namespace

// The spellbook a requery filters: its spells, and its school rows taken apart into runs, one
// per spell, each naming the first row of the spell and its schools in the order read. Spells
// share their schools: a run names one of the distinct lists of schools.
struct VM_Library::Book
{
    struct Run
    {
        int spellRow = 0;
        int schools = 0;
    };

    QString name;
    std::pair<qint64, qint64> state;
    OptionalTable spells;
    OptionalTable schoolRows; // until taken apart into runs, at the first requery
    std::vector<Run> runs;
    QList<QStringList> schoolLists;

    // Its spell list, when it is the given spellbook's.
    const Table *spellsOf(const QString &spellbook) const
    {
        return name == spellbook && spells ? &*spells : nullptr;
    }

    void takeApartSchoolRows()
    {
        if (!schoolRows)
            return;
        const Table &rows = *schoolRows;
        NameFinder spellRows(&*spells);
        QHash<QStringList, int> listNumbers;
        for (int row = 0; row < rows.rows();) {
            const QString &name = rows.at(0, row);
            QStringList schools;
            for (; row < rows.rows() && rows.at(0, row) == name; ++row)
                schools.append(rows.at(1, row));
            // School rows of no listed spell take no part.
            const int spellRow = spellRows.find(name);
            if (spellRow < 0)
                continue;
            const auto number = listNumbers.constFind(schools);
            if (number != listNumbers.cend()) {
                runs.push_back({spellRow, *number});
            } else {
                listNumbers.insert(schools, int(schoolLists.size()));
                runs.push_back({spellRow, int(schoolLists.size())});
                schoolLists.append(schools);
            }
        }
        schoolRows.reset();
    }
};

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

std::pair<qint64, qint64> VM_Library::libraryState()
{
    // data_version moves with every commit of another connection, of any process; this
    // connection's own changes are counted apart.
    Statement version(db(), "PRAGMA data_version");
    const qint64 others = version.step() ? version.integer(0) : -1;
    version.reset();
    return {others, qint64(sqlite3_total_changes(db().handle()))};
}

void VM_Library::Create_Spell_List_Array(const QString &spellbook)
{
    const QString name = trimBlanks(spellbook);
    const SpellbookQueries queries = queriesFor(name);

    const std::pair<qint64, qint64> state = libraryState();
    Statement spells(db(), queries.orderedSpells());
    if (queries.bindCaster)
        spells.bind(1, name);
    const LikelyRows likely = likelyRows(db(), queries, m_book ? m_book->spellsOf(name) : nullptr, m_schools);
    // The tables read before go first, so that a large library's lists are never held twice.
    m_book.reset();
    m_spells.reset();
    m_schools.reset();
    std::tie(m_spells, m_schools) =
        readSpellbook(db(), queries, name, likely, [&] { return readTable(spells, 5, likely.spells); });
    // The book shares the tables just read: it costs nothing until a requery filters them.
    m_book = std::make_unique<Book>(Book{name, state, m_spells, m_schools, {}, {}});
    m_spellbookResident = true;
}

QString VM_Library::Requery(const QStringList &levels, const QStringList &schools, const QString &spellbook)
{
    try {
        const QString name = trimBlanks(spellbook);
        const std::pair<qint64, qint64> state = libraryState();
        if (!m_book || m_book->name != name || m_book->state != state) {
            // The whole book is read, as opening it does, and filtered here: its names are most
            // likely those held from the last query, in the same order, and are shared rather
            // than decoded again. The levels filter costs nothing in SQL either way, since the
            // ordered index is read whole.
            const SpellbookQueries queries = queriesFor(name);
            Statement spellsQuery(db(), queries.orderedSpells());
            if (queries.bindCaster)
                spellsQuery.bind(1, name);
            // The list read before shares its names whichever book it was.
            const OptionalTable &before = m_book ? m_book->spells : m_spells;
            const LikelyRows likely =
                likelyRows(db(), queries, m_book ? m_book->spellsOf(name) : nullptr, m_schools);
            m_schools.reset();
            auto [book, bookSchools] = readSpellbook(db(), queries, name, likely, [&] {
                OptionalTable read = readSpellsLike(spellsQuery, before);
                // The tables are shared by every window that reads through this object: a filter
                // that matches nothing empties both, or the caller would read another
                // spellbook's rows.
                m_book.reset();
                m_spells.reset();
                return read;
            });
            m_book =
                std::make_unique<Book>(Book{name, state, std::move(book), std::move(bookSchools), {}, {}});
        }
        m_spells.reset();
        m_schools.reset();
        if (!m_book->spells)
            return {};
        m_book->takeApartSchoolRows();
        const Table &book = *m_book->spells;

        // A level is a text such as "3"; a stored level matches one chosen exactly, as SQL's
        // IN would compare it.
        const QSet<QString> chosenLevels(levels.begin(), levels.end());
        std::vector<char> levelChosen(size_t(book.rows()));
        for (int row = 0; row < book.rows(); ++row)
            levelChosen[size_t(row)] = chosenLevels.contains(book.at(1, row));

        // A spell stays with every one of its schools when at least one is selected; a spell
        // without schools is not listed.
        const QSet<QString> selectedSchools(schools.begin(), schools.end());
        std::vector<char> listSelected(size_t(m_book->schoolLists.size()));
        for (qsizetype list = 0; list < m_book->schoolLists.size(); ++list) {
            const QStringList &named = m_book->schoolLists.at(list);
            listSelected[size_t(list)] = std::any_of(named.begin(), named.end(), [&](const QString &school) {
                return selectedSchools.contains(school);
            });
        }

        // A run is kept or dropped as a whole, with every row of the book under its name whose
        // level was chosen; the kept rows share the book's text of the name rather than a copy.
        QList<QString> schoolCells;
        std::vector<char> kept(size_t(book.rows()));
        for (const Book::Run &run : m_book->runs) {
            if (!listSelected[size_t(run.schools)])
                continue;
            const QString &spell = book.at(0, run.spellRow);
            bool listed = false;
            for (int row = run.spellRow; row < book.rows() && book.at(0, row) == spell; ++row) {
                if (levelChosen[size_t(row)]) {
                    kept[size_t(row)] = true;
                    listed = true;
                }
            }
            if (!listed)
                continue;
            for (const QString &school : m_book->schoolLists.at(run.schools)) {
                schoolCells.append(spell);
                schoolCells.append(school);
            }
        }
        if (schoolCells.isEmpty())
            return {};
        m_schools = Table(2, std::move(schoolCells));

        QList<int> keptRows;
        keptRows.reserve(qsizetype(std::count(kept.begin(), kept.end(), true)));
        for (int row = 0; row < book.rows(); ++row) {
            if (kept[size_t(row)])
                keptRows.append(row);
        }
        m_spells = book.rowsAt(keptRows);
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
