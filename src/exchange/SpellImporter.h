#pragma once

#include "store/BackgroundCheckpoint.h"
#include "store/Database.h"
#include "store/LargePageCache.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class VM_Spell;

// Writes the records of an import into the library. Statements are prepared once per import,
// and records are committed in batches. A step (a record, a cleared list, the caster) that fails
// is undone alone and every step before it is committed before the failure is raised: the batch
// is rolled back and its earlier steps are run again. When the engine has already rolled the
// batch back (a full disk), or the batch cannot be written again, its earlier steps are lost too;
// importedSpells() counts only what is committed. A savepoint per step would keep them, but the
// engine then encrypts a copy of every page each step touches, a third of an overwrite import's
// time.
class SpellImporter
{
public:
    explicit SpellImporter(Connection &db);
    ~SpellImporter(); // rolls back the open batch when finish() never ran
    SpellImporter(const SpellImporter &) = delete;
    SpellImporter &operator=(const SpellImporter &) = delete;

    // A step that brings one spell in counts towards importedSpells() once committed. The work
    // may run again while its batch is open (when a later step fails), so what it refers to must
    // outlive finish().
    void step(const std::function<void()> &work, bool bringsSpell = false);
    void finish();
    // Spells whose steps are committed: what an import that stops part way keeps.
    int importedSpells() const { return m_committedSpells; }

    bool isSpellInLibrary(const QString &name);
    void addNewSpell(const VM_Spell &record);
    // False when the library has no spell of the record's name.
    bool overwriteExistingSpell(const VM_Spell &record);
    void addSpellToSpellbook(const QString &caster, const QString &spell);
    bool doesCasterExist(const QString &caster);
    void clearSpellbookList(const QString &caster);
    void deleteCasterRecord(const QString &caster);
    void addCasterRecord(const QStringList &details);

    // Steps per commit: few enough that an interrupted import loses little and a failed step's
    // batch is quickly run again, many enough that the cost of a commit (every changed page
    // written to the journal) is shared.
    static constexpr int kStepsPerCommit = 2000;

private:
    void insertSchools(const QString &name, const QStringList &schools);
    void begin();
    // Ends the open batch without keeping it.
    void rollBack();
    void redoBatchWithoutFailedStep();
    static void update(Statement &statement, const QStringList &values, qint64 rowid);

    Connection &m_db;
    Statement m_spellExists;
    Statement m_insertSpell;
    Statement m_storedSpell;
    Statement m_updateListed;
    Statement m_updateAll;
    Statement m_updateDetails;
    Statement m_storedSchools;
    Statement m_insertSchool;
    Statement m_updateSchool;
    Statement m_deleteSchool;
    Statement m_addMember;
    LargePageCache m_cache;
    BackgroundCheckpoint m_checkpoint;
    bool m_open = false;
    // The open batch's steps, to run again when a later one fails.
    struct Done
    {
        std::function<void()> work;
        bool bringsSpell;
    };
    std::vector<Done> m_batch;
    int m_pendingSpells = 0;
    int m_committedSpells = 0;
};
