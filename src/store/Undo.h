#pragma once

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <vector>

class Connection;
struct sqlite3;

// Undo and redo of what this process changes in the library. Every connection that may write
// records, through TEMP triggers that never reach the library file, the statement that reverses
// each row it inserts, updates or deletes, and the row as the change left it. A step is what was
// recorded while one UndoStep was open; undoing it runs its reversing statements backwards, and
// what that records in turn is the step's redo. Rows changed by another program since are never
// overwritten: a step whose rows no longer read as it left them is refused.

// A column's value as SQLite keeps it, to be bound back unchanged.
struct UndoValue
{
    int type = 5; // SQLITE_NULL
    qint64 integer = 0;
    double real = 0;
    QByteArray bytes;
};

// One recorded row change.
struct UndoEntry
{
    enum Kind { Inserted, Updated, Deleted };
    qint64 sequence = 0; // process-wide, so changes made on several connections keep their order
    int table = 0;
    qint64 rowid = 0;
    Kind kind = Inserted;
    qint64 after = 0;              // a hash of the row as the change left it
    std::vector<UndoValue> before; // an update's or delete's row as it was
    QString owner;                 // the spell, school or caster the row belongs to
    QString formerOwner;           // an update's owner before it
};

// Groups one user command into one step; nestable, the outermost names the step. Hold one around
// everything a command changes.
class UndoStep
{
public:
    explicit UndoStep(const QString &name);
    ~UndoStep();
    UndoStep(const UndoStep &) = delete;
    UndoStep &operator=(const UndoStep &) = delete;

    // "1 Spell", "5,000 Spells": a count in a step's name.
    static QString counted(qsizetype count, const QString &noun);
    // "'Bryn'": a name in a step's name.
    static QString quoted(const QString &name);
};

class UndoHistory : public QObject
{
    Q_OBJECT

public:
    // The history of the process.
    static UndoHistory &instance();

    // The steps kept: at least this many of the latest.
    static constexpr int kKeptSteps = 100;

    // What an undo or redo touched, for the windows to follow.
    struct Outcome
    {
        bool spells = false;
        bool schools = false;
        bool casters = false;
        QStringList spellbooks; // the casters whose spellbook, failed spells, slots or scrolls changed
    };

    bool canUndo();
    bool canRedo();
    QString undoName();
    QString redoName();
    // Raise VmError when the step cannot be done; a step refused because another program has
    // changed its rows since is dropped, with the older ones (undo) or the newer ones (redo).
    Outcome undo();
    Outcome redo();
    // Forgets every step and closes the connection undo runs on: the library is closed.
    void clear();

    // The recording, called as connections that may write open and close.
    static void attach(Connection &connection);
    static void detach(Connection &connection);
    // Whether connections opened from now on record (on unless a benchmark measures without).
    static void setRecording(bool on);
    // A connection that stands for another program (a test's own) records nothing.
    static void stopRecording(Connection &connection);

signals:
    // A step was added, undone, redone or dropped: the menu texts change.
    void changed();

private:
    friend class UndoStep;
    struct Step
    {
        QString name;
        std::vector<UndoEntry> entries;
    };

    UndoHistory() = default;
    ~UndoHistory() override;
    void open(const QString &name);
    void close();
    void flush();
    void collect(sqlite3 *db, std::vector<UndoEntry> &into);
    void addStep(const QString &name, std::vector<UndoEntry> entries);
    Step apply(const Step &step, const QString &verb);
    Outcome takeBack(std::deque<Step> &from, std::deque<Step> &to, const QString &verb, const QString &done,
                     const QString &beyond);
    Connection &connection();

    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    int m_depth = 0;
    QString m_openName;
    std::vector<UndoEntry> m_collected;
    std::unique_ptr<Connection> m_connection;
    bool m_applying = false;
};
