// The undo history: TEMP triggers on every connection that may write record the reversing
// statement of each row change (built with quote(), after SQLite's "Automatic Undo/Redo" note)
// into a TEMP table of that connection, which rolls back with a failed transaction or savepoint;
// the entries are gathered from every connection when a step closes.

#include "store/Undo.h"

#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/VmError.h"

#include <QHash>
#include <QLocale>
#include <QMutex>

#include <algorithm>
#include <atomic>

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

// Text inside a string literal of the trigger's SQL.
QByteArray literalText(const QByteArray &text)
{
    return QByteArray(text).replace('\'', "''");
}

// A table as this library has it: its columns, less an INTEGER PRIMARY KEY (which is the rowid).
struct TableShape
{
    int index = 0;
    QByteArray name;
    QList<QByteArray> columns;
    bool hasOwner = false;

    // The row as text, the same for the trigger (prefix "new.") and for the check (no prefix).
    QByteArray image(const QByteArray &prefix) const
    {
        QList<QByteArray> parts;
        for (const QByteArray &column : columns)
            parts.append("quote(" + prefix + identifier(column) + ')');
        return parts.isEmpty() ? QByteArray("''") : parts.join("||','||");
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

QByteArray triggersFor(const TableShape &shape)
{
    const QByteArray table = identifier(shape.name);
    const QByteArray tableText = literalText(table);
    const QByteArray number = QByteArray::number(shape.index);
    const QByteArray owner = identifier(kRecorded[shape.index].owner);
    const QByteArray newOwner = shape.hasOwner ? "new." + owner : QByteArray("NULL");
    const QByteArray oldOwner = shape.hasOwner ? "old." + owner : QByteArray("NULL");
    const QByteArray log = "INSERT INTO vellumar_undo_log VALUES (vellumar_undo_sequence(), " + number + ", ";
    const QByteArray trigger = "CREATE TEMP TRIGGER IF NOT EXISTS vellumar_undo_" + number;

    QList<QByteArray> names;
    QList<QByteArray> olds;
    QList<QByteArray> sets;
    for (const QByteArray &column : shape.columns) {
        names.append(literalText(identifier(column)));
        olds.append("quote(old." + identifier(column) + ')');
        sets.append('\'' + literalText(identifier(column)) + "='||quote(old." + identifier(column) + ')');
    }
    QByteArray sql;
    sql += trigger + "_insert AFTER INSERT ON " + table + " BEGIN " + log + "new.rowid, " + newOwner +
           ", NULL, 'DELETE FROM " + tableText + " WHERE rowid='||new.rowid, " + shape.image("new.") +
           ", 1); END;\n";
    sql += trigger + "_update AFTER UPDATE ON " + table + " BEGIN " + log + "old.rowid, " + newOwner + ", " +
           oldOwner + ", 'UPDATE " + tableText + " SET '||" + sets.join("||','||") +
           "||' WHERE rowid='||old.rowid, " + shape.image("new.") + ", 1); END;\n";
    sql += trigger + "_delete BEFORE DELETE ON " + table + " BEGIN " + log + "old.rowid, " + oldOwner +
           ", NULL, 'INSERT INTO " + tableText + " (rowid, " + names.join(", ") +
           ") VALUES ('||old.rowid||','||" + olds.join("||','||") + "||')', NULL, 0); END;\n";
    return sql;
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
    if (!g_recording)
        return;
    sqlite3 *db = connection.handle();
    if (const int rc = sqlite3_create_function_v2(db, "vellumar_undo_sequence", 0, SQLITE_UTF8, nullptr,
                                                  &nextSequence, nullptr, nullptr, nullptr);
        rc != SQLITE_OK)
        throw VmError(rc, QStringLiteral("UndoHistory"), connection.errorText());
    QByteArray sql = "PRAGMA temp_store = MEMORY;"
                     "CREATE TEMP TABLE IF NOT EXISTS vellumar_undo_log (sequence INTEGER, tbl INTEGER, "
                     "rid INTEGER, owner, former, reverse TEXT, after TEXT, present INTEGER);\n";
    for (const TableShape &shape : shapesOf(connection))
        sql += triggersFor(shape);
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
                                "SELECT sequence, tbl, rid, owner, former, reverse, after, present "
                                "FROM vellumar_undo_log ORDER BY sequence",
                                -1, &select, nullptr);
    auto text = [&](int column) {
        return QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(select, column)),
                          sqlite3_column_bytes(select, column));
    };
    bool any = false;
    while (rc == SQLITE_OK && (rc = sqlite3_step(select)) == SQLITE_ROW) {
        any = true;
        UndoEntry entry;
        entry.sequence = sqlite3_column_int64(select, 0);
        entry.table = sqlite3_column_int(select, 1);
        entry.rowid = sqlite3_column_int64(select, 2);
        entry.owner = QString::fromUtf8(text(3));
        entry.formerOwner = QString::fromUtf8(text(4));
        entry.reverse = text(5);
        entry.after = qHash(text(6));
        entry.present = sqlite3_column_int(select, 7) != 0;
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

// The rows as the step left them, the last change of each row counting.
bool rowsAsLeft(Connection &connection, const std::vector<UndoEntry> &entries)
{
    QHash<QPair<int, qint64>, const UndoEntry *> last;
    last.reserve(qsizetype(entries.size()));
    for (const UndoEntry &entry : entries)
        last.insert({entry.table, entry.rowid}, &entry);
    std::vector<std::unique_ptr<Statement>> reads(kTableCount);
    for (const TableShape &shape : shapesOf(connection))
        reads[size_t(shape.index)] = std::make_unique<Statement>(
            connection, QString::fromUtf8("SELECT " + shape.image(QByteArray()) + " FROM " +
                                          identifier(shape.name) + " WHERE rowid = ?"));
    for (const UndoEntry *entry : std::as_const(last)) {
        Statement *read = reads[size_t(entry->table)].get();
        if (!read)
            return false; // the table itself is gone
        read->bind(1, entry->rowid);
        const bool present = read->step();
        const bool same = present == entry->present && (!present || qHash(read->bytes(0)) == entry->after);
        read->reset();
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
        Transaction transaction(db);
        if (!rowsAsLeft(db, step.entries))
            return done;
        QByteArray script;
        for (auto entry = step.entries.rbegin(); entry != step.entries.rend(); ++entry) {
            script += entry->reverse;
            script += ";\n";
            if (script.size() > 1 << 20) {
                db.exec(script.constData());
                script.clear();
            }
        }
        db.exec(script.constData());
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
    // Not in the middle of a command (a key pressed while an import shows its progress).
    if (m_depth > 0 || !canUndo())
        return {};
    Step done = apply(m_undo.back(), QStringLiteral("Undo"));
    if (done.entries.empty()) {
        const QString name = m_undo.back().name;
        m_undo.clear();
        emit changed();
        throw VmError(SQLITE_ABORT, QStringLiteral("Undo"),
                      QStringLiteral("\"%1\" cannot be undone: another program has changed the same entries "
                                     "of the library since, and undoing it would overwrite their changes. "
                                     "Nothing was changed; this step and the ones before it can no longer "
                                     "be undone.")
                          .arg(name));
    }
    const Outcome outcome = outcomeOf(done.entries);
    m_undo.pop_back();
    m_redo.push_back(std::move(done));
    emit changed();
    return outcome;
}

UndoHistory::Outcome UndoHistory::redo()
{
    // Not in the middle of a command (a key pressed while an import shows its progress).
    if (m_depth > 0 || !canRedo())
        return {};
    Step done = apply(m_redo.back(), QStringLiteral("Redo"));
    if (done.entries.empty()) {
        const QString name = m_redo.back().name;
        m_redo.clear();
        emit changed();
        throw VmError(SQLITE_ABORT, QStringLiteral("Redo"),
                      QStringLiteral("\"%1\" cannot be redone: another program has changed the same entries "
                                     "of the library since, and redoing it would overwrite their changes. "
                                     "Nothing was changed; this step and the ones after it can no longer "
                                     "be redone.")
                          .arg(name));
    }
    const Outcome outcome = outcomeOf(done.entries);
    m_redo.pop_back();
    m_undo.push_back(std::move(done));
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
