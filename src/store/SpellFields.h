#pragma once

#include <QString>
#include <QStringList>

#include <span>

class VM_Spell;

// A spell's details described once: where each is stored, how the forms show it and what they
// call it, and how it is read from and written to a spell record. The manage-spells window, the
// import window and the import's review are driven by this table; a new detail is a row here
// (and its column in the schema and its member of VM_Spell).
namespace SpellFields {

// In the order of the Spells table's columns after Name.
enum Field {
    Level,
    Frequency,
    Book,
    Page,
    Components,
    Range,
    Duration,
    AreaOfEffect,
    CastingTime,
    CastingTimeType,
    SavingThrow,
    Description,
    Author,
    Count
};

// How a form takes the detail: one of a fixed list, a line of text, or text of several lines.
enum class Control { Choice, Line, Text };

struct FieldDescription
{
    Field field;
    const char *column;  // in the Spells table, bracketed where it holds a blank
    int fileField;       // its place in a spell line of a Vellumar file
    const char *caption; // as messages and the review name it: "Area of Effect"
    Control control;
    const QStringList &(*choices)(); // a Choice's entries, in the order offered
    QString (VM_Spell::*read)() const;
    void (VM_Spell::*write)(const QString &);
    // The control and its label in each form that shows the detail; empty where none does.
    const char *manageName;
    const char *manageLabel;
    const char *importName;
    const char *importLabel;
};

// Every detail, in Field order.
std::span<const FieldDescription> all();
const FieldDescription &of(Field field);

QString value(const VM_Spell &spell, Field field);
void setValue(VM_Spell &spell, Field field, const QString &value);

// "1" to "9".
const QStringList &levelNames();

// "Lvl, Frequency, ..., Author": the columns of all(), in order, for a statement.
QString columnList();

} // namespace SpellFields
