// The records of an opened file imported into the library, in batches of steps.

#include "exchange/SpellImporter.h"
#include "exchange/VM_SpellSaver.h"
#include "store/Blanks.h"
#include "store/Names.h"
#include "store/SpellFields.h"

#include "store/Status.h"
#include "store/Undo.h"

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

// The checked records that can be imported; the others checked are named in skipped.
std::vector<const VM_Spell *> importable(const std::vector<VM_Spell> &records,
                                         const QHash<QString, bool> &checked, QStringList &skipped)
{
    std::vector<const VM_Spell *> taken;
    for (const VM_Spell &record : records) {
        if (!checked.value(record.Fetch_Spell_Name(), false))
            continue;
        if (const QString problem = VM_SpellSaver::importProblem(record); !problem.isEmpty())
            skipped.append(trimBlanks(record.Fetch_Spell_Name()) + QStringLiteral(": ") + problem);
        else
            taken.push_back(&record);
    }
    return taken;
}

QString skippedMessage(const QStringList &skipped)
{
    if (skipped.isEmpty())
        return {};
    constexpr qsizetype kNamed = 10;
    QString text =
        skipped.size() == 1
            ? QStringLiteral("1 checked spell was not imported, since the library could not list it:")
            : QStringLiteral("%1 checked spells were not imported, since the library could not list "
                             "them:")
                  .arg(skipped.size());
    for (const QString &one : skipped.mid(0, kNamed))
        text += QStringLiteral("\n") + one;
    if (skipped.size() > kNamed)
        text += QStringLiteral("\n... and %1 more.").arg(skipped.size() - kNamed);
    return text + QStringLiteral("\nGive each a level from 1 to 9 and a school, then import it.");
}

} // namespace

QString VM_SpellSaver::importProblem(const VM_Spell &record)
{
    const QString level = trimBlanks(record.Fetch_Spell_Level());
    if (level.isEmpty())
        return QStringLiteral("it has no level; a spell has a level from 1 to 9.");
    if (!SpellFields::levelNames().contains(level)) {
        constexpr qsizetype kShown = 30;
        return QStringLiteral("its level \"%1\" is not one from 1 to 9.")
            .arg(level.size() > kShown ? level.left(kShown) + QStringLiteral("...") : level);
    }
    for (const QString &school : record.Fetch_Spell_Schools_Collection()) {
        if (!trimBlanks(school).isEmpty())
            return {};
    }
    return QStringLiteral("it has no school; the library lists a spell by its schools.");
}

QString VM_SpellSaver::ImportSpells(const ListRows &list, const ImportProgress &progress)
{
    QStringList skipped;
    const std::vector<const VM_Spell *> records = importable(m_importList, checkBoxesByName(list), skipped);
    const UndoStep step(QStringLiteral("Import of ") +
                        UndoStep::counted(int(records.size()), QStringLiteral("Spell")));
    raiseAs("ImportSpells", [&] {
        const int total = int(records.size());
        int done = 0;
        SpellImporter importer(db());
        countingWhatIsKept(importer, [&] {
            for (const VM_Spell *record : records) {
                importer.step(
                    [&importer, record] {
                        if (!importer.overwriteExistingSpell(*record))
                            importer.addNewSpell(*record);
                    },
                    true);
                if (progress && !progress(++done, total))
                    break;
            }
            importer.finish();
        });
    });
    return skippedMessage(skipped);
}

QString VM_SpellSaver::ImportSpellbook(const ListRows &list, bool replaceList, bool replaceDetails,
                                       bool overwriteSpells, const ImportProgress &progress)
{
    QStringList skipped;
    const UndoStep step(QStringLiteral("Import of Spellbook ") + UndoStep::quoted(m_casterDetails.value(0)));
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
            const std::vector<const VM_Spell *> records = importable(m_importList, checked, skipped);
            const int total = int(records.size());
            int done = 0;
            for (const VM_Spell *record : records) {
                importer.step(
                    [&, record] {
                        if (replaceList || !casterExists)
                            importer.addSpellToSpellbook(caster, record->Fetch_Spell_Name());
                        const bool exists = overwriteSpells
                                                ? importer.overwriteExistingSpell(*record)
                                                : importer.isSpellInLibrary(record->Fetch_Spell_Name());
                        if (!exists)
                            importer.addNewSpell(*record);
                    },
                    true);
                if (progress && !progress(++done, total))
                    break;
            }
            importer.finish();
        });
    });
    return skippedMessage(skipped);
}
