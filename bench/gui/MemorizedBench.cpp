#include "SyntheticLibrary.h"
#include "browse/Frm_Memorized.h"
#include "gui/LoadedFrame.h"
#include "shell/MDI_Main.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "widgets/OpenWindows.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString kCaster = QStringLiteral("Memorizer");

// A caster whose book holds 2,000 spells of the 10,000-spell library, with ten slots at every
// level, all of them memorized.
void prepareCaster()
{
    SyntheticLibrary::freshCopy(10000);
    Connection db(libraryPath());
    Transaction transaction(db);
    Statement caster(
        db, "INSERT INTO SpellCasters (Spellbook, Lvl, Race, Class, First, Second, Third, Fourth, "
            "Fifth, Sixth, Seventh, Eighth, Ninth) "
            "VALUES (?, '18', 'Human', 'Mage', '10', '10', '10', '10', '10', '10', '10', '10', '10')");
    caster.bind(1, kCaster).run();
    Statement book(db, "INSERT INTO Spellbook (Caster, SpellName, SpellLevel) "
                       "SELECT ?, Name, Lvl FROM Spells ORDER BY rowid LIMIT 2000");
    book.bind(1, kCaster).run();
    Statement day(db, "INSERT INTO Memorized (Caster, SpellName, SpellLevel, SlotOrder, IsCast) "
                      "SELECT ?, SpellName, SpellLevel, n, 0 FROM (SELECT b.SpellName, b.SpellLevel, "
                      "(SELECT count(*) FROM Spellbook o WHERE o.Caster = b.Caster AND "
                      "o.SpellLevel = b.SpellLevel AND o.rowid <= b.rowid) AS n "
                      "FROM Spellbook b WHERE b.Caster = ?) WHERE n <= 10");
    day.bind(1, kCaster).bind(2, kCaster).run();
    transaction.commit();
}

std::unique_ptr<MDI_Main> frameWithCaster()
{
    prepareCaster();
    return loadedFrame();
}

Frm_Memorized *openWindow(MDI_Main &frame)
{
    frame.showMemorized(kCaster);
    QApplication::processEvents();
    return OpenWindows::all<Frm_Memorized>(frame.area()).value(0);
}

} // namespace

// From the command to the window showing the caster's 90 slots.
static void BM_OpenMemorizedWindow(benchmark::State &state)
{
    auto frame = frameWithCaster();
    for (auto _ : state) {
        benchmark::DoNotOptimize(openWindow(*frame));
        state.PauseTiming();
        qDeleteAll(frame->area()->subWindowList());
        QApplication::processEvents();
        state.ResumeTiming();
    }
    setAppFolder(QString());
}
BENCHMARK(BM_OpenMemorizedWindow)->Unit(benchmark::kMillisecond);

// One click on a slot's Cast (cast, then undone the next time), and the window shown anew.
static void BM_CastSlot(benchmark::State &state)
{
    auto frame = frameWithCaster();
    Frm_Memorized *window = openWindow(*frame);
    for (auto _ : state) {
        window->Cmd_Cast_Click(5, 3);
        QApplication::processEvents();
    }
    setAppFolder(QString());
}
BENCHMARK(BM_CastSlot)->Unit(benchmark::kMillisecond);

// Rest with every one of the 90 slots cast.
static void BM_RestAllCast(benchmark::State &state)
{
    auto frame = frameWithCaster();
    Frm_Memorized *window = openWindow(*frame);
    for (auto _ : state) {
        state.PauseTiming();
        {
            Connection db(libraryPath());
            db.exec("UPDATE Memorized SET IsCast = 1;");
        }
        window->Load_Memorized();
        QApplication::processEvents();
        state.ResumeTiming();
        window->Cmd_Rest_Click();
        QApplication::processEvents();
    }
    setAppFolder(QString());
}
BENCHMARK(BM_RestAllCast)->Unit(benchmark::kMillisecond);
