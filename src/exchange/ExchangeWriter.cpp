#include "exchange/ExchangeWriter.h"

#include "exchange/ExchangeCodec.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeRules.h"
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

void checkField(const char *record, const QString &name, const char *field, const QString &value)
{
    const QString problem = ExchangeRules::fieldProblem(value);
    if (!problem.isEmpty())
        refuse(record, name, QStringLiteral("its %1 %2").arg(QLatin1String(field), problem));
}

QString joinedSchools(const QString &spell, const QStringList &schools)
{
    for (qsizetype i = 0; i < schools.size(); ++i) {
        const QString problem = ExchangeRules::schoolProblem(schools[i], i + 1 < schools.size());
        if (!problem.isEmpty())
            refuse("spell", spell, QStringLiteral("its school \"%1\" %2").arg(schools[i], problem));
    }
    return schools.join(kSchoolSeparator);
}

QString flattenedDescription(const QString &spell, const QString &description)
{
    const QString problem = ExchangeRules::descriptionProblem(description);
    if (!problem.isEmpty())
        refuse("spell", spell, QStringLiteral("its description ") + problem);
    return ExchangeRules::flattenedDescription(description);
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
