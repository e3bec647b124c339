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
    const QString &name = fields[Name];
    // The description is checked whole as it is flattened, and has no line break left after.
    const QString description = flattenedDescription(name, fields[Description]);
    const QString joined = joinedSchools(name, schools);
    for (int i = 0; i < kSpellFields - 1; ++i) {
        if (i != Description)
            checkField("spell", name, kSpellFieldNames[i], fields[i]);
    }
    checkField("spell", name, kSpellFieldNames[kSpellFields - 1], joined);

    for (int i = 0; i < kSpellFields - 1; ++i) {
        if (i > 0)
            m_spellLines += kFieldSeparator;
        m_spellLines += i == Description ? description : fields[i];
    }
    m_spellLines += kFieldSeparator;
    m_spellLines += joined;
    m_spellLines += kLineEnd;
    ++m_spellCount;
}

QByteArray ExchangeWriter::content() const
{
    QString text;
    text.reserve(64 + (m_casterLine ? m_casterLine->size() : 0) + m_spellLines.size());
    text += kHeader;
    text += kLineEnd;
    text += QString::number(m_spellCount);
    text += kLineEnd;
    if (m_casterLine) {
        text += *m_casterLine;
        text += kLineEnd;
    }
    text += m_spellLines;
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
