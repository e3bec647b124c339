#pragma once

#include "store/Database.h"
#include "store/SpellFields.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <unordered_map>
#include <vector>

class VM_Spell;

// What importing each record of a file would do to the library: add a spell it lacks, leave a
// spell it holds exactly as it is, or replace the details of one that differs. The library's
// versions of the file's spells are read in one pass, so a record corrected in the window can be
// judged again without asking the library.
class ImportReview
{
public:
    enum class Status { New, Same, Changed };

    // The details that an import stores, as the spell form describes them.
    using Field = SpellFields::Field;

    // A spell as the library holds it: its details by Field, and its schools in stored order.
    struct Version
    {
        QStringList details;
        QStringList schools;
    };

    // What a record would change in the library's version of it.
    struct Difference
    {
        QList<Field> fields;
        QStringList schoolsAdded;
        QStringList schoolsRemoved;
        bool isEmpty() const
        {
            return fields.isEmpty() && schoolsAdded.isEmpty() && schoolsRemoved.isEmpty();
        }
    };

    ImportReview() = default;
    // Reads the library's versions of the records' spells: one scan of the spells and one of
    // their schools, whatever the number of records.
    void read(Connection &db, const std::vector<VM_Spell> &records);
    void clear();
    // The library now holds these records as an import stores them. They are taken in when the
    // review is next asked about a spell, so that an import of thousands of spells is not slowed
    // by copying what may never be looked at: the records must not change until then, or
    // settle() is called first.
    void adoptLater(const std::vector<VM_Spell> &records, std::vector<qsizetype> indexes);
    void settle() const;

    // The library's version of a spell; nullptr when it holds none of that name. Valid until the
    // review is read again or cleared.
    const Version *libraryVersion(const QString &spellName) const;
    Status status(const VM_Spell &record) const;
    Difference difference(const VM_Spell &record) const;

    static QString statusText(Status status);
    // A record's detail as an import stores it (surrounding blanks removed).
    static QString detail(const VM_Spell &record, Field field);

private:
    void adopt(const VM_Spell &record) const;
    // The version of one spell of those adopted later, taken in alone; nullptr when none has
    // that name. A few such look-ups are a scan each, more take in every record at once.
    const Version *adoptedVersion(const QString &trimmedName) const;

    // By spell name, surrounding blanks removed. A review is asked through const calls, which
    // take in what was adopted later: the map's nodes stay where they are as it grows, so a
    // version handed out stays valid while the review is asked again.
    mutable std::unordered_map<QString, Version> m_versions;
    const std::vector<VM_Spell> *m_adoptedRecords = nullptr;
    mutable std::vector<qsizetype> m_adopted;
    mutable int m_scans = 0;
};
