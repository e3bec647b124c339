#include "exchange/ReadableExport.h"

#include "exchange/ExchangeFormat.h"
#include "exchange/SafeSave.h"
#include "store/CasterCapacity.h"
#include "store/NameOrder.h"
#include "store/SpellLevels.h"
#include "store/VmError.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>

using namespace ExchangeFormat;

namespace {

// The JSON names of the fields of a spell line, in line order; the schools follow as an array.
const char *const kSpellKeys[] = {"name",        "level",        "frequency",       "inSchool",
                                  "book",        "page",         "components",      "range",
                                  "duration",    "areaOfEffect", "castingTimeType", "castingTime",
                                  "savingThrow", "description",  "author"};
static_assert(std::size(kSpellKeys) == kSpellFields - 1);

// The caster's name, level, race and class; the nine capacities follow as an array.
const char *const kCasterKeys[] = {"name", "level", "race", "class"};
constexpr int kCapacityFields = kCasterFields - 4;

// Written into every JSON file, so a reader can tell a later layout from this one.
constexpr int kJsonVersion = 1;

// Text that Markdown shows as it stands: the characters that would start emphasis, code, links,
// headings or markup are escaped, and a line break inside a field becomes a blank.
QString inlineText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
        case '`':
        case '*':
        case '_':
        case '[':
        case ']':
        case '#':
            out += QLatin1Char('\\');
            out += c;
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '\r':
            break;
        case '\n':
            out += QLatin1Char(' ');
            break;
        default:
            out += c;
        }
    }
    return out;
}

// One line of a description as a paragraph of its own: the line breaks the user typed stay
// breaks, and a line that looks like a list, a quote or a rule stays text.
QString paragraph(const QString &line)
{
    QString text = inlineText(line.trimmed());
    if (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+')) ||
        text.startsWith(QLatin1Char('>')))
        return QLatin1Char('\\') + text;
    qsizetype digits = 0;
    while (digits < text.size() && text.at(digits).isDigit())
        ++digits;
    if (digits > 0 && digits < text.size() &&
        (text.at(digits) == QLatin1Char('.') || text.at(digits) == QLatin1Char(')')))
        text.insert(digits, QLatin1Char('\\'));
    return text;
}

QString levelHeading(const QString &level)
{
    if (const auto number = SpellLevels::levelOf(level))
        return SpellLevels::ordinal(*number) + QStringLiteral("-Level Spells");
    return level.isEmpty() ? QStringLiteral("Spells Without a Level")
                           : QStringLiteral("Level ") + inlineText(level) + QStringLiteral(" Spells");
}

// The spell levels first, in order; any other level after them, in the order first met.
int levelRank(const QString &level, std::map<QString, int> &others)
{
    if (const auto number = SpellLevels::levelOf(level))
        return *number;
    return others.try_emplace(level, 10 + int(others.size())).first->second;
}

} // namespace

std::optional<ReadableExport::Format> ReadableExport::formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("md") || suffix == QLatin1String("markdown"))
        return Format::Markdown;
    if (suffix == QLatin1String("json"))
        return Format::Json;
    return std::nullopt;
}

ReadableExport::ReadableExport(Format format) : m_format(format) {}

void ReadableExport::setCaster(const QStringList &fields)
{
    m_caster = fields;
}

void ReadableExport::addSpell(const QStringList &fields, const QStringList &schools)
{
    // Both readable forms list a spell's schools in name order, however they were saved.
    QStringList sorted = schools;
    sortNames(sorted);
    m_spells.append({fields, sorted});
}

QByteArray ReadableExport::content() const
{
    return m_format == Format::Markdown ? markdown() : json();
}

void ReadableExport::save(const QString &path) const
{
    const QString failure = saveWhole(path, content());
    if (!failure.isEmpty())
        throw VmError(int(QFileDevice::WriteError), QStringLiteral("write"),
                      QStringLiteral("The file %1 could not be written: %2")
                          .arg(QDir::toNativeSeparators(path), failure));
}

QByteArray ReadableExport::markdown() const
{
    QString out;
    if (m_caster) {
        const QStringList &caster = *m_caster;
        out += QStringLiteral("# ") + inlineText(caster.value(0)) + QStringLiteral("\n\n");
        QStringList about;
        if (!caster.value(1).isEmpty())
            about.append(QStringLiteral("Level ") + caster.value(1));
        for (int field : {2, 3}) {
            if (!caster.value(field).isEmpty())
                about.append(caster.value(field));
        }
        if (!about.isEmpty())
            out += inlineText(about.join(QLatin1Char(' '))) + QStringLiteral("\n\n");
    } else {
        out += QStringLiteral("# Spells\n\n");
    }

    // Grouped by level; within a level the spells keep the order they were given in.
    std::map<QString, int> otherLevels;
    std::multimap<int, const Spell *> byLevel;
    for (const Spell &spell : m_spells)
        byLevel.emplace(levelRank(spell.fields.value(Level), otherLevels), &spell);

    const auto item = [&out](const char *label, const QString &value) {
        if (!value.isEmpty())
            out += QStringLiteral("- **") + QLatin1String(label) + QStringLiteral(":** ") +
                   inlineText(value) + QLatin1Char('\n');
    };
    int shownRank = -1;
    for (const auto &[rank, spell] : byLevel) {
        const QStringList &f = spell->fields;
        if (rank != shownRank) {
            out += QStringLiteral("## ") + levelHeading(f.value(Level)) + QStringLiteral("\n\n");
            shownRank = rank;
        }
        out += QStringLiteral("### ") + inlineText(f.value(Name)) + QStringLiteral("\n\n");
        item("Level", f.value(Level));
        item("Schools", spell->schools.join(QStringLiteral(", ")));
        item("Frequency", f.value(Frequency));
        item("Components", f.value(Components));
        item("Range", f.value(Range));
        item("Duration", f.value(Duration));
        item("Area of Effect", f.value(AreaOfEffect));
        item("Casting Time",
             QStringList{f.value(CastingTime), f.value(CastingTimeType)}.join(QLatin1Char(' ')).trimmed());
        item("Saving Throw", f.value(SavingThrow));
        QString source = f.value(Book);
        if (!f.value(Page).isEmpty())
            source +=
                (source.isEmpty() ? QStringLiteral("page ") : QStringLiteral(", page ")) + f.value(Page);
        item("Source", source);
        item("Author", f.value(Author));
        out += QLatin1Char('\n');

        QString description = f.value(Description);
        description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString &line : description.split(QLatin1Char('\n'))) {
            if (!line.trimmed().isEmpty())
                out += paragraph(line) + QStringLiteral("\n\n");
        }
    }
    return out.toUtf8();
}

QByteArray ReadableExport::json() const
{
    QJsonObject document;
    document.insert(QStringLiteral("format"), QStringLiteral("Vellumar spells"));
    document.insert(QStringLiteral("version"), kJsonVersion);
    if (m_caster) {
        QJsonObject caster;
        for (int field = 0; field < int(std::size(kCasterKeys)); ++field)
            caster.insert(QLatin1String(kCasterKeys[field]), m_caster->value(field));
        QJsonArray capacities;
        for (int field = 0; field < kCapacityFields; ++field)
            capacities.append(m_caster->value(4 + field));
        caster.insert(QStringLiteral("spellsPerLevel"), capacities);
        document.insert(QStringLiteral("caster"), caster);
    }
    QJsonArray spells;
    for (const Spell &spell : m_spells) {
        QJsonObject object;
        for (int field = 0; field < int(std::size(kSpellKeys)); ++field)
            object.insert(QLatin1String(kSpellKeys[field]), spell.fields.value(field));
        object.insert(QStringLiteral("schools"), QJsonArray::fromStringList(spell.schools));
        spells.append(object);
    }
    document.insert(QStringLiteral("spells"), spells);
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}
