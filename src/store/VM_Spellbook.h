#pragma once

#include "store/Database.h"

#include <QString>

// One caster: the owner of a user spellbook, with how many spells of each level it can hold.
// Each field has a reader and a writer under one name.
class VM_Spellbook
{
public:
    VM_Spellbook(); // the connection opens at the first statement
    ~VM_Spellbook();

    QString Set_Caster_Details(const QString &name);
    QString Add_New_Caster();
    QString Update_Existing_Caster(const QString &name);
    QString Delete_Existing_Caster(const QString &name);

    QString Fetch_Name() const { return m_fields[Name]; }
    void Fetch_Name(const QString &value) { m_fields[Name] = value; }
    QString Fetch_Lvl() const { return m_fields[Lvl]; }
    void Fetch_Lvl(const QString &value) { m_fields[Lvl] = value; }
    QString Fetch_Race() const { return m_fields[Race]; }
    void Fetch_Race(const QString &value) { m_fields[Race] = value; }
    QString Fetch_Class() const { return m_fields[Class]; }
    void Fetch_Class(const QString &value) { m_fields[Class] = value; }
    QString Fetch_First() const { return m_fields[First]; }
    void Fetch_First(const QString &value) { m_fields[First] = value; }
    QString Fetch_Second() const { return m_fields[Second]; }
    void Fetch_Second(const QString &value) { m_fields[Second] = value; }
    QString Fetch_Third() const { return m_fields[Third]; }
    void Fetch_Third(const QString &value) { m_fields[Third] = value; }
    QString Fetch_Fourth() const { return m_fields[Fourth]; }
    void Fetch_Fourth(const QString &value) { m_fields[Fourth] = value; }
    QString Fetch_Fifth() const { return m_fields[Fifth]; }
    void Fetch_Fifth(const QString &value) { m_fields[Fifth] = value; }
    QString Fetch_Sixth() const { return m_fields[Sixth]; }
    void Fetch_Sixth(const QString &value) { m_fields[Sixth] = value; }
    QString Fetch_Seventh() const { return m_fields[Seventh]; }
    void Fetch_Seventh(const QString &value) { m_fields[Seventh] = value; }
    QString Fetch_Eighth() const { return m_fields[Eighth]; }
    void Fetch_Eighth(const QString &value) { m_fields[Eighth] = value; }
    QString Fetch_Ninth() const { return m_fields[Ninth]; }
    void Fetch_Ninth(const QString &value) { m_fields[Ninth] = value; }

private:
    // In the column order of SpellCasters.
    enum Field {
        Name,
        Lvl,
        Race,
        Class,
        First,
        Second,
        Third,
        Fourth,
        Fifth,
        Sixth,
        Seventh,
        Eighth,
        Ninth,
        FieldCount
    };

    Connection &db() { return m_connection.get(); }
    // rowid of the caster's first row, or 0 when there is none.
    qint64 findCaster(const QString &name);

    LazyConnection m_connection;
    QString m_fields[FieldCount];
};
