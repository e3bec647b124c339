#pragma once

#include "store/SpellFields.h"

#include <QString>
#include <QStringView>

// What a value must avoid to be carried by a Vellumar file. The exchange writer refuses a file
// on these rules, and the windows that take such text refuse it as it is typed, so that nothing
// accepted there can stop an export later. Each check returns the rest of a sentence about the
// value ("holds \"||\", which separates the fields of a Vellumar file."), or an empty string when
// the value can be written. Values are checked as they are written: blanks around them trimmed.
namespace ExchangeRules {

// Any field of a spell or a caster line but the description.
QString fieldProblem(QStringView value);
// A description, whose line breaks travel as "^^".
QString descriptionProblem(QStringView description);
// A school of a spell; followed: another school comes after it in the line. The limits of any
// field apply to the schools joined together (fieldProblem).
QString schoolProblem(QStringView school, bool followed);
// A school name as a window takes it: it may stand anywhere among a spell's schools.
QString schoolNameProblem(QStringView school);

// What a value may be at all, wherever it comes from: a file being read, or a window where it is
// typed. Longer text is no spell's (the longest delivered description is under 2,000 characters,
// the longest name under 30), and a description past its limit would freeze the windows that lay
// it out. Control characters (NUL, ESC, form feed...) are refused but tabs; only a description
// keeps its line breaks. Files written before these limits still export; they are refused where
// they come in.
enum class Entry { Name, Field, School, Description };
inline constexpr int kMaximumName = 200;
inline constexpr int kMaximumField = 255;
inline constexpr int kMaximumSchool = 100;
inline constexpr int kMaximumDescription = 20000;
int maximumLength(Entry entry);
QString entryProblem(QStringView value, Entry entry);
// A spell's name as it is typed or read: entryProblem's limits and fieldProblem's rules.
QString nameProblem(QStringView name);

// What a window tells the user when a spell's detail, as it would be stored, breaks the rules
// above; empty when it may be stored.
QString detailRefusal(SpellFields::Field field, const QString &stored);

// A description with its line breaks turned into "^^", as the file holds it.
QString flattenedDescription(QStringView description);
QString flattenedDescription(const QString &description);

// What a window tells the user when a value it was about to store breaks these rules: the
// field named as the window shows it ("range", "school name"), what is wrong, what to change.
QString refusal(const QString &field, const QString &problem, const QString &record);

} // namespace ExchangeRules
