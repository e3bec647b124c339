#include "SyntheticLibrary.h"

#include "browse/VM_DragDropAssistant.h"
#include "exchange/ExchangeReader.h"
#include "exchange/ExchangeWriter.h"
#include "exchange/VM_SpellSaver.h"
#include "store/AppFolder.h"
#include "store/CasterCapacity.h"
#include "store/Database.h"
#include "store/SpellbookFill.h"
#include "store/VM_Library.h"

#include <QDir>

#include <benchmark/benchmark.h>

// Exchange files, import, search, scroll draws and drops on the 100,000-spell library, with two
// large casters added: one of 2,000 spells and one of 10,000.
namespace {

constexpr int kLibrarySpells = 100000;
const QString kCaster2000 = QStringLiteral("Caster of 2000");
const QString kCaster10000 = QStringLiteral("Caster of 10000");
// Room for ten spells at every level, and none in the book.
const QString kEmptyCaster = QStringLiteral("Empty Caster");

QStringList spellNames(int count, int offset)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(SyntheticLibrary::spellName((offset + i * (kLibrarySpells / count)) % kLibrarySpells));
    return names;
}

ListRows selectedRows(const QStringList &names)
{
    ListRows rows;
    for (const QString &name : names)
        rows.append(ListRow{name, {}, true, true});
    return rows;
}

void addCaster(Connection &db, const QString &caster, const QStringList &spells)
{
    Statement insert(
        db, "INSERT INTO SpellCasters (Spellbook, Lvl, Race, Class) VALUES (?, '12', 'Elf', 'Mage')");
    insert.bind(1, caster).run();
    Statement member(db, "INSERT INTO Spellbook (Caster, SpellName) VALUES (?, ?)");
    for (const QString &spell : spells) {
        member.bind(1, caster).bind(2, spell).run();
        member.reset();
    }
}

// A writable copy of the large library, made once per run; every benchmark here points the
// application folder back at it, since the store benchmarks move it elsewhere.
QString exchangeLibrary()
{
    static QString folder;
    if (folder.isEmpty()) {
        folder = SyntheticLibrary::freshCopy(kLibrarySpells);
        Connection db(libraryPath());
        Transaction transaction(db);
        addCaster(db, kCaster2000, spellNames(2000, 3));
        addCaster(db, kCaster10000, spellNames(10000, 5));
        addCaster(db, kEmptyCaster, {});
        db.exec(
            "UPDATE SpellCasters SET First = '10', Second = '10', Third = '10', Fourth = '10', Fifth = '10', "
            "Sixth = '10', Seventh = '10', Eighth = '10', Ninth = '10' WHERE Spellbook = 'Empty Caster'");
        transaction.commit();
    }
    setAppFolder(folder);
    return folder;
}

// A spells file of 10,000 library spells, written once.
QString existingSpellsFile()
{
    static QString path;
    if (path.isEmpty()) {
        path = exchangeLibrary() + QStringLiteral("/existing.spel");
        VM_SpellSaver().Save2(QString(), path, selectedRows(spellNames(10000, 1)));
    }
    return path;
}

// A spells file of 10,000 spells the library does not hold, shaped like the synthetic ones.
QString newSpellsFile()
{
    static QString path;
    if (path.isEmpty()) {
        path = exchangeLibrary() + QStringLiteral("/new.spel");
        ExchangeWriter writer;
        const QString description = QStringLiteral("arcane ember ward of the shadow ").repeated(19);
        for (int i = 0; i < 10000; ++i) {
            writer.addSpell({QStringLiteral("Imported %1").arg(i), QString::number(1 + i % 9),
                             QStringLiteral("Rare"), QString(), QStringLiteral("KXR"),
                             QString::number(i % 400), QStringLiteral("V,S,M"), QStringLiteral("60 yards"),
                             QStringLiteral("1 round/level"), QStringLiteral("20-foot cube"),
                             QStringLiteral("Segment(s)"), QStringLiteral("3"), QStringLiteral("Neg."),
                             description, QString()},
                            {SyntheticLibrary::schoolName(i % 24), SyntheticLibrary::schoolName((i + 7) % 24),
                             SyntheticLibrary::schoolName((i + 14) % 24)});
        }
        writer.save(path);
    }
    return path;
}

// The same 10,000 spells revised: a longer description, and with everything also another level
// and the schools in reverse order.
QString revisedSpellsFile(bool everything)
{
    static QString paths[2];
    QString &path = paths[everything ? 1 : 0];
    if (path.isEmpty()) {
        path = exchangeLibrary() +
               (everything ? QStringLiteral("/revised-all.spel") : QStringLiteral("/revised.spel"));
        const ExchangeContent read = ExchangeReader::parse(ExchangeReader::load(existingSpellsFile()),
                                                           ExchangeReader::Kind::SpellsFile);
        ExchangeWriter writer;
        for (QStringList fields : read.spells) {
            QStringList schools = fields.takeLast().split(QStringLiteral("~~"));
            if (everything) {
                std::reverse(schools.begin(), schools.end());
                fields[1] = QString::number(fields[1].toInt() % 9 + 1);
            }
            fields[13] += QStringLiteral(" Revised.");
            writer.addSpell(fields, schools);
        }
        writer.save(path);
    }
    return path;
}

} // namespace

static void BM_Save2(benchmark::State &state)
{
    const QString path = exchangeLibrary() + QStringLiteral("/save2.spel");
    const ListRows list = selectedRows(spellNames(int(state.range(0)), 0));
    for (auto _ : state) {
        VM_SpellSaver saver;
        saver.Save2(QString(), path, list);
    }
}
// Three rounds: it is the first benchmark of a run, and one round of it measured the run starting.
BENCHMARK(BM_Save2)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

static void BM_SaveSpellbook2Full(benchmark::State &state)
{
    const QString path = exchangeLibrary() + QStringLiteral("/full.sbok");
    for (auto _ : state) {
        VM_SpellSaver saver;
        saver.SaveSpellbook2(QString(), path, {}, kCaster2000, QStringLiteral("Full"));
    }
}
BENCHMARK(BM_SaveSpellbook2Full)->Unit(benchmark::kMillisecond);

static void BM_OpenSpellFile2(benchmark::State &state)
{
    const QString path = existingSpellsFile();
    for (auto _ : state) {
        VM_SpellSaver saver;
        ListRows list;
        saver.OpenSpellFile2(list, path);
        benchmark::DoNotOptimize(list.size());
    }
}
BENCHMARK(BM_OpenSpellFile2)->Unit(benchmark::kMillisecond);

static void BM_ImportSpellsNew(benchmark::State &state)
{
    VM_SpellSaver saver;
    ListRows list;
    saver.OpenSpellFile2(list, newSpellsFile());
    VM_Library frame; // the main window's connection stays open meanwhile
    const SyntheticLibrary::SpellRows before = SyntheticLibrary::lastSpellRows();
    for (auto _ : state) {
        saver.ImportSpells(list);
        state.PauseTiming();
        SyntheticLibrary::removeSpellsAfter(before);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportSpellsNew)->Iterations(3)->Unit(benchmark::kMillisecond);

// Overwriting 10,000 spells with revised versions of them, then with the library's own versions
// again, so that every round changes every spell: 0 = files identical to what the library holds,
// 1 = descriptions revised, 2 = descriptions, levels and the order of the schools revised.
static void BM_ImportSpellsOverwrite(benchmark::State &state)
{
    const int changes = int(state.range(0));
    VM_SpellSaver revised;
    VM_SpellSaver existing;
    ListRows revisedList;
    ListRows existingList;
    if (changes > 0)
        revised.OpenSpellFile2(revisedList, revisedSpellsFile(changes == 2));
    existing.OpenSpellFile2(existingList, existingSpellsFile());
    VM_Library frame;
    bool revisedNext = changes > 0;
    for (auto _ : state) {
        if (revisedNext)
            revised.ImportSpells(revisedList);
        else
            existing.ImportSpells(existingList);
        revisedNext = changes > 0 && !revisedNext;
    }
}
BENCHMARK(BM_ImportSpellsOverwrite)
    ->ArgName("changes")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);

// 10,000 spells, half of them already held, dropped on the caster of 10,000.
static void BM_UnpackToButton(benchmark::State &state)
{
    exchangeLibrary();
    const ListRows dragged = selectedRows(spellNames(5000, 5) + spellNames(5000, 7));
    VM_DragDropAssistant assistant;
    const qint64 members = SyntheticLibrary::lastRowid("Spellbook");
    for (auto _ : state) {
        assistant.Pack_Data(dragged, kCaster2000);
        const QString status = assistant.Unpack_To_Button(kCaster10000);
        if (!status.isEmpty())
            state.SkipWithError(status.toUtf8().constData());
        state.PauseTiming();
        state.counters["added"] = assistant.NumberAdded();
        assistant.Reset_Drag();
        SyntheticLibrary::removeRowsAfter("Spellbook", members);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UnpackToButton)->Iterations(3)->Unit(benchmark::kMillisecond);

// "whisper" is in about a quarter of the descriptions; "zebra" in none, so every one is read.
static void BM_SearchDescription(benchmark::State &state, const QString &scope, const QString &text)
{
    exchangeLibrary();
    VM_Library library;
    for (auto _ : state) {
        const QString status =
            library.Search(QStringLiteral("Description"), scope, text, QStringLiteral("Any"));
        if (!status.isEmpty())
            state.SkipWithError(status.toUtf8().constData());
        const OptionalTable found = library.Fetch_Search_Array();
        state.counters["found"] = found ? found->rows() : 0;
    }
}
BENCHMARK_CAPTURE(BM_SearchDescription, library_common, QStringLiteral("KXR"), QStringLiteral("whisper"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchDescription, library_none, QStringLiteral("KXR"), QStringLiteral("zebra"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchDescription, caster2000_common, kCaster2000, QStringLiteral("whisper"))
    ->Unit(benchmark::kMillisecond);

// 8 of the 24 schools give about 100,000 candidate rows; all 24 about 300,000.
static void BM_CreateScroll(benchmark::State &state)
{
    exchangeLibrary();
    QStringList levels;
    for (int level = 1; level <= 9; ++level)
        levels.append(QString::number(level));
    QStringList schools;
    for (int i = 0; i < state.range(0); ++i)
        schools.append(SyntheticLibrary::schoolName(i));
    VM_Library library;
    for (auto _ : state) {
        const QString status = library.CreateScroll(levels, schools, 6, 99);
        if (!status.isEmpty())
            state.SkipWithError(status.toUtf8().constData());
        benchmark::DoNotOptimize(library.Fetch_LibScrolls_Array()->rows());
    }
}
BENCHMARK(BM_CreateScroll)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

// The counts beside the levels of a caster's browser, recounted after every change.
static void BM_LevelCounts(benchmark::State &state)
{
    exchangeLibrary();
    CasterCapacity capacity;
    for (auto _ : state)
        benchmark::DoNotOptimize(capacity.load(kCaster2000));
}
BENCHMARK(BM_LevelCounts)->Unit(benchmark::kMillisecond);

// A random spellbook of 9 levels of 10 spells from every school and frequency of the library.
static void BM_FillSpellbook(benchmark::State &state)
{
    exchangeLibrary();
    QStringList schools;
    for (int i = 0; i < SyntheticLibrary::kSchools; ++i)
        schools.append(SyntheticLibrary::schoolName(i));
    SpellbookFill fill;
    quint32 seed = 1;
    for (auto _ : state) {
        const ListRows drawn = fill.draw(kEmptyCaster, schools, 6, seed++);
        if (drawn.size() != 90)
            state.SkipWithError("the draw did not fill the book");
    }
}
BENCHMARK(BM_FillSpellbook)->Unit(benchmark::kMillisecond);

// 10,000 selected spells to a wiki page or a JSON file.
static void BM_SaveReadable(benchmark::State &state, const QString &fileName)
{
    const QString path = exchangeLibrary() + QLatin1Char('/') + fileName;
    const ListRows list = selectedRows(spellNames(10000, 0));
    for (auto _ : state) {
        VM_SpellSaver saver;
        saver.Save2(QString(), path, list);
    }
}
BENCHMARK_CAPTURE(BM_SaveReadable, markdown, QStringLiteral("save.md"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveReadable, json, QStringLiteral("save.json"))->Unit(benchmark::kMillisecond);
