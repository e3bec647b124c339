// Spells and spellbook files written: the spells chosen, or a caster with the spells of the book.

#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeWriter.h"
#include "exchange/ReadableExport.h"
#include "exchange/VM_SpellSaver.h"
#include "store/Blanks.h"
#include "store/LargePageCache.h"
#include "store/SpellLevels.h"
#include "store/VmError.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

using namespace ExchangeFormat;

// Fields 1 to 14 of a spell line, in file order.
const char *const kExportColumns = "Lvl, Frequency, In_School, Book, Page, Components, Range, Duration, "
                                   "[Area of Effect], [Casting Time Type], [Casting Time], [Saving Throw], "
                                   "Description, Author";

// The writers keep the code of whatever failed, under their own name.
template<typename Operation>
void raiseKeepingCode(const char *source, Operation &&operation)
{
    try {
        operation();
    } catch (const VmError &error) {
        throw VmError(error.number, QString::fromLatin1(source), error.description.trimmed());
    }
}

// One read transaction around an export: every spell comes from the same state of the library,
// and the file locks are taken once rather than for every statement.
class ReadSnapshot
{
public:
    explicit ReadSnapshot(Connection &db) : m_db(db) { m_db.exec("BEGIN;"); }
    ~ReadSnapshot()
    {
        try {
            m_db.exec("COMMIT;");
        } catch (const VmError &) {
        }
    }
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    Connection &m_db;
};

// Either writer takes the same spell lines.
template<typename Writer>
auto addTo(Writer &writer)
{
    return [&writer](const QStringList &fields, const QStringList &schools) {
        writer.addSpell(fields, schools);
    };
}

} // namespace

void VM_SpellSaver::Save2(const QString &, const QString &filePath, const ListRows &list)
{
    raiseKeepingCode("Save", [&] {
        QStringList names;
        for (const ListRow &row : list) {
            if (row.selected)
                names.append(row.text);
        }
        if (names.isEmpty())
            throw VmError(-1, QString(), QStringLiteral("There are no spells selected"));
        if (const auto format = ReadableExport::formatOf(filePath)) {
            ReadableExport file(*format);
            {
                const ReadSnapshot snapshot(db());
                addSpellLines(addTo(file), names);
            }
            file.save(filePath);
            return;
        }
        ExchangeWriter writer;
        {
            const ReadSnapshot snapshot(db());
            addSpellLines(addTo(writer), names);
        }
        writer.save(filePath);
    });
}

void VM_SpellSaver::SaveSpellbook2(const QString &, const QString &filePath, const ListRows &list,
                                   const QString &spellbook, const QString &mode)
{
    raiseKeepingCode("SaveSpellbook", [&] {
        const QString caster = trimBlanks(spellbook);
        if (trimBlanks(mode) != QLatin1String("Filtered") && trimBlanks(mode) != QLatin1String("Full"))
            throw VmError(-1, QString(),
                          QStringLiteral(
                              "\"%1\" is not a way of exporting a spellbook: it is \"Full\" or \"Filtered\".")
                              .arg(mode));
        const bool full = trimBlanks(mode) == QLatin1String("Full");
        if (const auto format = ReadableExport::formatOf(filePath)) {
            ReadableExport file(*format);
            {
                const ReadSnapshot snapshot(db());
                file.setCaster(casterFields(caster));
                addSpellLines(addTo(file), spellbookNames(caster, list, full));
            }
            file.save(filePath);
            return;
        }
        ExchangeWriter writer;
        {
            const ReadSnapshot snapshot(db());
            writer.setCaster(casterFields(caster));
            addSpellLines(addTo(writer), spellbookNames(caster, list, full));
        }
        writer.save(filePath);
    });
}

QStringList VM_SpellSaver::spellbookNames(const QString &caster, const ListRows &list, bool full)
{
    QStringList names;
    if (!full) {
        // What the browser shows after its filters, selected or not.
        for (const ListRow &row : list)
            names.append(row.text);
    } else {
        Statement members(db(), "SELECT SpellName FROM Spellbook WHERE Caster = ? ORDER BY rowid");
        members.bind(1, caster);
        while (members.step())
            names.append(members.text(0));
    }
    return names;
}

void VM_SpellSaver::addSpellLines(const SpellLineSink &add, const QStringList &names)
{
    // The spells are read in the order of the name index, so that neighbouring look-ups share
    // their pages, and written in the caller's order. Positions, not a hash of the names, tie
    // the two orders together: each name is hashed and compared no more than the sort needs.
    std::vector<qsizetype> order(size_t(names.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(),
                     [&names](qsizetype a, qsizetype b) { return names[a] < names[b]; });

    LargePageCache cache(db());
    Statement spell(db(), QStringLiteral("SELECT %1 FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1")
                              .arg(QLatin1String(kExportColumns)));
    Statement schools(db(), "SELECT Sphere FROM SpellandSphere WHERE Name = ? ORDER BY rowid");
    struct Line
    {
        QStringList fields;
        QStringList schools;
    };
    std::vector<Line> lines;
    lines.reserve(order.size());
    std::vector<size_t> lineOf(order.size()); // for each of the caller's names
    for (const qsizetype at : order) {
        const QString &name = names[at];
        // A name repeated in the list is read once.
        if (!lines.empty() && lines.back().fields[Name] == name) {
            lineOf[size_t(at)] = lines.size() - 1;
            continue;
        }
        // A name the library no longer holds is still written, with empty fields.
        QStringList fields(kSpellFields - 1, QString());
        fields[Name] = name;
        spell.bind(1, name);
        if (spell.step()) {
            for (int column = 0; column < kSpellFields - 2; ++column)
                fields[column + 1] = trimBlanks(spell.text(column));
        }
        spell.reset();

        QStringList schoolNames;
        schools.bind(1, name);
        while (schools.step())
            schoolNames.append(trimBlanks(schools.text(0)));
        schools.reset();
        lineOf[size_t(at)] = lines.size();
        lines.push_back({std::move(fields), std::move(schoolNames)});
    }
    for (const size_t line : lineOf)
        add(lines[line].fields, lines[line].schools);
}

QStringList VM_SpellSaver::casterFields(const QString &spellbook)
{
    QStringList fields(kCasterFields, QString());
    Statement caster(db(),
                     QStringLiteral("SELECT %1 FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1")
                         .arg(SpellLevels::casterColumnList()));
    caster.bind(1, spellbook);
    if (caster.step()) {
        for (int column = 0; column < kCasterFields; ++column)
            fields[column] = trimBlanks(caster.text(column));
    }
    return fields;
}
