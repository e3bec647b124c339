#include "SyntheticLibrary.h"

#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

namespace {

QStringList allLevels()
{
    QStringList levels;
    for (int level = 1; level <= 9; ++level)
        levels.append(QString::number(level));
    return levels;
}

QStringList halfTheSchools()
{
    QStringList schools;
    for (int i = 0; i < SyntheticLibrary::kSchools; i += 2)
        schools.append(SyntheticLibrary::schoolName(i));
    return schools;
}

// A browser opening the reserved spellbook: a new library object each time.
std::unique_ptr<VM_Library> openKXR()
{
    auto library = std::make_unique<VM_Library>();
    library->Create_Spell_List_Array(QStringLiteral("KXR"));
    benchmark::DoNotOptimize(library->Fetch_Spells_Array()->rows());
    return library;
}

// The floor: the same two statements read by a bare sqlite3_step loop that touches every cell.
qint64 readFloorKXR()
{
    const char *const statements[] = {
        "SELECT Name, Lvl, Frequency, Book, Page FROM Spells ORDER BY Name COLLATE NOCASE, Name",
        "SELECT Name, Sphere FROM SpellandSphere ORDER BY Name COLLATE NOCASE, Name, Sphere COLLATE NOCASE, "
        "Sphere"};
    Connection connection(libraryPath());
    qint64 bytes = 0;
    for (const char *sql : statements) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(connection.handle(), sql, -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int column = 0; column < columns; ++column)
                bytes += sqlite3_column_bytes(stmt, column) + (sqlite3_column_text(stmt, column) ? 1 : 0);
        sqlite3_finalize(stmt);
    }
    return bytes;
}

} // namespace

// Every store object after the first of a process: open, key with the cached raw key, prove
// the key, run one lookup.
static void BM_StoreObjectFirstStatement(benchmark::State &state)
{
    SyntheticLibrary::use(1000);
    VM_Library first; // pays for deriving the key once
    const QString name = SyntheticLibrary::spellName(500);
    for (auto _ : state) {
        VM_Spell spell;
        benchmark::DoNotOptimize(spell.Set_Spell_Details(name));
    }
}
BENCHMARK(BM_StoreObjectFirstStatement)->Unit(benchmark::kMillisecond);

// Releasing the library when the window closes is not part of opening.
static void BM_CreateSpellListKXR(benchmark::State &state)
{
    SyntheticLibrary::use(int(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<VM_Library> library = openKXR();
        state.PauseTiming();
        library.reset();
        state.ResumeTiming();
    }
}
// The 1,000,000-spell figures show how the list grows (the library is made once, in bench-data).
// They take three rounds, or a growth figure would rest on one round of a busy machine.
BENCHMARK(BM_CreateSpellListKXR)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateSpellListKXR)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);

static void BM_CreateSpellListFloorKXR(benchmark::State &state)
{
    SyntheticLibrary::use(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(readFloorKXR());
}
BENCHMARK(BM_CreateSpellListFloorKXR)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateSpellListFloorKXR)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The two above alternated round by round, so that the ratio is taken on the same load.
static void BM_KXRAgainstFloor(benchmark::State &state)
{
    SyntheticLibrary::use(int(state.range(0)));
    openKXR(); // a first round unmeasured: deriving the key is no part of either
    benchmark::DoNotOptimize(readFloorKXR());
    double list = 0;
    double floor = 0;
    for (auto _ : state) {
        std::unique_ptr<VM_Library> library;
        list += millisecondsOf([&] { library = openKXR(); });
        library.reset();
        floor += millisecondsOf([&] { benchmark::DoNotOptimize(readFloorKXR()); });
    }
    state.counters["list_ms"] = list / double(state.iterations());
    state.counters["floor_ms"] = floor / double(state.iterations());
    state.counters["ratio"] = list / floor;
}
BENCHMARK(BM_KXRAgainstFloor)->Arg(100000)->Iterations(10)->Unit(benchmark::kMillisecond);

static void BM_CreateSpellListCaster(benchmark::State &state)
{
    SyntheticLibrary::use(int(state.range(0)));
    VM_Library library;
    const QString caster = SyntheticLibrary::casterName(7);
    for (auto _ : state) {
        library.Create_Spell_List_Array(caster);
        benchmark::DoNotOptimize(library.Fetch_Spells_Array()->rows());
    }
}
BENCHMARK(BM_CreateSpellListCaster)->Arg(100000)->Unit(benchmark::kMillisecond);

// As a browser does: the spellbook was opened with Create_Spell_List_Array, then filtered.
static void BM_RequeryKXR(benchmark::State &state)
{
    SyntheticLibrary::use(int(state.range(0)));
    VM_Library library;
    library.Create_Spell_List_Array(QStringLiteral("KXR"));
    const QStringList levels = allLevels();
    const QStringList schools = halfTheSchools();
    for (auto _ : state) {
        const QString status = library.Requery(levels, schools, QStringLiteral("KXR"));
        if (!status.isEmpty())
            state.SkipWithError(status.toUtf8().constData());
        benchmark::DoNotOptimize(library.Fetch_Spells_Array()->rows());
    }
}
BENCHMARK(BM_RequeryKXR)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same filter on a library object that has read nothing yet.
static void BM_RequeryKXRCold(benchmark::State &state)
{
    SyntheticLibrary::use(int(state.range(0)));
    const QStringList levels = allLevels();
    const QStringList schools = halfTheSchools();
    for (auto _ : state) {
        auto library = std::make_unique<VM_Library>();
        const QString status = library->Requery(levels, schools, QStringLiteral("KXR"));
        if (!status.isEmpty())
            state.SkipWithError(status.toUtf8().constData());
        benchmark::DoNotOptimize(library->Fetch_Spells_Array()->rows());
        state.PauseTiming();
        library.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RequeryKXRCold)->Arg(100000)->Unit(benchmark::kMillisecond);

// 1,000 new spells, each through its own record as the editing window and the import do, while
// the program's own library object stays open as the main window's does.
static void BM_AddSpells(benchmark::State &state)
{
    const int count = int(state.range(0));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SyntheticLibrary::freshCopy(1000);
        VM_Library frame;
        ++round;
        state.ResumeTiming();
        for (int i = 0; i < count; ++i) {
            VM_Spell spell;
            spell.Set_Spell_Name(QStringLiteral("Added %1-%2").arg(round).arg(i));
            spell.Set_Spell_Level(QString::number(1 + i % 9));
            spell.Set_Spell_Frequency(QStringLiteral("Rare"));
            spell.Set_Spell_Description(QString(600, QLatin1Char('x')));
            spell.Set_Spell_Schools_Collection({SyntheticLibrary::schoolName(1),
                                                SyntheticLibrary::schoolName(2),
                                                SyntheticLibrary::schoolName(3)});
            const QString status = spell.Add_New_Spell();
            if (!status.isEmpty())
                state.SkipWithError(status.toUtf8().constData());
        }
    }
}
BENCHMARK(BM_AddSpells)->Arg(1000)->Iterations(3)->Unit(benchmark::kMillisecond);
