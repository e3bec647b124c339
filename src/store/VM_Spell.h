#pragma once

#include "store/Database.h"

#include <QString>
#include <QStringList>

// One spell of the library with its schools and the spellbooks that hold it. It checks
// nothing itself: the windows and the import validate before they save.
class VM_Spell
{
public:
    VM_Spell(); // the connection opens at the first statement
    VM_Spell(VM_Spell &&) noexcept = default;
    VM_Spell &operator=(VM_Spell &&) noexcept = default;
    ~VM_Spell();

    bool Set_Spell_Details(const QString &name);
    // Reads a spell as Set_Spell_Details does, and says what it found: the spell, no such spell (it
    // has left the library), or a library that could not be read — which is not a spell that left.
    enum class Found { Read, Gone, Unreadable };
    Found read(const QString &name);
    void Set_Spellbooks(const QString &name);
    QString Add_New_Spell();
    QString Update_Existing_Spell(const QString &oldName, bool keepSpellbooks);
    QString Delete_Spell(const QString &name);
    QString Set_Spell_Hold();

    QStringList Fetch_Spell_Schools_Collection() const { return m_schools; }
    void Set_Spell_Schools_Collection(const QStringList &schools) { m_schools = schools; }
    QStringList Fetch_Spellbooks_Collection() const { return m_spellbooks; }
    void Set_Spellbooks_Collection(const QStringList &casters) { m_spellbooks = casters; }

    QString Fetch_Spell_Name() const { return m_name; }
    void Set_Spell_Name(const QString &value) { m_name = value; }
    QString Fetch_Spell_Level() const { return m_level; }
    void Set_Spell_Level(const QString &value) { m_level = value; }
    QString Fetch_Spell_Frequency() const { return m_frequency; }
    void Set_Spell_Frequency(const QString &value) { m_frequency = value; }
    QString Fetch_Spell_Book_Number() const { return m_book; }
    void Set_Spell_Book_Number(const QString &value) { m_book = value; }
    QString Fetch_Spell_Page_Number() const { return m_page; }
    void Set_Spell_Page_Number(const QString &value) { m_page = value; }
    QString Fetch_Spell_Components() const { return m_components; }
    void Set_Spell_Components(const QString &value) { m_components = value; }
    QString Fetch_Spell_Range() const { return m_range; }
    void Set_Spell_Range(const QString &value) { m_range = value; }
    QString Fetch_Spell_Duration() const { return m_duration; }
    void Set_Spell_Duration(const QString &value) { m_duration = value; }
    QString Fetch_Spell_Area_of_Effect() const { return m_areaOfEffect; }
    void Set_Spell_Area_of_Effect(const QString &value) { m_areaOfEffect = value; }
    QString Fetch_Spell_Casting_Time() const { return m_castingTime; }
    void Set_Spell_Casting_Time(const QString &value) { m_castingTime = value; }
    QString Fetch_Spell_Casting_Time_Type() const { return m_castingTimeType; }
    void Set_Spell_Casting_Time_Type(const QString &value) { m_castingTimeType = value; }
    QString Fetch_Spell_Saving_Throw() const { return m_savingThrow; }
    void Set_Spell_Saving_Throw(const QString &value) { m_savingThrow = value; }
    QString Fetch_Spell_Description() const { return m_description; }
    void Set_Spell_Description(const QString &value) { m_description = value; }
    QString Fetch_Spell_Author() const { return m_author; }
    void Set_Spell_Author(const QString &value) { m_author = value; }

    bool WasUpdated() const { return m_wasUpdated; }
    void WasUpdated(bool value) { m_wasUpdated = value; }

    void KillConnection();

private:
    Connection &db() { return m_connection.get(); }
    void insertSchools(const QString &name);
    void insertSpellbooks(const QString &name);
    QStringList trimmedFields() const; // the fourteen columns, Name to Author

    LazyConnection m_connection;
    QString m_name;
    QString m_level;
    QString m_frequency;
    QString m_book;
    QString m_page;
    QString m_components;
    QString m_range;
    QString m_duration;
    QString m_areaOfEffect;
    QString m_castingTime;
    QString m_castingTimeType;
    QString m_savingThrow;
    QString m_description;
    QString m_author;
    QStringList m_schools;
    QStringList m_spellbooks;
    bool m_wasUpdated = false;
};
