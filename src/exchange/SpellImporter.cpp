#include "exchange/SpellImporter.h"

#include "store/Blanks.h"
#include "store/SpellLevels.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"

#include <QAnyStringView>
#include <QUtf8StringView>

#include <sqlite3.h>

namespace {

const char *const kSpellColumns[] = {"Name",
                                     "Lvl",
                                     "Frequency",
                                     "Book",
                                     "Page",
                                     "Components",
                                     "Range",
                                     "Duration",
                                     "[Area of Effect]",
                                     "[Casting Time]",
                                     "[Casting Time Type]",
                                     "[Saving Throw]",
                                     "Description",
                                     "Author"};
constexpr int kSpellColumnCount = int(std::size(kSpellColumns));

// Lvl, Frequency, Book and Page are in the index of the spell lists; the columns from
// Components on are in no index, so changing only those rewrites nothing but the row.
constexpr int kFirstDetail = 5;

QString columnList(int first, int end, const char *suffix)
{
    QStringList columns;
    for (int i = first; i < end; ++i)
        columns.append(QLatin1String(kSpellColumns[i]) + QLatin1String(suffix));
    return columns.join(QStringLiteral(", "));
}

// The fourteen stored values of a record, in kSpellColumns order.
QStringList storedValues(const VM_Spell &record)
{
    return {trimBlanks(record.Fetch_Spell_Name()),
            trimBlanks(record.Fetch_Spell_Level()),
            trimBlanks(record.Fetch_Spell_Frequency()),
            trimBlanks(record.Fetch_Spell_Book_Number()),
            trimBlanks(record.Fetch_Spell_Page_Number()),
            trimBlanks(record.Fetch_Spell_Components()),
            trimBlanks(record.Fetch_Spell_Range()),
            trimBlanks(record.Fetch_Spell_Duration()),
            trimBlanks(record.Fetch_Spell_Area_of_Effect()),
            trimBlanks(record.Fetch_Spell_Casting_Time()),
            trimBlanks(record.Fetch_Spell_Casting_Time_Type()),
            trimBlanks(record.Fetch_Spell_Saving_Throw()),
            trimBlanks(record.Fetch_Spell_Description()),
            trimBlanks(record.Fetch_Spell_Author())};
}

} // namespace

SpellImporter::SpellImporter(Connection &db)
    : m_db(db)
    , m_spellExists(db, "SELECT 1 FROM Spells WHERE Name = ? LIMIT 1")
    , m_insertSpell(
          db, QStringLiteral("INSERT INTO Spells (%1) VALUES (%2)")
                  .arg(columnList(0, kSpellColumnCount, ""), Statement::placeholders(kSpellColumnCount)))
    , m_storedSpell(db, QStringLiteral("SELECT rowid, %1 FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1")
                            .arg(columnList(1, kSpellColumnCount, "")))
    , m_updateListed(
          db, QStringLiteral("UPDATE Spells SET %1 WHERE rowid = ?").arg(columnList(1, kFirstDetail, " = ?")))
    , m_updateAll(db, QStringLiteral("UPDATE Spells SET %1 WHERE rowid = ?")
                          .arg(columnList(1, kSpellColumnCount, " = ?")))
    , m_updateDetails(db, QStringLiteral("UPDATE Spells SET %1 WHERE rowid = ?")
                              .arg(columnList(kFirstDetail, kSpellColumnCount, " = ?")))
    , m_storedSchools(db, "SELECT rowid, Sphere FROM SpellandSphere WHERE Name = ? ORDER BY rowid")
    , m_insertSchool(db, "INSERT INTO SpellandSphere (Name, Sphere) VALUES (?, ?)")
    , m_updateSchool(db, "UPDATE SpellandSphere SET Sphere = ? WHERE rowid = ?")
    , m_deleteSchool(db, "DELETE FROM SpellandSphere WHERE rowid = ?")
    , m_addMember(db, "INSERT OR IGNORE INTO Spellbook (Caster, SpellName) VALUES (?, ?)")
    // An overwrite import meets the index and table pages of each batch again in the next: held
    // decrypted, they are not read and decrypted again.
    , m_cache(db, 256)
    , m_checkpoint(db)
{}

SpellImporter::~SpellImporter()
{
    if (m_open)
        rollBack();
}

void SpellImporter::rollBack()
{
    m_open = false;
    m_pendingSpells = 0;
    if (sqlite3_get_autocommit(m_db.handle()))
        return; // the engine ended the transaction itself
    try {
        m_db.exec("ROLLBACK;");
    } catch (const VmError &) {
        // Still open (a statement still running, say): the destructor tries again.
        m_open = sqlite3_get_autocommit(m_db.handle()) == 0;
    }
}

void SpellImporter::begin()
{
    // As every other change: a batch never goes to a file moved or replaced meanwhile.
    m_db.requireUnmoved();
    m_checkpoint.beforeBatch();
    m_db.exec("BEGIN IMMEDIATE;");
    m_open = true;
}

void SpellImporter::step(const std::function<void()> &work, bool bringsSpell)
{
    if (!m_open)
        begin();
    try {
        work();
    } catch (const VmError &) {
        redoBatchWithoutFailedStep();
        throw;
    }
    m_batch.push_back({work, bringsSpell});
    if (bringsSpell)
        ++m_pendingSpells;
    if (m_batch.size() >= size_t(kStepsPerCommit)) {
        finish();
        // The last batch is left to the engine, so that the end of an import never waits for
        // the disk: only batches committed part way are moved aside.
        m_checkpoint.committed();
    }
}

void SpellImporter::redoBatchWithoutFailedStep()
{
    std::vector<Done> batch;
    batch.swap(m_batch);
    // After some failures (a full disk) the engine has already rolled the batch back; running it
    // again would only meet the same failure.
    const bool rolledBack = sqlite3_get_autocommit(m_db.handle()) != 0;
    rollBack();
    if (rolledBack || m_open || batch.empty())
        return;
    begin();
    try {
        for (const Done &done : batch) {
            done.work();
            if (done.bringsSpell)
                ++m_pendingSpells;
        }
    } catch (const VmError &) {
        rollBack();
        throw;
    }
    finish();
}

void SpellImporter::finish()
{
    m_batch.clear();
    if (!m_open)
        return;
    m_open = false;
    m_db.exec("COMMIT;");
    m_committedSpells += m_pendingSpells;
    m_pendingSpells = 0;
}

bool SpellImporter::isSpellInLibrary(const QString &name)
{
    // Names are stored trimmed, so a name that carried blanks in the file finds its spell.
    m_spellExists.bind(1, trimBlanks(name));
    const bool found = m_spellExists.step();
    m_spellExists.reset();
    return found;
}

void SpellImporter::insertSchools(const QString &name, const QStringList &schools)
{
    for (const QString &school : schools) {
        if (trimBlanks(school).isEmpty())
            continue; // a school without a name is no school
        m_insertSchool.bind(1, name).bind(2, trimBlanks(school));
        m_insertSchool.run();
        m_insertSchool.reset();
    }
}

void SpellImporter::addNewSpell(const VM_Spell &record)
{
    const QStringList values = storedValues(record);
    m_insertSpell.bindAll(1, values);
    m_insertSpell.run();
    m_insertSpell.reset();
    insertSchools(values[0], record.Fetch_Spell_Schools_Collection());
}

bool SpellImporter::overwriteExistingSpell(const VM_Spell &record)
{
    // Details, level and frequency from the file replace the library's, and so does the whole
    // list of schools; the spellbooks that hold the spell keep it. What already holds the
    // file's values is left alone, so that importing a file again writes only what changed.
    const QStringList values = storedValues(record);
    m_storedSpell.bind(1, values[0]);
    if (!m_storedSpell.step()) {
        m_storedSpell.reset();
        return false;
    }
    const qint64 rowid = m_storedSpell.integer(0);
    bool listedChanged = false;
    bool detailsChanged = false;
    for (int i = 1; i < kSpellColumnCount; ++i) {
        // Compared as stored, without a decoded copy of each (a description is long).
        const QByteArrayView stored = m_storedSpell.bytes(i);
        if (!QAnyStringView::equal(QUtf8StringView(stored.data(), stored.size()), values[i]))
            (i < kFirstDetail ? listedChanged : detailsChanged) = true;
    }
    m_storedSpell.reset();
    if (listedChanged && detailsChanged)
        update(m_updateAll, values.mid(1), rowid);
    else if (listedChanged)
        update(m_updateListed, values.mid(1, kFirstDetail - 1), rowid);
    else if (detailsChanged)
        update(m_updateDetails, values.mid(kFirstDetail), rowid);

    QStringList schools;
    for (const QString &school : record.Fetch_Spell_Schools_Collection()) {
        if (!trimBlanks(school).isEmpty())
            schools.append(trimBlanks(school));
    }
    QStringList stored;
    QList<qint64> storedRows;
    m_storedSchools.bind(1, values[0]);
    while (m_storedSchools.step()) {
        storedRows.append(m_storedSchools.integer(0));
        stored.append(m_storedSchools.text(1));
    }
    m_storedSchools.reset();
    if (stored == schools)
        return true;
    // The spell's rows keep their places and take the new schools in order, so that only the
    // index of the schools themselves changes, not the one of the names; rows left over go,
    // and the schools beyond the old count come after them.
    const qsizetype kept = qMin(stored.size(), schools.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (i < kept && stored[i] == schools[i])
            continue;
        Statement &change = i < kept ? m_updateSchool : m_deleteSchool;
        if (i < kept)
            change.bind(1, schools[i]).bind(2, storedRows[i]);
        else
            change.bind(1, storedRows[i]);
        change.run();
        change.reset();
    }
    insertSchools(values[0], schools.mid(kept));
    return true;
}

void SpellImporter::update(Statement &statement, const QStringList &values, qint64 rowid)
{
    statement.bind(statement.bindAll(1, values), rowid);
    statement.run();
    statement.reset();
}

void SpellImporter::addSpellToSpellbook(const QString &caster, const QString &spell)
{
    m_addMember.bind(1, trimBlanks(caster)).bind(2, trimBlanks(spell));
    m_addMember.run();
    m_addMember.reset();
}

bool SpellImporter::doesCasterExist(const QString &caster)
{
    Statement select(m_db, "SELECT 1 FROM SpellCasters WHERE Spellbook = ? LIMIT 1");
    select.bind(1, caster);
    return select.step();
}

void SpellImporter::clearSpellbookList(const QString &caster)
{
    Statement remove(m_db, "DELETE FROM Spellbook WHERE Caster = ?");
    remove.bind(1, caster).run();
}

void SpellImporter::deleteCasterRecord(const QString &caster)
{
    Statement remove(m_db, "DELETE FROM SpellCasters WHERE rowid = "
                           "(SELECT rowid FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1)");
    remove.bind(1, caster).run();
}

void SpellImporter::addCasterRecord(const QStringList &details)
{
    QStringList values;
    for (int i = 0; i < SpellLevels::kCasterColumnCount; ++i)
        values.append(trimBlanks(details.value(i)));
    Statement insert(m_db, QStringLiteral("INSERT INTO SpellCasters (%1) VALUES (%2)")
                               .arg(SpellLevels::casterColumnList(),
                                    Statement::placeholders(SpellLevels::kCasterColumnCount)));
    insert.bindAll(1, values);
    insert.run();
}
