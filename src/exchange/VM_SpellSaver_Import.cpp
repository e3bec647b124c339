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

} // namespace

void VM_SpellSaver::ImportSpells(const ListRows &list)
{
    raiseAs("ImportSpells", [&] {
        const QHash<QString, bool> checked = checkBoxesByName(list);
        SpellImporter importer(db());
        for (const VM_Spell &record : m_importList) {
            if (!checked.value(record.Fetch_Spell_Name(), false))
                continue;
            importer.step([&] {
                if (!importer.overwriteExistingSpell(record))
                    importer.addNewSpell(record);
            });
        }
        importer.finish();
    });
}

void VM_SpellSaver::ImportSpellbook(const ListRows &list, bool replaceList, bool replaceDetails,
                                    bool overwriteSpells)
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
        }
        importer.finish();
    });
}
