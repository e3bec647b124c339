#include "exchange/SpellImporter.h"
#include "store/Names.h"
#include "exchange/VM_SpellSaver.h"

#include "store/Status.h"

#include <QHash>

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
        for (const VM_Spell &record : m_importList) {
            if (!checked.value(record.Fetch_Spell_Name(), false))
                continue;
            importer.step([&] {
                if (!importer.overwriteExistingSpell(record))
                    importer.addNewSpell(record);
            });
            if (progress && !progress(++done, total))
                break;
        }
        importer.finish();
    });
}

void VM_SpellSaver::ImportSpellbook(const ListRows &list, bool replaceList, bool replaceDetails,
                                    bool overwriteSpells, const ImportProgress &progress)
{
    raiseAs("ImportSpellbook", [&] {
        const QString caster = m_casterDetails.value(0).trimmed();
        if (caster.isEmpty())
            throw VmError(-1, QString(),
                          QStringLiteral("The spellbook has no name: enter one before importing it."));
        if (caster == kReservedSpellbook)
            throw VmError(
                -1, QString(),
                QStringLiteral("KXR is the name of the whole library: give the spellbook another name "
                               "before importing it."));

        SpellImporter importer(db());
        const bool casterExists = importer.doesCasterExist(caster);
        if (replaceList && casterExists)
            importer.step([&] { importer.clearSpellbookList(caster); });

        const QHash<QString, bool> checked = checkBoxesByName(list);
        const int total = progress ? checkedCount(m_importList, checked) : 0;
        int done = 0;
        for (const VM_Spell &record : m_importList) {
            if (!checked.value(record.Fetch_Spell_Name(), false))
                continue;
            importer.step([&] {
                if (replaceList || !casterExists)
                    importer.addSpellToSpellbook(caster, record.Fetch_Spell_Name());
                const bool exists = overwriteSpells ? importer.overwriteExistingSpell(record)
                                                    : importer.isSpellInLibrary(record.Fetch_Spell_Name());
                if (!exists)
                    importer.addNewSpell(record);
            });
            if (progress && !progress(++done, total))
                break;
        }

        // The caster row comes last: its list is complete before the caster appears.
        if (!casterExists || replaceDetails) {
            importer.step([&] {
                if (casterExists)
                    importer.deleteCasterRecord(caster);
                importer.addCasterRecord(m_casterDetails);
            });
        }
        importer.finish();
    });
}
