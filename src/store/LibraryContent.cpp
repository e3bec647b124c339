#include "store/LibraryContent.h"

#include "store/Blanks.h"
#include "store/Database.h"
#include "store/Names.h"
#include "store/Schema.h"
#include "store/SpellLevels.h"
#include "store/VmError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>

namespace {

// Built-in schools must stay below the first number the counter gives to a user's school.
constexpr int kFirstUserSchool = 50;

[[noreturn]] void refuse(const QString &message)
{
    throw VmError(-1, QStringLiteral("loadLibraryContent"), message);
}

QJsonArray readArray(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("%1: %2").arg(path, file.errorString()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        refuse(QStringLiteral("%1: %2 at offset %3").arg(path, error.errorString()).arg(error.offset));
    if (!document.isArray())
        refuse(QStringLiteral("%1: the file must hold a JSON array").arg(path));
    return document.array();
}

QString requiredText(const QJsonObject &object, const QString &key, const QString &where)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        refuse(QStringLiteral("%1: \"%2\" must be a text").arg(where, key));
    const QString text = trimBlanks(value.toString());
    if (text.contains(QStringLiteral("||")) || text.contains(QStringLiteral("~~")))
        refuse(QStringLiteral("%1: \"%2\" holds \"||\" or \"~~\", which spell files cannot carry")
                   .arg(where, key));
    return text;
}

QString withWindowsLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

QSet<QString> loadSchools(Connection &connection, const QString &path)
{
    const QJsonArray schools = readArray(path);
    if (schools.size() >= kFirstUserSchool)
        refuse(QStringLiteral("%1: at most %2 built-in schools fit below the user schools")
                   .arg(path)
                   .arg(kFirstUserSchool - 1));
    Statement insert(connection,
                     "INSERT INTO [Sphere Names] (Auto, Sphere_Name, Description) VALUES (?, ?, ?)");
    QSet<QString> names;
    int number = 0;
    for (const QJsonValue &value : schools) {
        ++number;
        const QString where = QStringLiteral("%1, school %2").arg(path).arg(number);
        const QJsonObject school = value.toObject();
        const QString name = requiredText(school, QStringLiteral("name"), where);
        if (name.isEmpty() || names.contains(name))
            refuse(QStringLiteral("%1: the name \"%2\" is empty or used twice").arg(where, name));
        names.insert(name);
        insert.bind(1, qint64(number))
            .bind(2, name)
            .bind(3, requiredText(school, QStringLiteral("description"), where));
        insert.run();
        insert.reset();
    }
    return names;
}

int loadSpells(Connection &connection, const QString &folder, const QSet<QString> &schools)
{
    QSet<QString> frequencies;
    for (const char *frequency : kFrequencies)
        frequencies.insert(QString::fromLatin1(frequency));

    Statement insertSpell(connection,
                          "INSERT INTO Spells (Name, Lvl, Frequency, In_School, Book, Page, Components, "
                          "Range, Duration, [Area of Effect], [Casting Time Type], [Casting Time], "
                          "[Saving Throw], Description, Author) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    Statement insertSchool(connection, "INSERT INTO SpellandSphere (Name, Sphere) VALUES (?, ?)");

    QSet<QString> names;
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("level-*.json")}, QDir::Files, QDir::Name);
    for (const QString &fileName : files) {
        const QString path = folder + QLatin1Char('/') + fileName;
        const QString fileLevel = fileName.mid(6, fileName.size() - 11);
        for (const QJsonValue &value : readArray(path)) {
            const QJsonObject spell = value.toObject();
            const QString name = requiredText(spell, QStringLiteral("name"), path);
            const QString where = QStringLiteral("%1, spell \"%2\"").arg(path, name);
            if (name.isEmpty() || names.contains(name.toCaseFolded()))
                refuse(QStringLiteral("%1: the name is empty or used twice").arg(where));
            names.insert(name.toCaseFolded());

            const auto field = [&](const char *key) {
                return requiredText(spell, QLatin1String(key), where);
            };
            const QString level = field("level");
            if (level != fileLevel || level.size() != 1 || level < QLatin1String("1") ||
                level > QLatin1String("9"))
                refuse(QStringLiteral("%1: level \"%2\" does not belong in %3").arg(where, level, fileName));
            const QString frequency = field("frequency");
            if (!frequencies.contains(frequency))
                refuse(QStringLiteral("%1: unknown frequency \"%2\"").arg(where, frequency));
            const QString components = field("components");
            if (!componentSets().contains(components))
                refuse(QStringLiteral("%1: unknown components \"%2\"").arg(where, components));
            const QString castingTimeType = field("castingTimeType");
            if (!castingTimeTypes().contains(castingTimeType))
                refuse(QStringLiteral("%1: unknown casting time unit \"%2\"").arg(where, castingTimeType));

            const QJsonArray spellSchools = spell.value(QStringLiteral("schools")).toArray();
            if (spellSchools.isEmpty())
                refuse(QStringLiteral("%1: a spell needs at least one school").arg(where));
            QStringList schoolNames;
            for (const QJsonValue &school : spellSchools) {
                const QString schoolName = trimBlanks(school.toString());
                if (!schools.contains(schoolName))
                    refuse(QStringLiteral("%1: unknown school \"%2\"").arg(where, schoolName));
                schoolNames.append(schoolName);
            }

            const QStringList values = {name,
                                        level,
                                        frequency,
                                        schoolNames.first(),
                                        field("book"),
                                        field("page"),
                                        components,
                                        field("range"),
                                        field("duration"),
                                        field("areaOfEffect"),
                                        castingTimeType,
                                        field("castingTime"),
                                        field("savingThrow"),
                                        withWindowsLineBreaks(field("description")),
                                        field("author")};
            insertSpell.bindAll(1, values);
            insertSpell.run();
            insertSpell.reset();
            for (const QString &schoolName : std::as_const(schoolNames)) {
                insertSchool.bind(1, name).bind(2, schoolName);
                insertSchool.run();
                insertSchool.reset();
            }
        }
    }
    return int(names.size());
}

struct LibrarySpell
{
    QString level, frequency, book, page;
};

// Looks spells up by name for the casters' lists, refusing a name the library lacks.
class SpellFinder
{
public:
    explicit SpellFinder(Connection &connection)
        : m_select(connection, "SELECT Lvl, Frequency, Book, Page FROM Spells WHERE Name = ? LIMIT 1")
    {}
    LibrarySpell find(const QString &name, const QString &where)
    {
        m_select.bind(1, name);
        if (!m_select.step())
            refuse(QStringLiteral("%1: unknown spell \"%2\"").arg(where, name));
        LibrarySpell spell{m_select.text(0), m_select.text(1), m_select.text(2), m_select.text(3)};
        m_select.reset();
        return spell;
    }

private:
    Statement m_select;
};

// The names of an optional array of a caster; a list may not name a spell twice.
QStringList spellNames(const QJsonValue &value, const QString &where, const QString &list)
{
    QStringList names;
    for (const QJsonValue &spell : value.toArray()) {
        const QString name = trimBlanks(spell.toString());
        if (names.contains(name))
            refuse(QStringLiteral("%1: the spell \"%2\" is listed twice in \"%3\"").arg(where, name, list));
        names.append(name);
    }
    return names;
}

// The spells a caster failed to learn: never also in the spellbook, or the two lists would
// contradict each other.
void loadFailed(Connection &connection, SpellFinder &spells, const QString &caster, const QJsonObject &object,
                const QStringList &held, const QString &where)
{
    Statement insert(connection, "INSERT INTO FailedSpells (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
    for (const QString &name :
         spellNames(object.value(QStringLiteral("failed")), where, QStringLiteral("failed"))) {
        if (held.contains(name))
            refuse(QStringLiteral("%1: \"%2\" is both in the spellbook and failed").arg(where, name));
        insert.bind(1, caster).bind(2, name).bind(3, spells.find(name, where).level);
        insert.run();
        insert.reset();
    }
}

// The caster's day: each name fills the next slot of its level, as memorizing in the program
// would, so only spellbook spells and no more than the level's slots are taken.
void loadMemorized(Connection &connection, SpellFinder &spells, const QString &caster,
                   const QJsonObject &object, const QStringList &held, const QStringList &capacity,
                   const QString &where)
{
    Statement insert(connection, "INSERT INTO Memorized (Caster, SpellName, SpellLevel, SlotOrder, IsCast) "
                                 "VALUES (?, ?, ?, ?, 0)");
    QMap<QString, int> used;
    for (const QJsonValue &value : object.value(QStringLiteral("memorized")).toArray()) {
        const QString name = trimBlanks(value.toString());
        if (!held.contains(name))
            refuse(QStringLiteral("%1: \"%2\" is memorized but not in the spellbook").arg(where, name));
        const QString level = spells.find(name, where).level;
        const int slot = ++used[level];
        if (slot > SpellLevels::casterFigure(capacity.value(level.toInt() - 1)).value_or(0))
            refuse(QStringLiteral("%1: more spells of level %2 are memorized than the caster has slots")
                       .arg(where, level));
        insert.bind(1, caster).bind(2, name).bind(3, level).bind(4, qint64(slot));
        insert.run();
        insert.reset();
    }
}

// The caster's scrolls, each line carrying its spell's level, frequency, book and page as the
// scroll window writes them.
void loadScrolls(Connection &connection, SpellFinder &spells, const QString &caster,
                 const QJsonObject &object, const QString &where)
{
    Statement insert(connection,
                     "INSERT INTO Scrolls (ScrollName, Caster, Spell, Lvl, Frequency, Book, Page) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
    QSet<QString> scrollNames;
    for (const QJsonValue &value : object.value(QStringLiteral("scrolls")).toArray()) {
        const QJsonObject scroll = value.toObject();
        const QString name = requiredText(scroll, QStringLiteral("name"), where);
        if (name.isEmpty() || scrollNames.contains(name))
            refuse(QStringLiteral("%1: the scroll name \"%2\" is empty or used twice").arg(where, name));
        scrollNames.insert(name);
        const QJsonArray lines = scroll.value(QStringLiteral("spells")).toArray();
        if (lines.isEmpty())
            refuse(QStringLiteral("%1: the scroll \"%2\" holds no spells").arg(where, name));
        for (const QJsonValue &line : lines) {
            const QString spellName = trimBlanks(line.toString());
            const LibrarySpell spell = spells.find(spellName, where);
            insert.bindAll(1,
                           {name, caster, spellName, spell.level, spell.frequency, spell.book, spell.page});
            insert.run();
            insert.reset();
        }
    }
}

// Sample casters, so that a first start already has spellbooks to browse, fill and print, and
// failed spells, a memorized day and scrolls to look at.
int loadCasters(Connection &connection, const QString &path)
{
    if (!QFile::exists(path))
        return 0;
    SpellFinder spells(connection);
    Statement insertCaster(connection,
                           "INSERT INTO SpellCasters (Spellbook, Lvl, Race, Class, First, Second, "
                           "Third, Fourth, Fifth, Sixth, Seventh, Eighth, Ninth) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)");
    Statement insertMember(connection,
                           "INSERT INTO Spellbook (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
    QSet<QString> names;
    for (const QJsonValue &value : readArray(path)) {
        const QJsonObject caster = value.toObject();
        const QString name = requiredText(caster, QStringLiteral("name"), path);
        const QString where = QStringLiteral("%1, caster \"%2\"").arg(path, name);
        if (name.isEmpty() || name == kReservedSpellbook || names.contains(name))
            refuse(QStringLiteral("%1: the name is empty, reserved or used twice").arg(where));
        names.insert(name);
        const QJsonArray capacity = caster.value(QStringLiteral("capacity")).toArray();
        if (capacity.size() != 9)
            refuse(QStringLiteral("%1: \"capacity\" needs nine values, one per spell level").arg(where));
        QStringList values = {name, requiredText(caster, QStringLiteral("level"), where),
                              requiredText(caster, QStringLiteral("race"), where),
                              requiredText(caster, QStringLiteral("class"), where)};
        QStringList perLevel;
        for (const QJsonValue &count : capacity) {
            if (!count.isString())
                refuse(QStringLiteral("%1: each \"capacity\" value must be a text, such as \"4\" or \"\"")
                           .arg(where));
            perLevel.append(trimBlanks(count.toString()));
        }
        insertCaster.bindAll(1, values + perLevel);
        insertCaster.run();
        insertCaster.reset();

        // a spellbook holds a spell once
        const QStringList held =
            spellNames(caster.value(QStringLiteral("spells")), where, QStringLiteral("spells"));
        for (const QString &spellName : held) {
            insertMember.bind(1, name).bind(2, spellName).bind(3, spells.find(spellName, where).level);
            insertMember.run();
            insertMember.reset();
        }
        loadFailed(connection, spells, name, caster, held, where);
        loadMemorized(connection, spells, name, caster, held, perLevel, where);
        loadScrolls(connection, spells, name, caster, where);
    }
    return int(names.size());
}

} // namespace

LibraryContentSummary loadLibraryContent(Connection &connection, const QString &folder)
{
    Transaction transaction(connection);
    LibraryContentSummary summary;
    const QSet<QString> schools = loadSchools(connection, folder + QStringLiteral("/schools.json"));
    summary.schools = int(schools.size());
    summary.spells = loadSpells(connection, folder + QStringLiteral("/spells"), schools);
    summary.casters = loadCasters(connection, folder + QStringLiteral("/casters.json"));
    transaction.commit();
    return summary;
}

LibraryContentSummary makeLibraryFile(const QString &output, const QString &folder)
{
    const QString source = QStringLiteral("makeLibraryFile");
    if (QFileInfo::exists(output))
        throw VmError(-1, source,
                      QStringLiteral("%1 already exists; a library is never written over.")
                          .arg(QDir::toNativeSeparators(output)));
    requireNoOrphanedJournals(output, source);
    const QString partial = output + QStringLiteral(".new");
    const auto removePartial = [&partial] {
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(partial + QLatin1String(suffix));
    };
    removePartial();
    try {
        LibraryContentSummary summary;
        {
            auto connection = Connection::create(partial);
            createSchema(*connection);
            summary = loadLibraryContent(*connection, folder);
        } // closing the last connection folds the write-ahead log into the file
        // Checked again: a log left beside output would be replayed into this library.
        requireNoOrphanedJournals(output, source);
        if (!QFile::rename(partial, output))
            throw VmError(-1, source,
                          QStringLiteral("Could not move %1 to %2.")
                              .arg(QDir::toNativeSeparators(partial), QDir::toNativeSeparators(output)));
        return summary;
    } catch (...) {
        removePartial();
        throw;
    }
}
