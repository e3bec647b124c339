// The undo history: TEMP triggers on every connection that may write log each row change, with
// the row as it was and a hash of the row as it is left, into a TEMP table of that connection
// (after SQLite's "Automatic Undo/Redo" note, with values in place of SQL text), which rolls back
// with a failed transaction or savepoint. The entries are gathered from every connection when a
// step closes, and taken back through statements prepared once per table, their values bound.

#include "store/Undo.h"

#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/LargePageCache.h"
#include "store/VmError.h"

#include <QHash>
#include <QLocale>
#include <QMutex>

#include <algorithm>
#include <atomic>
#include <optional>

#include <sqlite3.h>

namespace {

// The tables a command changes, each with the column that names what a row belongs to. The hold
// tables of the reports are scratch space and take no part.
struct RecordedTable
{
    const char *name;
    const char *owner;
};
const RecordedTable kRecorded[] = {
    {"Spells", "Name"},
    {"SpellandSphere", "Name"},
    {"Sphere Names", "Sphere_Name"},
    {"SpellCasters", "Spellbook"},
    {"Spellbook", "Caster"},
    {"FailedSpells", "Caster"},
    {"Scrolls", "Caster"},
    {"Memorized", "Caster"},
    {"MemorizedSlots", "Caster"},
    {"MemorizedPlans", "Caster"},
};
enum TableIndex { kSpells, kSpellandSphere, kSchools, kCasters };
constexpr int kTableCount = int(std::size(kRecorded));

QByteArray identifier(const QByteArray &name)
{
    return '"' + QByteArray(name).replace('"', "\"\"") + '"';
}

// A table as this library has it: its columns, less an INTEGER PRIMARY KEY (which is the rowid).
struct TableShape
{
    int index = 0;
    QByteArray name;
    QList<QByteArray> columns;
    bool hasOwner = false;

    // The hash of the row, the same for the trigger (prefix "new.") and for the check (none).
    QByteArray hash(const QByteArray &prefix) const
    {
        QList<QByteArray> parts;
        for (const QByteArray &column : columns)
            parts.append(prefix + identifier(column));
        return "vellumar_undo_hash(" + parts.join(", ") + ')';
    }
};

QList<TableShape> shapesOf(Connection &connection)
{
    QList<TableShape> shapes;
    // A library changed by another tool may hold a view or nothing under a table's name: only
    // tables take triggers that record.
    Statement isTable(connection, "SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = ?");
    for (int index = 0; index < kTableCount; ++index) {
        isTable.bind(1, QString::fromLatin1(kRecorded[index].name));
        const bool table = isTable.step();
        isTable.reset();
        if (!table)
            continue;
        TableShape shape;
        shape.index = index;
        shape.name = kRecorded[index].name;
        // The engine has no table-valued pragmas; the name is one of the constants above.
        Statement columns(connection, ("PRAGMA table_info(" + identifier(shape.name) + ')').constData());
        int keys = 0;
        QByteArray integerKey;
        while (columns.step()) {
            const QByteArray column = columns.text(1).toUtf8();
            if (columns.integer(5) > 0) {
                ++keys;
                if (columns.text(2).toUpper() == QLatin1String("INTEGER"))
                    integerKey = column;
            }
            shape.columns.append(column);
            shape.hasOwner =
                shape.hasOwner || column.compare(kRecorded[index].owner, Qt::CaseInsensitive) == 0;
        }
        if (keys == 1 && !integerKey.isEmpty())
            shape.columns.removeOne(integerKey);
        if (!shape.columns.isEmpty())
            shapes.append(shape);
    }
    return shapes;
}

// The most columns a recorded table may have: the log keeps a column for each.
constexpr int kMostColumns = 40;

QByteArray valueColumns()
{
    QList<QByteArray> columns;
    for (int column = 0; column < kMostColumns; ++column)
        columns.append("v" + QByteArray::number(column));
    return columns.join(", ");
}

// Each change logs the row's number, the row as it was (an update's or delete's) and a hash of
// the row as it is left: the values themselves, so that undoing binds them back unchanged and
// never builds SQL out of them.
QByteArray triggersFor(const TableShape &shape)
{
    const QByteArray table = identifier(shape.name);
    const QByteArray number = QByteArray::number(shape.index);
    const QByteArray owner = identifier(kRecorded[shape.index].owner);
    const QByteArray newOwner = shape.hasOwner ? "new." + owner : QByteArray("NULL");
    const QByteArray oldOwner = shape.hasOwner ? "old." + owner : QByteArray("NULL");
    QList<QByteArray> targets;
    QList<QByteArray> olds;
    for (int column = 0; column < shape.columns.size(); ++column) {
        targets.append("v" + QByteArray::number(column));
        olds.append("old." + identifier(shape.columns.at(column)));
    }
    const QByteArray log =
        "INSERT INTO vellumar_undo_log (sequence, tbl, width, rid, kind, owner, former, after";
    const QByteArray values = ") VALUES (vellumar_undo_sequence(), " + number + ", " +
                              QByteArray::number(shape.columns.size()) + ", ";
    const QByteArray trigger = "CREATE TEMP TRIGGER IF NOT EXISTS vellumar_undo_" + number;

    QByteArray sql;
    sql += trigger + "_insert AFTER INSERT ON " + table + " BEGIN " + log + values + "new.rowid, 0, " +
           newOwner + ", NULL, " + shape.hash("new.") + "); END;\n";
    sql += trigger + "_update AFTER UPDATE ON " + table + " BEGIN " + log + ", " + targets.join(", ") +
           values + "old.rowid, 1, " + newOwner + ", " + oldOwner + ", " + shape.hash("new.") + ", " +
           olds.join(", ") + "); END;\n";
    sql += trigger + "_delete BEFORE DELETE ON " + table + " BEGIN " + log + ", " + targets.join(", ") +
           values + "old.rowid, 2, " + oldOwner + ", NULL, NULL, " + olds.join(", ") + "); END;\n";
    return sql;
}

// FNV-1a over each value's type and bytes: equal rows hash equal on every connection.
void rowHash(sqlite3_context *context, int count, sqlite3_value **values)
{
    quint64 hash = 14695981039346656037ULL;
    const auto mix = [&hash](const void *data, size_t size) {
        const auto *bytes = static_cast<const unsigned char *>(data);
        for (size_t i = 0; i < size; ++i) {
            hash ^= bytes[i];
            hash *= 1099511628211ULL;
        }
    };
    for (int i = 0; i < count; ++i) {
        const int type = sqlite3_value_type(values[i]);
        mix(&type, sizeof type);
        if (type == SQLITE_INTEGER) {
            const sqlite3_int64 integer = sqlite3_value_int64(values[i]);
            mix(&integer, sizeof integer);
        } else if (type == SQLITE_FLOAT) {
            const double real = sqlite3_value_double(values[i]);
            mix(&real, sizeof real);
        } else if (type != SQLITE_NULL) {
            const void *data =
                type == SQLITE_BLOB ? sqlite3_value_blob(values[i]) : sqlite3_value_text(values[i]);
            mix(data, size_t(sqlite3_value_bytes(values[i])));
        }
    }
    sqlite3_result_int64(context, sqlite3_int64(hash));
}

std::atomic<qint64> g_sequence{0};
std::atomic<bool> g_recording{true};

void nextSequence(sqlite3_context *context, int, sqlite3_value **)
{
    sqlite3_result_int64(context, ++g_sequence);
}

// The connections of the process that record.
struct Recorders
{
    QMutex lock;
    QList<Connection *> connections;
};
Recorders &recorders()
{
    static Recorders all;
    return all;
}

QList<Connection *> recordingConnections()
{
    const QMutexLocker lock(&recorders().lock);
    return recorders().connections;
}

QString quantityName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("Change") : name;
}

} // namespace

UndoStep::UndoStep(const QString &name)
{
    UndoHistory::instance().open(name);
}

UndoStep::~UndoStep()
{
    try {
        UndoHistory::instance().close();
    } catch (const VmError &) {
        // Gathering reads TEMP tables only; a failure loses the step, never the library's data.
    }
}

QString UndoStep::counted(qsizetype count, const QString &noun)
{
    return QLocale(QLocale::English).toString(count) + QLatin1Char(' ') + noun +
           (count == 1 ? QString() : QStringLiteral("s"));
}

QString UndoStep::quoted(const QString &name)
{
    return QLatin1Char('\'') + name.trimmed() + QLatin1Char('\'');
}

UndoHistory &UndoHistory::instance()
{
    // Never destroyed: connections closed while the process ends still report to it.
    static UndoHistory *history = new UndoHistory;
    return *history;
}

UndoHistory::~UndoHistory() = default;

void UndoHistory::setRecording(bool on)
{
    g_recording = on;
}

void UndoHistory::attach(Connection &connection)
{
    sqlite3 *db = connection.handle();
    // The hash serves the check before an undo on any connection, recording or not.
    for (const auto &[name, count, function] : {std::tuple{"vellumar_undo_sequence", 0, &nextSequence},
                                                std::tuple{"vellumar_undo_hash", -1, &rowHash}}) {
        if (const int rc = sqlite3_create_function_v2(db, name, count, SQLITE_UTF8, nullptr, function,
                                                      nullptr, nullptr, nullptr);
            rc != SQLITE_OK)
            throw VmError(rc, QStringLiteral("UndoHistory"), connection.errorText());
    }
    if (!g_recording)
        return;
    QByteArray sql = "PRAGMA temp_store = MEMORY;"
                     "CREATE TEMP TABLE IF NOT EXISTS vellumar_undo_log (sequence INTEGER, tbl INTEGER, "
                     "width INTEGER, rid INTEGER, kind INTEGER, owner, former, after INTEGER, " +
                     valueColumns() + ");\n";
    for (const TableShape &shape : shapesOf(connection)) {
        if (shape.columns.size() > kMostColumns)
            throw VmError(SQLITE_TOOBIG, QStringLiteral("UndoHistory"),
                          QStringLiteral("The table %1 has more columns than undo can keep.")
                              .arg(QString::fromUtf8(shape.name)));
        sql += triggersFor(shape);
    }
    connection.exec(sql.constData());
    const QMutexLocker lock(&recorders().lock);
    recorders().connections.append(&connection);
}

void UndoHistory::detach(Connection &connection)
{
    {
        const QMutexLocker lock(&recorders().lock);
        if (!recorders().connections.removeOne(&connection))
            return;
    }
    UndoHistory &history = instance();
    if (history.m_applying)
        return;
    try {
        std::vector<UndoEntry> entries;
        history.collect(connection.handle(), entries);
        if (history.m_depth > 0)
            std::move(entries.begin(), entries.end(), std::back_inserter(history.m_collected));
        else
            history.addStep(QString(), std::move(entries));
    } catch (const VmError &) {
    }
}

void UndoHistory::stopRecording(Connection &connection)
{
    {
        const QMutexLocker lock(&recorders().lock);
        recorders().connections.removeOne(&connection);
    }
    QStringList triggers;
    {
        Statement select(
            connection,
            "SELECT name FROM sqlite_temp_master WHERE type = 'trigger' AND name LIKE 'vellumar_undo_%'");
        while (select.step())
            triggers.append(select.text(0));
    }
    for (const QString &trigger : std::as_const(triggers))
        connection.exec(("DROP TRIGGER temp." + identifier(trigger.toUtf8()) + ';').constData());
}

void UndoHistory::collect(sqlite3 *db, std::vector<UndoEntry> &into)
{
    // A connection inside a transaction holds changes that may still roll back.
    if (!sqlite3_get_autocommit(db))
        return;
    sqlite3_stmt *select = nullptr;
    int rc = sqlite3_prepare_v2(db,
                                "SELECT sequence, tbl, rid, kind, owner, former, after, width, " +
                                    valueColumns() + " FROM vellumar_undo_log ORDER BY sequence",
                                -1, &select, nullptr);
    const auto text = [&](int column) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(select, column)),
                                 sqlite3_column_bytes(select, column));
    };
    constexpr int kFirstValue = 8;
    bool any = false;
    while (rc == SQLITE_OK && (rc = sqlite3_step(select)) == SQLITE_ROW) {
        any = true;
        UndoEntry entry;
        entry.sequence = sqlite3_column_int64(select, 0);
        entry.table = sqlite3_column_int(select, 1);
        entry.rowid = sqlite3_column_int64(select, 2);
        entry.kind = UndoEntry::Kind(sqlite3_column_int(select, 3));
        entry.owner = text(4);
        entry.formerOwner = text(5);
        entry.after = sqlite3_column_int64(select, 6);
        if (entry.kind != UndoEntry::Inserted) {
            const int width = std::min(sqlite3_column_int(select, 7), kMostColumns);
            entry.before.resize(size_t(width));
            for (int column = 0; column < width; ++column) {
                UndoValue &value = entry.before[size_t(column)];
                value.type = sqlite3_column_type(select, kFirstValue + column);
                if (value.type == SQLITE_INTEGER) {
                    value.integer = sqlite3_column_int64(select, kFirstValue + column);
                } else if (value.type == SQLITE_FLOAT) {
                    value.real = sqlite3_column_double(select, kFirstValue + column);
                } else if (value.type != SQLITE_NULL) {
                    const void *data =
                        value.type == SQLITE_BLOB
                            ? sqlite3_column_blob(select, kFirstValue + column)
                            : static_cast<const void *>(sqlite3_column_text(select, kFirstValue + column));
                    value.bytes = QByteArray(static_cast<const char *>(data),
                                             sqlite3_column_bytes(select, kFirstValue + column));
                }
            }
        }
        into.push_back(std::move(entry));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(select);
    if (rc != SQLITE_DONE && rc != SQLITE_OK)
        throw VmError(rc, QStringLiteral("UndoHistory"), QString::fromUtf8(sqlite3_errmsg(db)));
    if (any)
        sqlite3_exec(db, "DELETE FROM vellumar_undo_log", nullptr, nullptr, nullptr);
}

void UndoHistory::open(const QString &name)
{
    if (m_depth++ > 0)
        return;
    flush();
    m_openName = name;
    m_collected.clear();
}

void UndoHistory::close()
{
    if (--m_depth > 0)
        return;
    std::vector<UndoEntry> entries = std::move(m_collected);
    m_collected.clear();
    for (Connection *connection : recordingConnections())
        collect(connection->handle(), entries);
    addStep(m_openName, std::move(entries));
}

// Changes made outside any step (none should be) become a step of their own, so that the
// history never undoes them as part of another.
void UndoHistory::flush()
{
    if (m_depth > 0 || m_applying)
        return;
    std::vector<UndoEntry> entries;
    for (Connection *connection : recordingConnections())
        collect(connection->handle(), entries);
    addStep(QString(), std::move(entries));
}

void UndoHistory::addStep(const QString &name, std::vector<UndoEntry> entries)
{
    if (entries.empty())
        return;
    std::stable_sort(entries.begin(), entries.end(),
                     [](const UndoEntry &a, const UndoEntry &b) { return a.sequence < b.sequence; });
    m_undo.push_back(Step{quantityName(name), std::move(entries)});
    m_redo.clear();
    while (m_undo.size() > size_t(kKeptSteps))
        m_undo.pop_front();
    emit changed();
}

bool UndoHistory::canUndo()
{
    flush();
    return !m_undo.empty();
}

bool UndoHistory::canRedo()
{
    flush();
    return !m_redo.empty();
}

QString UndoHistory::undoName()
{
    return canUndo() ? m_undo.back().name : QString();
}

QString UndoHistory::redoName()
{
    return canRedo() ? m_redo.back().name : QString();
}

Connection &UndoHistory::connection()
{
    const QString path = libraryPath();
    if (!m_connection || m_connection->path() != path) {
        m_connection.reset();
        m_connection = std::make_unique<Connection>(path);
    }
    return *m_connection;
}

namespace {

UndoHistory::Outcome outcomeOf(const std::vector<UndoEntry> &entries)
{
    UndoHistory::Outcome outcome;
    QSet<QString> spellbooks;
    for (const UndoEntry &entry : entries) {
        outcome.spells = outcome.spells || entry.table == kSpells || entry.table == kSpellandSphere;
        outcome.schools = outcome.schools || entry.table == kSchools;
        outcome.casters = outcome.casters || entry.table == kCasters;
        if (entry.table >= kCasters) {
            spellbooks.insert(entry.owner);
            if (!entry.formerOwner.isEmpty())
                spellbooks.insert(entry.formerOwner);
        }
    }
    outcome.spellbooks = QStringList(spellbooks.begin(), spellbooks.end());
    outcome.spellbooks.sort();
    return outcome;
}

// A statement prepared on the history's connection, for binding entry after entry.
class Prepared
{
public:
    Prepared(sqlite3 *db, const QByteArray &sql) : m_db(db)
    {
        if (const int rc = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_statement, nullptr);
            rc != SQLITE_OK)
            fail(rc);
    }
    ~Prepared() { sqlite3_finalize(m_statement); }
    Prepared(const Prepared &) = delete;
    Prepared &operator=(const Prepared &) = delete;

    void bind(int index, const UndoValue &value)
    {
        switch (value.type) {
        case SQLITE_INTEGER:
            sqlite3_bind_int64(m_statement, index, value.integer);
            break;
        case SQLITE_FLOAT:
            sqlite3_bind_double(m_statement, index, value.real);
            break;
        case SQLITE_TEXT:
            sqlite3_bind_text(m_statement, index, value.bytes.constData(), int(value.bytes.size()),
                              SQLITE_STATIC);
            break;
        case SQLITE_BLOB:
            sqlite3_bind_blob(m_statement, index, value.bytes.constData(), int(value.bytes.size()),
                              SQLITE_STATIC);
            break;
        default:
            sqlite3_bind_null(m_statement, index);
        }
    }
    void bind(int index, qint64 value) { sqlite3_bind_int64(m_statement, index, value); }
    // True while a row comes; a failure raises.
    bool step()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail(rc);
        return false;
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    void reset()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }

private:
    [[noreturn]] void fail(int rc)
    {
        throw VmError(rc, QStringLiteral("UndoHistory"), QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

// The statements that take one table's changes back, on the shape the table has now.
struct Reversal
{
    int width = 0;
    std::unique_ptr<Prepared> read; // the hash of a row, for the check
    std::unique_ptr<Prepared> remove;
    std::unique_ptr<Prepared> restore;
    std::unique_ptr<Prepared> reinsert;
};

std::vector<Reversal> reversalsOf(Connection &connection)
{
    std::vector<Reversal> reversals(static_cast<size_t>(kTableCount));
    sqlite3 *db = connection.handle();
    for (const TableShape &shape : shapesOf(connection)) {
        const QByteArray table = identifier(shape.name);
        QList<QByteArray> sets;
        QList<QByteArray> names;
        QList<QByteArray> places;
        for (int column = 0; column < shape.columns.size(); ++column) {
            const QByteArray place = '?' + QByteArray::number(column + 2);
            sets.append(identifier(shape.columns.at(column)) + " = " + place);
            names.append(identifier(shape.columns.at(column)));
            places.append(place);
        }
        Reversal &reversal = reversals[size_t(shape.index)];
        reversal.width = int(shape.columns.size());
        reversal.read = std::make_unique<Prepared>(db, "SELECT " + shape.hash(QByteArray()) + " FROM " +
                                                           table + " WHERE rowid = ?1");
        reversal.remove = std::make_unique<Prepared>(db, "DELETE FROM " + table + " WHERE rowid = ?1");
        // OR IGNORE: a clash is found by the count of rows changed, and SQLite then keeps no
        // statement journal, which would cost every statement a copy of each page it touches.
        reversal.restore = std::make_unique<Prepared>(db, "UPDATE OR IGNORE " + table + " SET " +
                                                              sets.join(", ") + " WHERE rowid = ?1");
        reversal.reinsert =
            std::make_unique<Prepared>(db, "INSERT OR IGNORE INTO " + table + " (rowid, " + names.join(", ") +
                                               ") VALUES (?1, " + places.join(", ") + ')');
    }
    return reversals;
}

// The rows as the step left them, the last change of each row counting; a table whose columns
// changed since counts as changed.
bool rowsAsLeft(std::vector<Reversal> &reversals, const std::vector<UndoEntry> &entries)
{
    QHash<QPair<int, qint64>, const UndoEntry *> last;
    last.reserve(qsizetype(entries.size()));
    for (const UndoEntry &entry : entries) {
        const Reversal &reversal = reversals[size_t(entry.table)];
        if (!reversal.read ||
            (entry.kind != UndoEntry::Inserted && int(entry.before.size()) != reversal.width))
            return false;
        last.insert({entry.table, entry.rowid}, &entry);
    }
    for (const UndoEntry *entry : std::as_const(last)) {
        Prepared &read = *reversals[size_t(entry->table)].read;
        read.bind(1, entry->rowid);
        const bool present = read.step();
        const bool same =
            present == (entry->kind != UndoEntry::Deleted) && (!present || read.integer(0) == entry->after);
        read.reset();
        if (!same)
            return false;
    }
    return true;
}

} // namespace

UndoHistory::Step UndoHistory::apply(const Step &step, const QString &verb)
{
    Connection &db = connection();
    struct Applying
    {
        bool &flag;
        ~Applying() { flag = false; }
    } applying{m_applying = true};
    Step done{step.name, {}};
    {
        // A large step meets the same index pages again and again.
        constexpr size_t kBulk = 1000;
        std::optional<LargePageCache> cache;
        if (step.entries.size() > kBulk)
            cache.emplace(db);
        Transaction transaction(db);
        std::vector<Reversal> reversals = reversalsOf(db);
        if (!rowsAsLeft(reversals, step.entries))
            return done;
        for (auto entry = step.entries.rbegin(); entry != step.entries.rend(); ++entry) {
            Reversal &reversal = reversals[size_t(entry->table)];
            Prepared &statement = entry->kind == UndoEntry::Inserted  ? *reversal.remove
                                  : entry->kind == UndoEntry::Updated ? *reversal.restore
                                                                      : *reversal.reinsert;
            statement.bind(1, entry->rowid);
            for (int column = 0; column < int(entry->before.size()); ++column)
                statement.bind(column + 2, entry->before[size_t(column)]);
            statement.step();
            statement.reset();
            // A row another program has added since under the same unique name (a school, a
            // membership) stands where this one would go back: the step is refused whole.
            if (sqlite3_changes(db.handle()) != 1)
                return done;
        }
        transaction.commit();
    }
    collect(db.handle(), done.entries);
    if (done.entries.empty())
        throw VmError(SQLITE_ERROR, QStringLiteral("UndoHistory"),
                      QStringLiteral("%1 \"%2\" changed nothing.").arg(verb, step.name));
    return done;
}

UndoHistory::Outcome UndoHistory::undo()
{
    return takeBack(m_undo, m_redo, QStringLiteral("Undo"), QStringLiteral("undone"),
                    QStringLiteral("before"));
}

UndoHistory::Outcome UndoHistory::redo()
{
    return takeBack(m_redo, m_undo, QStringLiteral("Redo"), QStringLiteral("redone"),
                    QStringLiteral("after"));
}

// Undo and redo are one move: the newest step of one list is taken back and, taken back, is the
// newest of the other. A refused step ends the list it came from, and the steps beyond it.
UndoHistory::Outcome UndoHistory::takeBack(std::deque<Step> &from, std::deque<Step> &to, const QString &verb,
                                           const QString &done, const QString &beyond)
{
    // Not in the middle of a command (a key pressed while an import shows its progress).
    if (m_depth > 0)
        return {};
    flush(); // changes made outside any step become a step of their own first
    if (from.empty())
        return {};
    Step reversed = apply(from.back(), verb);
    if (reversed.entries.empty()) {
        const QString name = from.back().name;
        from.clear();
        emit changed();
        throw VmError(SQLITE_ABORT, verb,
                      QStringLiteral("\"%1\" cannot be %2: another program has changed the same entries "
                                     "of the library since, and %3 it would overwrite their changes. "
                                     "Nothing was changed; this step and the ones %4 it can no longer "
                                     "be %2.")
                          .arg(name, done, verb.toLower() + QStringLiteral("ing"), beyond));
    }
    const Outcome outcome = outcomeOf(reversed.entries);
    from.pop_back();
    to.push_back(std::move(reversed));
    emit changed();
    return outcome;
}

void UndoHistory::clear()
{
    m_connection.reset();
    std::vector<UndoEntry> dropped;
    for (Connection *connection : recordingConnections())
        collect(connection->handle(), dropped);
    m_undo.clear();
    m_redo.clear();
    m_collected.clear();
    emit changed();
}
