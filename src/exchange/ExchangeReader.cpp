#include "exchange/ExchangeReader.h"

#include "exchange/ExchangeCodec.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeRules.h"
#include "store/Blanks.h"
#include "store/Database.h"
#include "store/SpellFields.h"
#include "store/VmError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

// Hands out the lines of a text one at a time. Lines end at LF, with or without a CR before it;
// a CR elsewhere is part of the line.
class LineCursor
{
public:
    explicit LineCursor(const QString &text) : m_text(text) {}

    // The next line, or false at the end of the text. Line numbers count from 1.
    bool next(QStringView &line)
    {
        if (m_position >= m_text.size())
            return false;
        qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_position);
        const qsizetype after = end < 0 ? m_text.size() : end + 1;
        if (end < 0)
            end = m_text.size();
        if (end > m_position && m_text[end - 1] == QLatin1Char('\r'))
            --end;
        line = QStringView(m_text).sliced(m_position, end - m_position);
        m_position = after;
        ++m_number;
        return true;
    }

    int number() const { return m_number; }

private:
    const QString &m_text;
    qsizetype m_position = 0;
    int m_number = 0;
};

QString missingLine(int number, const QString &what)
{
    return QStringLiteral("Line %1 is missing: %2.").arg(number).arg(what);
}

QString tooFewFields(int number, qsizetype found, int needed, const char *kind)
{
    return QStringLiteral("Line %1 has %2 fields; a %3 line needs %4")
        .arg(number)
        .arg(found)
        .arg(QLatin1String(kind))
        .arg(needed);
}

// Shortens a line quoted in a message, so that binary garbage does not flood the message box.
QString quoted(QStringView line)
{
    constexpr qsizetype kShown = 40;
    QString shown = line.left(kShown).toString();
    for (QChar &c : shown) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return QLatin1Char('"') + shown + (line.size() > kShown ? QStringLiteral("...\"") : QStringLiteral("\""));
}

// The first wanted fields of a line; what follows them is ignored without being split, so a
// line of nothing but separators costs no more than a normal one.
QList<QStringView> leadingFields(QStringView line, int wanted)
{
    using ExchangeFormat::kFieldSeparator;
    QList<QStringView> fields;
    fields.reserve(wanted);
    qsizetype start = 0;
    while (fields.size() < wanted) {
        const qsizetype end = line.indexOf(kFieldSeparator, start);
        if (end < 0) {
            fields.append(line.sliced(start));
            break;
        }
        fields.append(line.sliced(start, end - start));
        start = end + kFieldSeparator.size();
    }
    return fields;
}

void refuseLine(ExchangeContent &content, int number, const QString &why)
{
    if (content.refusedCount++ < ExchangeReader::kRefusalsShown)
        content.refused.append(QStringLiteral("Line %1 was left out: %2").arg(number).arg(why));
}

// A carriage return that does not end a line would travel into the library and break the
// files written from it later. Line ends are found at LF, so every CR left in a field is one.
bool holdsLoneCarriageReturn(QStringView field)
{
    return field.contains(QLatin1Char('\r'));
}

// Why a value of a file cannot be taken, by the rules the windows and the writer keep: a length
// past its limit, a control character, or what no Vellumar file could carry back.
QString ruleProblem(QStringView value, ExchangeRules::Entry entry)
{
    using ExchangeRules::Entry;
    if (QString problem = ExchangeRules::entryProblem(value, entry); !problem.isEmpty())
        return problem;
    switch (entry) {
    case Entry::Name:
    case Entry::Field:
        return ExchangeRules::fieldProblem(value);
    case Entry::School:
        return ExchangeRules::schoolNameProblem(value);
    case Entry::Description:
        return ExchangeRules::descriptionProblem(value);
    }
    return {};
}

// Why a spell line cannot be taken, or an empty text; in the description a lone CR is read as
// the line break that editors meant by it.
QString refusalOf(QStringList &spell)
{
    using namespace ExchangeFormat;
    using ExchangeRules::Entry;
    if (spell[Name].trimmed().isEmpty())
        return QStringLiteral("the spell has no name.");
    for (int i = 0; i < kSpellFields; ++i) {
        if (!holdsLoneCarriageReturn(spell[i]))
            continue;
        if (i != Description)
            return QStringLiteral("field %1 holds a carriage return that does not end the line.").arg(i + 1);
        spell[i].replace(QLatin1Char('\r'), kLineBreak.toString());
    }
    if (QString problem = ruleProblem(spell[Name], Entry::Name); !problem.isEmpty())
        return QStringLiteral("the name ") + problem;
    for (const SpellFields::FieldDescription &field : SpellFields::all()) {
        const bool description = field.field == SpellFields::Description;
        QString value = spell[field.fileField];
        if (description) // as the library will hold it
            value.replace(kLineBreak.toString(), QStringLiteral("\r\n"));
        const QString problem = ruleProblem(value, description ? Entry::Description : Entry::Field);
        if (!problem.isEmpty())
            return QStringLiteral("the %1 of %2 %3")
                .arg(QLatin1String(field.caption).toString().toLower(), quoted(spell[Name]), problem);
    }
    qsizetype schools = 0;
    for (QStringView school : QStringView(spell[Schools]).split(kSchoolSeparator, Qt::SkipEmptyParts)) {
        if (school.trimmed().isEmpty())
            continue;
        ++schools;
        if (QString problem = ruleProblem(school, Entry::School); !problem.isEmpty())
            return QStringLiteral("the school %1 of %2 %3")
                .arg(quoted(trimBlanks(school)), quoted(spell[Name]), problem);
    }
    if (schools > ExchangeReader::kMaximumSchools)
        return QStringLiteral("the spell has %1 schools, and a spell has at most %2.")
            .arg(schools)
            .arg(ExchangeReader::kMaximumSchools);
    return {};
}

} // namespace

ExchangeContent ExchangeReader::parse(QByteArrayView bytes, Kind kind)
{
    using namespace ExchangeFormat;
    ExchangeContent content;
    const QString text = ExchangeCodec::decode(bytes);
    LineCursor lines(text);
    QStringView line;

    if (!lines.next(line) || line != kHeader) {
        content.error = QStringLiteral("Invalid File requested for Import");
        return content;
    }

    if (!lines.next(line)) {
        content.error = missingLine(2, QStringLiteral("it should give the number of spells"));
        return content;
    }
    bool isNumber = false;
    const qlonglong count = line.trimmed().toLongLong(&isNumber);
    if (!isNumber) {
        content.error = QStringLiteral("Line 2 should give the number of spells, but %1 is not a number.")
                            .arg(quoted(line));
        return content;
    }
    if (count < 0) {
        content.error =
            QStringLiteral("Line 2 gives %1 spells; the number of spells cannot be negative.").arg(count);
        return content;
    }

    content.headerRead = true;
    if (kind == Kind::SpellbookFile) {
        content.casterLineReached = true;
        if (!lines.next(line)) {
            content.error = missingLine(3, QStringLiteral("a spellbook file gives the caster there"));
            return content;
        }
        const QList<QStringView> fields = leadingFields(line, kCasterFields);
        if (fields.size() < kCasterFields) {
            content.error = tooFewFields(lines.number(), fields.size(), kCasterFields, "caster");
            return content;
        }
        QString why;
        for (int i = 0; i < kCasterFields && why.isEmpty(); ++i) {
            if (holdsLoneCarriageReturn(fields[i]))
                why =
                    QStringLiteral("the caster's details hold a carriage return that does not end the line.");
            else if (QString problem = ruleProblem(fields[i], ExchangeRules::Entry::Field);
                     !problem.isEmpty())
                why = QStringLiteral("field %1 of the caster's details %2").arg(i + 1).arg(problem);
        }
        if (why.isEmpty()) {
            for (int i = 0; i < kCasterFields; ++i)
                content.caster.append(fields[i].toString());
        } else {
            refuseLine(content, lines.number(), why);
        }
    }

    // One spell name is one decision in the window and one record to import: a later line of a
    // name already read is left out, and the first stands.
    QHash<QString, int> firstLines;
    // The count is only a promise: reading stops at the end of the file, whatever it says.
    for (qlonglong read = 0; read < count; ++read) {
        if (!lines.next(line)) {
            content.error = missingLine(
                lines.number() + 1,
                QStringLiteral("the file announces %1 spells but holds only %2").arg(count).arg(read));
            return content;
        }
        if (read == kMaximumSpells) {
            content.error = QStringLiteral("Line %1: the file holds more than %2 spells, more than Vellumar "
                                           "takes from one file.")
                                .arg(lines.number())
                                .arg(kMaximumSpells);
            return content;
        }
        const QList<QStringView> fields = leadingFields(line, kSpellFields);
        if (fields.size() < kSpellFields) {
            content.error = tooFewFields(lines.number(), fields.size(), kSpellFields, "spell");
            return content;
        }
        QStringList spell;
        spell.reserve(kSpellFields);
        for (int i = 0; i < kSpellFields; ++i)
            spell.append(fields[i].toString());
        if (const QString why = refusalOf(spell); !why.isEmpty()) {
            refuseLine(content, lines.number(), why);
            continue;
        }
        const QString name = trimBlanks(spell[Name]);
        if (const auto first = firstLines.constFind(name); first != firstLines.constEnd()) {
            refuseLine(content, lines.number(),
                       QStringLiteral("%1 is named on line %2 already; that line is the one imported.")
                           .arg(quoted(name))
                           .arg(first.value()));
            continue;
        }
        firstLines.insert(name, lines.number());
        content.spells.append(std::move(spell));
    }
    return content;
}

QByteArray ExchangeReader::load(const QString &path)
{
    QFile file(path);
    const QString shownPath = QDir::toNativeSeparators(path);
    // Opening a pipe with no writer would wait for ever, and a device never ends.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw VmError(int(QFileDevice::OpenError), QStringLiteral("read"),
                      QStringLiteral("%1 is not a file that Vellumar can read.").arg(shownPath));
    // Opening and closing the library would drop the locks of the connections the process has to it.
    if (isOpenLibraryFile(path))
        throw VmError(int(QFileDevice::OpenError), QStringLiteral("read"),
                      QStringLiteral("%1 is the library file that Vellumar has open, not a file to import.")
                          .arg(shownPath));
    if (!file.open(QIODevice::ReadOnly))
        throw VmError(
            int(file.error()), QStringLiteral("read"),
            QStringLiteral("The file %1 could not be opened: %2").arg(shownPath, file.errorString()));
    const auto tooLarge = [&shownPath] {
        return VmError(int(QFileDevice::ReadError), QStringLiteral("read"),
                       QStringLiteral("The file %1 is too large to be a Vellumar file.").arg(shownPath));
    };
    const qint64 size = file.size();
    if (size > kMaximumFileSize)
        throw tooLarge();
    // Asked for one byte more than it had, a file that grew meanwhile past the limit shows it;
    // the buffer is sized by the request, so the request is never more than the file.
    QByteArray bytes = file.read(size + 1);
    if (bytes.size() > kMaximumFileSize)
        throw tooLarge();
    if (file.error() != QFileDevice::NoError)
        throw VmError(int(file.error()), QStringLiteral("read"),
                      QStringLiteral("The file %1 could not be read: %2").arg(shownPath, file.errorString()));
    return bytes;
}
