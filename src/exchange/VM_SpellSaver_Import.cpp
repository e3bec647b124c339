// The records of an opened file imported into the library, in savepoints and batches.

#include "exchange/SpellImporter.h"
#include "exchange/VM_SpellSaver.h"
#include "store/Blanks.h"
#include "store/Names.h"

#include "store/Status.h"

#include <QHash>

#include <sqlite3.h>

namespace {

// The check box that decides for a record: that of the first row whose text is the record's
// name, exactly. A record without such a row is not imported.
QHash<QString, bool> checkBoxesByName(const ListRows &list)
{
    QHash<QString, bool> checked;
    checked.reserve(list.size());
    for (auto row = list.crbegin(); row != list.crend(); ++row)
        checked.insert(row->text, row->checked); // walking backwards leaves the first row's box
    return checked;
}

// An import stopped by the library being busy or the disk being full keeps what it committed;
// the user needs to know how far it came to judge what to do next.
template<typename Work>
void countingWhatIsKept(const SpellImporter &importer, Work &&work)
{
    try {
        work();
    } catch (const VmError &error) {
        const int primary = error.number & 0xff;
        if (primary != SQLITE_BUSY && primary != SQLITE_LOCKED && primary != SQLITE_FULL &&
            primary != SQLITE_IOERR)
            throw;
        const int imported = importer.importedSpells();
        QString reason = error.description.trimmed();
        if (!reason.endsWith(QLatin1Char('.')))
            reason += QLatin1Char('.');
        throw VmError(
            error.number, error.source,
            reason + QStringLiteral(" The import stopped there: %1 %2 already been imported and %3 kept. "
                                    "Import the file again to bring in the rest.")
                         .arg(imported)
                         .arg(imported == 1 ? QStringLiteral("spell had") : QStringLiteral("spells had"),
                              imported == 1 ? QStringLiteral("is") : QStringLiteral("are")));
    }
}

int checkedCount(const std::vector<VM_Spell> &records, const QHash<QString, bool> &checked)
{
    int count = 0;
    for (const VM_Spell &record : records)
        count += checked.value(record.Fetch_Spell_Name(), false) ? 1 : 0;
    return count;
}

} // namespace

void VM_SpellSaver::ImportSpells(const ListRows &list, const ImportProgress &progress)
{
    raiseAs("ImportSpells", [&] {
        const QHash<QString, bool> checked = checkBoxesByName(list);
        const int total = progress ? checkedCount(m_importList, checked) : 0;
        int done = 0;
        SpellImporter importer(db());
        countingWhatIsKept(importer, [&] {
            for (const VM_Spell &record : m_importList) {
                if (!checked.value(record.Fetch_Spell_Name(), false))
                    continue;
                importer.step(
                    [&] {
                        if (!importer.overwriteExistingSpell(record))
                            importer.addNewSpell(record);
                    },
                    true);
                if (progress && !progress(++done, total))
                    break;
            }
            importer.finish();
        });
    });
}

void VM_SpellSaver::ImportSpellbook(const ListRows &list, bool replaceList, bool replaceDetails,
                                    bool overwriteSpells, const ImportProgress &progress)
{
    raiseAs("ImportSpellbook", [&] {
        const QString caster = trimBlanks(m_casterDetails.value(0));
        if (caster.isEmpty())
            throw VmError(-1, QString(),
                          QStringLiteral("The spellbook has no name: enter one before importing it."));
        if (caster == kReservedSpellbook)
            throw VmError(
                -1, QString(),
                QStringLiteral("KXR is the name of the whole library: give the spellbook another name "
                               "before importing it."));

        SpellImporter importer(db());
        countingWhatIsKept(importer, [&] {
            const bool casterExists = importer.doesCasterExist(caster);
            if (replaceList && casterExists)
                importer.step([&] { importer.clearSpellbookList(caster); });
            // The caster row goes in with the first batch, before any of its list: an import that
            // stops part way leaves a spellbook that is listed, and that can be imported again.
            if (!casterExists || replaceDetails) {
                importer.step([&] {
                    if (casterExists)
                        importer.deleteCasterRecord(caster);
                    importer.addCasterRecord(m_casterDetails);
                });
            }

            const QHash<QString, bool> checked = checkBoxesByName(list);
            const int total = progress ? checkedCount(m_importList, checked) : 0;
            int done = 0;
            for (const VM_Spell &record : m_importList) {
                if (!checked.value(record.Fetch_Spell_Name(), false))
                    continue;
                importer.step(
                    [&] {
                        if (replaceList || !casterExists)
                            importer.addSpellToSpellbook(caster, record.Fetch_Spell_Name());
                        const bool exists = overwriteSpells
                                                ? importer.overwriteExistingSpell(record)
                                                : importer.isSpellInLibrary(record.Fetch_Spell_Name());
                        if (!exists)
                            importer.addNewSpell(record);
                    },
                    true);
                if (progress && !progress(++done, total))
                    break;
            }
            importer.finish();
        });
    });
}
