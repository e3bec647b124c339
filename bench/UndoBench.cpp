#include "SyntheticLibrary.h"

#include "exchange/ExchangeWriter.h"
#include "exchange/VM_SpellSaver.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/Undo.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VM_Spellbook.h"

#include <benchmark/benchmark.h>

// What recording costs, and what undo and redo take, on the 100,000-spell library: an import of
// 10,000 new spells with and without recording (in the same run), a spell saved with and
// without it, and undo and redo of that import and of the delete of a caster of 2,000 spells.
namespace {

const QString kBigCaster = QStringLiteral("Undo Caster of 2000");

QString undoLibrary()
{
    static QString folder;
    if (folder.isEmpty()) {
        UndoHistory::setRecording(false);
        folder = SyntheticLibrary::freshCopy(100000);
        Connection db(libraryPath());
        Transaction transaction(db);
        Statement caster(
            db, "INSERT INTO SpellCasters (Spellbook, Lvl, First, Second) VALUES (?, '12', '3', '2')");
        caster.bind(1, kBigCaster).run();
        Statement member(db, "INSERT INTO Spellbook (Caster, SpellName) VALUES (?, ?)");
        Statement failed(db, "INSERT INTO FailedSpells (Caster, SpellName) VALUES (?, ?)");
        for (int i = 0; i < 2000; ++i) {
            member.bind(1, kBigCaster).bind(2, SyntheticLibrary::spellName(i * 7)).run();
            member.reset();
            if (i % 10 == 0) {
                failed.bind(1, kBigCaster).bind(2, SyntheticLibrary::spellName(i * 7 + 1)).run();
                failed.reset();
            }
        }
        transaction.commit();
        UndoHistory::setRecording(true);
    }
    setAppFolder(folder);
    return folder;
}

QString newSpells()
{
    static QString path;
    if (path.isEmpty()) {
        path = undoLibrary() + QStringLiteral("/undo-new.spel");
        ExchangeWriter writer;
        const QString description = QStringLiteral("arcane ember ward of the shadow ").repeated(19);
        for (int i = 0; i < 10000; ++i)
            writer.addSpell({QStringLiteral("Undone %1").arg(i), QString::number(1 + i % 9),
                             QStringLiteral("Rare"), QString(), QStringLiteral("KXR"),
                             QString::number(i % 400), QStringLiteral("V,S,M"), QStringLiteral("60 yards"),
                             QStringLiteral("1 round/level"), QStringLiteral("20-foot cube"),
                             QStringLiteral("Segment(s)"), QStringLiteral("3"), QStringLiteral("Neg."),
                             description, QString()},
                            {SyntheticLibrary::schoolName(i % 24), SyntheticLibrary::schoolName((i + 7) % 24),
                             SyntheticLibrary::schoolName((i + 14) % 24)});
        writer.save(path);
    }
    return path;
}

void undoOrFail(benchmark::State &state, UndoHistory::Outcome (UndoHistory::*command)())
{
    try {
        (UndoHistory::instance().*command)();
    } catch (const std::exception &error) {
        state.SkipWithError(error.what());
    }
}

} // namespace

// Arg 0: recording off, 1: on. Alternated rounds of both run in one benchmark, so that both are
// measured on the same state of the machine; the counters give each and the ratio.
static void BM_ImportWithAndWithoutRecording(benchmark::State &state)
{
    undoLibrary();
    VM_Library frame; // the main window's connection stays open meanwhile
    const SyntheticLibrary::SpellRows before = SyntheticLibrary::lastSpellRows();
    double plain = 0;
    double recorded = 0;
    for (auto _ : state) {
        for (const bool recording : {false, true}) {
            UndoHistory::setRecording(recording);
            VM_SpellSaver saver;
            ListRows list;
            saver.OpenSpellFile2(list, newSpells());
            for (ListRow &row : list)
                row.checked = true;
            (recording ? recorded : plain) += millisecondsOf([&] { saver.ImportSpells(list); });
            UndoHistory::setRecording(false);
            SyntheticLibrary::removeSpellsAfter(before);
            UndoHistory::instance().clear();
        }
    }
    UndoHistory::setRecording(true);
    state.counters["plain_ms"] = plain / double(state.iterations());
    state.counters["recorded_ms"] = recorded / double(state.iterations());
    state.counters["cost_pct"] = 100.0 * (recorded - plain) / plain;
}
BENCHMARK(BM_ImportWithAndWithoutRecording)->Iterations(3)->Unit(benchmark::kMillisecond);

static void BM_UndoRedoImport(benchmark::State &state)
{
    undoLibrary();
    VM_SpellSaver saver;
    ListRows list;
    saver.OpenSpellFile2(list, newSpells());
    for (ListRow &row : list)
        row.checked = true;
    double undo = 0;
    double redo = 0;
    for (auto _ : state) {
        UndoHistory::instance().clear();
        saver.ImportSpells(list);
        undo += millisecondsOf([&] { undoOrFail(state, &UndoHistory::undo); });
        redo += millisecondsOf([&] { undoOrFail(state, &UndoHistory::redo); });
        undoOrFail(state, &UndoHistory::undo);
    }
    state.counters["undo_ms"] = undo / double(state.iterations());
    state.counters["redo_ms"] = redo / double(state.iterations());
}
BENCHMARK(BM_UndoRedoImport)->Iterations(3)->Unit(benchmark::kMillisecond);

static void BM_UndoRedoCasterDelete(benchmark::State &state)
{
    undoLibrary();
    double undo = 0;
    double redo = 0;
    for (auto _ : state) {
        UndoHistory::instance().clear();
        const QString status = VM_Spellbook().Delete_Existing_Caster(kBigCaster);
        if (!status.isEmpty())
            state.SkipWithError(status.toUtf8().constData());
        undo += millisecondsOf([&] { undoOrFail(state, &UndoHistory::undo); });
        redo += millisecondsOf([&] { undoOrFail(state, &UndoHistory::redo); });
        undoOrFail(state, &UndoHistory::undo);
    }
    state.counters["undo_ms"] = undo / double(state.iterations());
    state.counters["redo_ms"] = redo / double(state.iterations());
}
BENCHMARK(BM_UndoRedoCasterDelete)->Iterations(5)->Unit(benchmark::kMillisecond);

// A spell saved as the manage-spells window saves it: a new store object each time.
static void BM_SaveSpell(benchmark::State &state)
{
    undoLibrary();
    UndoHistory::setRecording(state.range(0) != 0);
    const QString name = SyntheticLibrary::spellName(4242);
    int round = 0;
    for (auto _ : state) {
        VM_Spell spell;
        spell.Set_Spell_Details(name);
        spell.Set_Spell_Range(QStringLiteral("%1 yards").arg(++round));
        const QString status = spell.Update_Existing_Spell(name, true);
        if (!status.isEmpty())
            state.SkipWithError(status.toUtf8().constData());
    }
    UndoHistory::setRecording(true);
    UndoHistory::instance().clear();
}
BENCHMARK(BM_SaveSpell)->ArgName("recording")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
