#include "exchange/ExchangeRules.h"

#include "exchange/ExchangeFormat.h"
#include "store/Blanks.h"

namespace ExchangeRules {

using namespace ExchangeFormat;

namespace {

// Every separator is one character twice. A search for the one character is vectorised; a search
// for the pair is not, and an export checks every field of every spell.
constexpr bool isDoubled(QStringView separator)
{
    return separator.size() == 2 && separator[0] == separator[1];
}
static_assert(isDoubled(kFieldSeparator) && isDoubled(kLineBreak) && isDoubled(kSchoolSeparator));

bool containsDoubled(QStringView text, QStringView separator)
{
    const QChar half = separator.front();
    for (qsizetype at = text.indexOf(half); at >= 0 && at + 1 < text.size();
         at = text.indexOf(half, at + 1)) {
        if (text[at + 1] == half)
            return true;
    }
    return false;
}

bool hasLineBreak(QStringView value)
{
    return value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
}

// The separator may not stand in a field, nor half of one at its end: "a|" followed by "||"
// would read back as "a" and a following field starting with "|".
QString separatorProblem(QStringView value)
{
    if (containsDoubled(value, kFieldSeparator))
        return QStringLiteral("holds \"||\", which separates the fields of a Vellumar file.");
    if (value.endsWith(QLatin1Char('|')))
        return QStringLiteral("ends with \"|\", which would merge with the \"||\" after it.");
    return {};
}

bool caretBeforeBreak(QStringView text)
{
    for (qsizetype at = text.indexOf(QLatin1Char('^')); at >= 0 && at + 1 < text.size();
         at = text.indexOf(QLatin1Char('^'), at + 1)) {
        if (text[at + 1] == QLatin1Char('\r') || text[at + 1] == QLatin1Char('\n'))
            return true;
    }
    return false;
}

} // namespace

QString fieldProblem(QStringView value)
{
    value = trimBlanks(value);
    if (QString problem = separatorProblem(value); !problem.isEmpty())
        return problem;
    if (hasLineBreak(value))
        return QStringLiteral("holds a line break, which would split its line.");
    return {};
}

// A "^^" of its own, or a "^" just before a line break, would come back as something else.
QString descriptionProblem(QStringView description)
{
    description = trimBlanks(description);
    if (containsDoubled(description, kLineBreak))
        return QStringLiteral("holds \"^^\", which marks a line break in a Vellumar file.");
    if (caretBeforeBreak(description))
        return QStringLiteral("has \"^\" just before a line break, which would merge with the \"^^\" that "
                              "marks it.");
    // Most descriptions hold no line break, and flattening would only copy them.
    if (!hasLineBreak(description))
        return separatorProblem(description);
    return separatorProblem(flattenedDescription(description));
}

QString schoolProblem(QStringView school, bool followed)
{
    school = trimBlanks(school);
    if (containsDoubled(school, kSchoolSeparator))
        return QStringLiteral("holds \"~~\", which separates the schools of a spell.");
    if (followed && school.endsWith(QLatin1Char('~')))
        return QStringLiteral("ends with \"~\", which would merge with the \"~~\" after it.");
    return {};
}

QString schoolNameProblem(QStringView school)
{
    const QString problem = schoolProblem(school, true);
    return problem.isEmpty() ? fieldProblem(school) : problem;
}

// Every kind of line break becomes "^^", so a description of several paragraphs stays on one line.
QString flattenedDescription(QStringView description)
{
    return flattenedDescription(description.toString());
}

QString flattenedDescription(const QString &description)
{
    if (!hasLineBreak(description))
        return description; // shared, not copied
    QString flat = description;
    flat.replace(QStringLiteral("\r\n"), kLineBreak.toString());
    flat.replace(QLatin1Char('\r'), kLineBreak.toString());
    flat.replace(QLatin1Char('\n'), kLineBreak.toString());
    return flat;
}

int maximumLength(Entry entry)
{
    switch (entry) {
    case Entry::Name:
        return kMaximumName;
    case Entry::Field:
        return kMaximumField;
    case Entry::School:
        return kMaximumSchool;
    case Entry::Description:
        return kMaximumDescription;
    }
    return kMaximumField;
}

QString entryProblem(QStringView value, Entry entry)
{
    value = trimBlanks(value);
    if (value.size() > maximumLength(entry))
        return QStringLiteral("is %1 characters long; it may have at most %2.")
            .arg(value.size())
            .arg(maximumLength(entry));
    for (const QChar c : value) {
        if (c.category() != QChar::Other_Control)
            continue;
        // A tab is white space that older files hold in any field; a line break only a
        // description can carry.
        if (c == QLatin1Char('\t') ||
            (entry == Entry::Description && (c == QLatin1Char('\r') || c == QLatin1Char('\n'))))
            continue;
        return QStringLiteral("holds the control character %1, which is no part of a text.")
            .arg(QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper());
    }
    return {};
}

QString nameProblem(QStringView name)
{
    const QString problem = entryProblem(name, Entry::Name);
    return problem.isEmpty() ? fieldProblem(name) : problem;
}

QString detailRefusal(SpellFields::Field field, const QString &stored)
{
    const bool description = field == SpellFields::Description;
    QString problem = entryProblem(stored, description ? Entry::Description : Entry::Field);
    if (problem.isEmpty())
        problem = description ? descriptionProblem(stored) : fieldProblem(stored);
    if (problem.isEmpty())
        return {};
    return refusal(QString(QLatin1String(SpellFields::of(field).caption)).toLower(), problem,
                   QStringLiteral("spell"));
}

QString refusal(const QString &field, const QString &problem, const QString &record)
{
    return QStringLiteral("The %1 %2\nChange the %1 so that the %3 can be exported.")
        .arg(field, problem, record);
}

} // namespace ExchangeRules
