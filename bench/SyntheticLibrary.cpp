#include "SyntheticLibrary.h"

#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

namespace {

QString cacheFolder()
{
    const QString configured = qEnvironmentVariable("VELLUMAR_BENCH_DATA");
    const QString folder = configured.isEmpty()
                               ? QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data")
                               : configured;
    QDir().mkpath(folder);
    return folder;
}

QString description(QRandomGenerator &random)
{
    static const char *const words[] = {"arcane", "ember",      "ward",   "the",     "of",
                                        "shadow", "glimmering", "caster", "target",  "creature",
                                        "round",  "level",      "save",   "against", "bright",
                                        "stone",  "whisper",    "veil",   "and",     "within"};
    QString text;
    text.reserve(640);
    while (text.size() < 600) {
        text += QLatin1String(words[random.bounded(int(std::size(words)))]);
        text += QLatin1Char(' ');
    }
    text.truncate(600);
    return text;
}

void build(const QString &path, int spells)
{
    const QString partial = path + QStringLiteral(".new");
    QFile::remove(partial);
    {
        auto connection = Connection::create(partial);
        createSchema(*connection);
        Transaction transaction(*connection);
        static const char *const frequencies[] = {"Common",    "UnCommon", "Rare",
                                                  "Very Rare", "Unique",   "Restricted"};
        QRandomGenerator random(20261206);

        Statement school(*connection,
                         "INSERT INTO [Sphere Names] (Auto, Sphere_Name, Description) VALUES (?, ?, ?)");
        for (int i = 0; i < SyntheticLibrary::kSchools; ++i) {
            school.bind(1, qint64(i + 1))
                .bind(2, SyntheticLibrary::schoolName(i))
                .bind(3, QStringLiteral("A school."));
            school.run();
            school.reset();
        }

        Statement spell(*connection,
                        "INSERT INTO Spells (Name, Lvl, Frequency, Book, Page, Components, Range, "
                        "Duration, [Area of Effect], [Casting Time], [Casting Time Type], "
                        "[Saving Throw], Description, Author) "
                        "VALUES (?, ?, ?, 'KXR', ?, 'V,S,M', '60 yards', '1 round/level', "
                        "'20-foot cube', '3', 'Segment(s)', 'Neg.', ?, '')");
        Statement link(*connection, "INSERT INTO SpellandSphere (Name, Sphere) VALUES (?, ?)");
        for (int i = 0; i < spells; ++i) {
            const QString name = SyntheticLibrary::spellName(i);
            spell.bind(1, name)
                .bind(2, QString::number(1 + i % 9))
                .bind(3, QLatin1String(frequencies[random.bounded(6)]))
                .bind(4, QString::number(10 + i % 400))
                .bind(5, description(random));
            spell.run();
            spell.reset();
            const int first = random.bounded(SyntheticLibrary::kSchools);
            for (int s = 0; s < 3; ++s) {
                link.bind(1, name).bind(
                    2, SyntheticLibrary::schoolName((first + s * 7) % SyntheticLibrary::kSchools));
                link.run();
                link.reset();
            }
        }

        Statement caster(*connection,
                         "INSERT INTO SpellCasters (Spellbook, Lvl, Race, Class, First, Second, Third) "
                         "VALUES (?, '9', 'Human', 'Mage', '5', '4', '3')");
        Statement member(*connection,
                         "INSERT INTO Spellbook (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
        for (int c = 0; c < SyntheticLibrary::kCasters; ++c) {
            caster.bind(1, SyntheticLibrary::casterName(c));
            caster.run();
            caster.reset();
            const int count = qMin(SyntheticLibrary::kSpellsPerCaster, spells);
            for (int k = 0; k < count; ++k) {
                const int index = int((qint64(c) * 7919 + qint64(k) * (spells / count)) % spells);
                member.bind(1, SyntheticLibrary::casterName(c))
                    .bind(2, SyntheticLibrary::spellName(index))
                    .bind(3, QString::number(1 + index % 9));
                member.run();
                member.reset();
            }
        }
        transaction.commit();
    }
    QFile::rename(partial, path);
}

} // namespace

QString SyntheticLibrary::spellName(int index)
{
    // Names that do not sort in insertion order, as a real library's do not.
    return QStringLiteral("Spell %1 of %2")
        .arg(qint64(index) * 7919 % 1000003, 7, 10, QLatin1Char('0'))
        .arg(index);
}

QString SyntheticLibrary::schoolName(int index)
{
    return QStringLiteral("School %1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

QString SyntheticLibrary::casterName(int index)
{
    return QStringLiteral("Caster %1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

QString SyntheticLibrary::file(int spells)
{
    const QString folder = cacheFolder() + QStringLiteral("/library-%1-4k-v2").arg(spells);
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/Spells.mdb");
    if (!QFile::exists(path))
        build(path, spells);
    return path;
}

QString SyntheticLibrary::freshCopy(int spells)
{
    const QString source = file(spells);
    const QString folder = cacheFolder() + QStringLiteral("/scratch-%1").arg(spells);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QFile::copy(source, folder + QStringLiteral("/Spells.mdb"));
    setAppFolder(folder);
    return folder;
}

double millisecondsOf(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void SyntheticLibrary::use(int spells)
{
    const QString path = file(spells);
    // A library in daily use sits in the system's file cache. Read once through, so that the
    // first benchmark of a run on it does not measure the disk.
    static QSet<QString> warmed;
    if (!warmed.contains(path)) {
        warmed.insert(path);
        QFile library(path);
        if (library.open(QIODevice::ReadOnly)) {
            while (!library.read(1 << 20).isEmpty()) {
            }
        }
    }
    setAppFolder(QFileInfo(path).absolutePath());
}

qint64 SyntheticLibrary::lastRowid(const char *table)
{
    Connection db(libraryPath());
    Statement select(db, QStringLiteral("SELECT ifnull(max(rowid), 0) FROM %1").arg(QLatin1String(table)));
    select.step();
    return select.integer(0);
}

void SyntheticLibrary::removeRowsAfter(const char *table, qint64 rowid)
{
    Connection db(libraryPath());
    Statement remove(db, QStringLiteral("DELETE FROM %1 WHERE rowid > ?").arg(QLatin1String(table)));
    remove.bind(1, rowid).run();
}

SyntheticLibrary::SpellRows SyntheticLibrary::lastSpellRows()
{
    return {lastRowid("Spells"), lastRowid("SpellandSphere")};
}

void SyntheticLibrary::removeSpellsAfter(const SpellRows &rows)
{
    removeRowsAfter("Spells", rows.spells);
    removeRowsAfter("SpellandSphere", rows.schools);
}
