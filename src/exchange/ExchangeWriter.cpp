#include "exchange/ExchangeWriter.h"

#include "exchange/ExchangeCodec.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/SafeSave.h"
#include "store/VmError.h"

#include <QDir>
#include <QFileDevice>

namespace {

using namespace ExchangeFormat;

const char *const kSpellFieldNames[kSpellFields] = {"name",
                                                    "level",
                                                    "frequency",
                                                    "In_School value",
                                                    "book",
                                                    "page",
                                                    "components",
                                                    "range",
                                                    "duration",
                                                    "area of effect",
                                                    "casting time type",
                                                    "casting time",
                                                    "saving throw",
                                                    "description",
                                                    "author",
                                                    "schools"};

const char *const kCasterFieldNames[kCasterFields] = {"name",
                                                      "level",
                                                      "race",
                                                      "class",
                                                      "1st-level figure",
                                                      "2nd-level figure",
                                                      "3rd-level figure",
                                                      "4th-level figure",
                                                      "5th-level figure",
                                                      "6th-level figure",
                                                      "7th-level figure",
                                                      "8th-level figure",
                                                      "9th-level figure"};

[[noreturn]] void refuse(const char *record, const QString &name, const QString &problem)
{
    throw VmError(
        -1, QStringLiteral("write"),
        QStringLiteral("The %1 \"%2\" cannot be exported: %3").arg(QLatin1String(record), name, problem));
}

bool hasLineBreak(const QString &value)
{
    return value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
}

// A field may not hold the separator, and may not end in half of one: "a|" followed by "||"
// would read back as "a" and a following field starting with "|".
void checkField(const char *record, const QString &name, const char *field, const QString &value)
{
    const QString label = QLatin1String(field);
    if (value.contains(kFieldSeparator))
        refuse(
            record, name,
            QStringLiteral("its %1 holds \"||\", which separates the fields of a Vellumar file.").arg(label));
    if (value.endsWith(QLatin1Char('|')))
        refuse(
            record, name,
            QStringLiteral("its %1 ends with \"|\", which would merge with the \"||\" after it.").arg(label));
    if (hasLineBreak(value))
        refuse(record, name,
               QStringLiteral("its %1 holds a line break, which would split its line.").arg(label));
}

QString joinedSchools(const QString &spell, const QStringList &schools)
{
    for (qsizetype i = 0; i < schools.size(); ++i) {
        const QString &school = schools[i];
        if (school.contains(kSchoolSeparator))
            refuse("spell", spell,
                   QStringLiteral("its school \"%1\" holds \"~~\", which separates the schools of a spell.")
                       .arg(school));
        if (i + 1 < schools.size() && school.endsWith(QLatin1Char('~')))
            refuse("spell", spell,
                   QStringLiteral(
                       "its school \"%1\" ends with \"~\", which would merge with the \"~~\" after it.")
                       .arg(school));
    }
    return schools.join(kSchoolSeparator);
}

// Every kind of line break becomes "^^", so a description of several paragraphs stays on one line.
// A "^^" of its own, or a "^" just before a line break, would come back as something else.
QString flattenedDescription(const QString &spell, QString description)
{
    if (description.contains(kLineBreak))
        refuse("spell", spell,
               QStringLiteral("its description holds \"^^\", which marks a line break in a Vellumar file."));
    const auto caretBeforeBreak = [&description] {
        for (qsizetype at = description.indexOf(QLatin1Char('^')); at >= 0 && at + 1 < description.size();
             at = description.indexOf(QLatin1Char('^'), at + 1)) {
            if (description[at + 1] == QLatin1Char('\r') || description[at + 1] == QLatin1Char('\n'))
                return true;
        }
        return false;
    };
    if (caretBeforeBreak())
        refuse(
            "spell", spell,
            QStringLiteral("its description has \"^\" just before a line break, which would merge with the "
                           "\"^^\" that marks it."));
    description.replace(QStringLiteral("\r\n"), kLineBreak.toString());
    description.replace(QLatin1Char('\r'), kLineBreak.toString());
    description.replace(QLatin1Char('\n'), kLineBreak.toString());
    return description;
}

} // namespace

void ExchangeWriter::setCaster(const QStringList &fields)
{
    Q_ASSERT(fields.size() == kCasterFields);
    for (int i = 0; i < kCasterFields; ++i)
        checkField("spellbook", fields.value(Name), kCasterFieldNames[i], fields.value(i));
    m_casterLine = fields.join(kFieldSeparator);
}

void ExchangeWriter::addSpell(const QStringList &fields, const QStringList &schools)
{
    Q_ASSERT(fields.size() == kSpellFields - 1);
    QStringList line = fields;
    line[Description] = flattenedDescription(fields.value(Name), line[Description]);
    line.append(joinedSchools(fields.value(Name), schools));
    for (int i = 0; i < kSpellFields; ++i)
        checkField("spell", fields.value(Name), kSpellFieldNames[i], line[i]);
    m_spellLines.append(line.join(kFieldSeparator));
}

QByteArray ExchangeWriter::content() const
{
    QString text;
    qsizetype size = 64 + (m_casterLine ? m_casterLine->size() : 0);
    for (const QString &line : m_spellLines)
        size += line.size() + 2;
    text.reserve(size);

    text += kHeader;
    text += kLineEnd;
    text += QString::number(m_spellLines.size());
    text += kLineEnd;
    if (m_casterLine) {
        text += *m_casterLine;
        text += kLineEnd;
    }
    for (const QString &line : m_spellLines) {
        text += line;
        text += kLineEnd;
    }
    return ExchangeCodec::encode(text);
}

void ExchangeWriter::save(const QString &path) const
{
    const QString failure = saveWhole(path, content());
    if (!failure.isEmpty())
        throw VmError(int(QFileDevice::WriteError), QStringLiteral("write"),
                      QStringLiteral("The file %1 could not be written: %2")
                          .arg(QDir::toNativeSeparators(path), failure));
}
