#pragma once

#include <QString>

#include <functional>

// Synthetic libraries for the benchmarks: `spells` spells over nine levels, three schools each
// (out of 24), 600-character descriptions, and 50 casters holding 200 spells each. Files are
// made once and kept in a cache folder (bench-data beside the benchmark, or $VELLUMAR_BENCH_DATA),
// since a large one takes seconds to build.
struct SyntheticLibrary
{
    static constexpr int kSchools = 24;
    static constexpr int kCasters = 50;
    static constexpr int kSpellsPerCaster = 200;

    // Path of the cached library file with that many spells, made when missing.
    static QString file(int spells);
    // Makes the application folder a fresh copy of that library (for benchmarks that write).
    static QString freshCopy(int spells);
    // Points the application folder at the cached library itself (for benchmarks that read).
    static void use(int spells);

    // The benchmarks that add rows take them away again between rounds: the last row a table
    // of the current library holds, and the rows added after it.
    static qint64 lastRowid(const char *table);
    static void removeRowsAfter(const char *table, qint64 rowid);
    // The same for the spells an import adds, with their school links.
    struct SpellRows
    {
        qint64 spells = 0;
        qint64 schools = 0;
    };
    static SpellRows lastSpellRows();
    static void removeSpellsAfter(const SpellRows &rows);

    static QString spellName(int index);
    static QString schoolName(int index);
    static QString casterName(int index);
};

// The wall time of one piece of work. Benchmarks that compare two ways of doing the same work
// alternate them in one run and time each with this, so that both meet the same load.
double millisecondsOf(const std::function<void()> &work);
