#pragma once

#include "exchange/ExchangeReader.h"
#include "store/Database.h"
#include "store/ListRows.h"
#include "store/SpellFields.h"
#include "store/VM_Spell.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The corrections the import window makes to one record before it is imported.
struct SpellEdits
{
    QHash<SpellFields::Field, QString> details; // the details corrected; the others stay
    QStringList schools;
};

// Writes spells files and spellbook files, reads them back into an import list, and takes the
// checked records of that list into the library. Every operation raises VmError with its own
// name as the source.
class VM_SpellSaver
{
public:
    VM_SpellSaver(); // the connection opens at the first statement
    ~VM_SpellSaver();
    VM_SpellSaver(const VM_SpellSaver &) = delete;
    VM_SpellSaver &operator=(const VM_SpellSaver &) = delete;

    // Writers: list rows are the caller's spell list, each row's text a spell name. A file name
    // ending in .md or .json gets Markdown or JSON (see ReadableExport) instead of the exchange file.
    void Save2(const QString &fileTitle, const QString &filePath, const ListRows &list);
    void SaveSpellbook2(const QString &fileTitle, const QString &filePath, const ListRows &list,
                        const QString &spellbook, const QString &mode);
    // Readers: fill list with one checked row per spell (subItems = level, author) and the
    // import list with one record per spell; what was read before a fault is kept. A file from
    // which nothing could be read leaves the import list and the caster as they were
    // (Import_List_Replaced() tells).
    void OpenSpellFile2(ListRows &list, const QString &filePath);
    void OpenSpellbookFile2(ListRows &list, const QString &filePath);
    // No scroll format exists; returns the message for the window to show and writes nothing.
    QString SaveScroll(const QString &fileTitle, const QString &filePath, const QString &selection,
                       const QString &kind);

    // Import pipeline: a record is imported when the first row whose text equals its name is
    // checked, and when it can be (importProblem): the others are skipped, and the returned
    // message names them (empty when none was). Each record, and the caster, runs in a savepoint of its own,
    // so a failing one is undone alone; commits come every 2,000 records and at the end. progress is told
    // after each record how many of the checked ones are done; when it returns false the import ends there,
    // keeping what it wrote (a spellbook still gets its caster row, so the spells already listed belong to a
    // caster the user can open).
    using ImportProgress = std::function<bool(int done, int total)>;
    QString ImportSpells(const ListRows &list, const ImportProgress &progress = {});
    QString ImportSpellbook(const ListRows &list, bool replaceList, bool replaceDetails, bool overwriteSpells,
                            const ImportProgress &progress = {});
    void SaveItem(const QString &spellName, const SpellEdits &edits);
    // Corrects one record of the import list by its position, leaving others of the same name.
    void SaveItem(qsizetype record, const SpellEdits &edits);

    const std::vector<VM_Spell> &Import_List() const { return m_importList; }
    bool Import_List_Replaced() const { return m_listReplaced; }
    // Why a record cannot be imported as it stands (a level outside 1 to 9, no school: the library
    // could not list it), or an empty text.
    static QString importProblem(const VM_Spell &record);
    QStringList Caster_Details() const { return m_casterDetails; } // the 13 values of the caster line
    void Set_Caster_Details(const QStringList &details);

private:
    Connection &db() { return m_connection.get(); }

    // Export
    using SpellLineSink = std::function<void(const QStringList &fields, const QStringList &schools)>;
    void addSpellLines(const SpellLineSink &add, const QStringList &names);
    QStringList casterFields(const QString &spellbook);
    // "Filtered": every row of the browser's list; "Full": every spell of the spellbook.
    QStringList spellbookNames(const QString &caster, const ListRows &list, bool full);

    // Reading
    void open(ListRows &list, const QString &filePath, ExchangeReader::Kind kind);

    LazyConnection m_connection;
    std::vector<VM_Spell> m_importList;
    QStringList m_casterDetails;
    bool m_listReplaced = true;
};
