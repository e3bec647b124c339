#pragma once

#include "store/Database.h"
#include "store/ListRows.h"
#include "store/Table.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

// The query layer of the store: spellbook lists and the tables a browser shows, schools and
// frequencies, spellbook membership and failed spells, search, scrolls and print holds.
// Result tables live in the object until the next call that replaces them; the Fetch_*_Array
// accessors hand out copies.
class VM_Library
{
public:
    VM_Library(); // throws VmError when the library cannot be opened
    ~VM_Library();
    VM_Library(const VM_Library &) = delete;
    VM_Library &operator=(const VM_Library &) = delete;

    // Spellbooks and the browser tables
    QStringList Get_Exisiting_Spellbook_Names();
    int Fetch_Spellbooks_Count() const;
    void Create_Spell_List_Array(const QString &spellbook);
    QString Requery(const QStringList &levels, const QStringList &schools, const QString &spellbook);
    void LoadSpellList(const QString &caster, ListRows &list);
    QString Fetch_Current_Spellbook_Name() const;
    void ReSet_Current_Spellbook_Name(const QString &name);
    bool Is_Spellbook_Resident() const;
    OptionalTable Fetch_Spells_Array() const;
    OptionalTable Fetch_Schools_Array() const;
    OptionalTable Fetch_Search_Array() const;

    // Schools and frequencies
    QStringList Fetch_Schools_List();
    QStringList Fetch_User_Schools_List();
    // Throws VmError when the library cannot be read.
    QString Fetch_School_Description(const QString &school);
    QString Add_New_School(const QString &school);
    QString Update_Exisiting_School_Description(const QString &school, const QString &description);
    QString Delete_New_School(const QString &school);
    QStringList Fetch_Spells_List();
    QString Fetch_Frequencies(); // read back with Fetch_Scrolls_Array

    // Spellbook membership and failed spells
    void Add_Spells_To_Spellbook(const QString &caster, const ListRows &list); // throws VmError
    QString Remove_Spells_From_Spellbook(const QStringList &names, const QString &caster);
    void Remove_Spells_From_Failed(const QString &caster, const ListRows &list); // throws VmError
    // Moves the selected failed spells into the caster's spellbook, all or nothing.
    void Learn_Failed_Spells(const QString &caster, const ListRows &list); // throws VmError

    // Search
    QString Search(const QString &field, const QString &scope, const QString &text, const QString &mode);

    // Scrolls; a scroll line is text = spell, subItems = level, frequency, book, page
    bool Fetch_Scrolls_List();
    void Fetch_Scroll_Details(const QString &scrollName, const QString &caster);
    OptionalTable Fetch_Scrolls_Array() const;
    QString DoesScrollExist(const QString &scrollName, const QString &caster);
    QString SaveScroll(const QString &scrollName, const QString &caster, const ListRows &lines);
    QString UpdateScroll(const QString &caster, const QString &scrollName, const ListRows &lines);
    QString DeleteScroll(const QString &kind, const QString &caster, const QString &scrollName);
    QString FillScrollDetails(const QString &kind, const QString &name);
    // One caster's scroll of that name only, where the two-argument form takes every caster's.
    QString FillScrollDetails(const QString &kind, const QString &name, const QString &caster);
    OptionalTable Fetch_LibScrolls_Array() const;
    void Fetch_LibScrolls_Array(const OptionalTable &value);
    QString CreateScroll(const QStringList &levels, const QStringList &schools, int lowestFrequencyId,
                         int count);
    // The same draw from a generator seeded with the given value, so that a draw can be repeated.
    QString CreateScroll(const QStringList &levels, const QStringList &schools, int lowestFrequencyId,
                         int count, quint32 seed);

    // Print holds
    QString Set_Caster_Hold(const QString &caster, const QString &filter);
    void Print_Filtered_Spellbook(const ListRows &list, const QString &caster);

private:
    Connection &db() { return *m_connection; }
    // Whether the library may have changed since: a token of every connection's commits.
    std::pair<qint64, qint64> libraryState();
    QString fillScrollHold(const QString &kind, const QString &name, const std::optional<QString> &caster);

    std::unique_ptr<Connection> m_connection;
    QString m_currentSpellbook;
    int m_spellbookCount = 0;
    bool m_spellbookResident = false;
    OptionalTable m_spells;
    OptionalTable m_schools;
    // The whole spellbook as last read, kept while the library has not changed, so that a
    // requery filters it here instead of reading it again.
    struct Book;
    std::unique_ptr<Book> m_book;
    OptionalTable m_search;
    OptionalTable m_scrolls;    // saved scrolls, or the frequency scale
    OptionalTable m_libScrolls; // the generated scroll
};
