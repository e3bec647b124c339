#include "SyntheticLibrary.h"
#include "browse/Frm_Browser.h"
#include "gui/LoadedFrame.h"
#include "shell/MDI_Main.h"
#include "store/AppFolder.h"
#include "widgets/ListView.h"
#include "widgets/OpenWindows.h"

#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Lets the windows lay out and paint, as the event loop would after a command.
void settle()
{
    QApplication::processEvents();
}

void closeAll(MDI_Main &frame)
{
    qDeleteAll(frame.area()->subWindowList());
    settle();
}

Frm_Browser *openLibraryBrowser(MDI_Main &frame)
{
    frame.TB_Main_ButtonMenuClick(QStringLiteral("KXR"));
    settle();
    return OpenWindows::all<Frm_Browser>(frame.area()).value(0);
}

} // namespace

// From the program's first statement to the frame on screen, on the delivered library. The
// first iteration pays for deriving the library key, as a real start does.
static void BM_StartupToFrameShown(benchmark::State &state)
{
    setAppFolder(QStringLiteral(VELLUMAR_APP_DIR));
    for (auto _ : state) {
        auto frame = loadedFrame();
        benchmark::DoNotOptimize(frame.get());
        state.PauseTiming();
        frame.reset();
        settle();
        state.ResumeTiming();
    }
    setAppFolder(QString());
}
BENCHMARK(BM_StartupToFrameShown)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->Name("StartupToFrameShown/cold");
BENCHMARK(BM_StartupToFrameShown)->Unit(benchmark::kMillisecond)->Name("StartupToFrameShown/warm");

// From the click on "KXR" in the Spellbooks drop-down to the filled list with its counts.
static void BM_OpenLibraryBrowser(benchmark::State &state)
{
    SyntheticLibrary::use(int(state.range(0)));
    auto frame = loadedFrame();
    for (auto _ : state) {
        Frm_Browser *browser = openLibraryBrowser(*frame);
        benchmark::DoNotOptimize(browser);
        state.PauseTiming();
        closeAll(*frame);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLibraryBrowser)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
// Three rounds at 1,000,000 spells, so that the growth figure does not rest on one.
BENCHMARK(BM_OpenLibraryBrowser)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);

// Requery of the KXR browser with every level and half the schools selected.
static void BM_RequeryHalfTheSchools(benchmark::State &state)
{
    SyntheticLibrary::use(int(state.range(0)));
    auto frame = loadedFrame();
    Frm_Browser *browser = openLibraryBrowser(*frame);
    auto *schools = browser->findChild<QListWidget *>(QStringLiteral("Lst_Schools"));
    for (int row = 0; row < schools->count(); ++row)
        schools->item(row)->setSelected(row % 2 == 0);
    for (auto _ : state) {
        browser->Requery();
        settle();
    }
    state.counters["rows"] = browser->findChild<ListView *>(QStringLiteral("LV_Spells"))->rowCount();
}
BENCHMARK(BM_RequeryHalfTheSchools)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One click on a column header of the KXR browser (the direction alternates).
static void BM_ColumnSort(benchmark::State &state)
{
    SyntheticLibrary::use(100000);
    auto frame = loadedFrame();
    Frm_Browser *browser = openLibraryBrowser(*frame);
    const int column = int(state.range(0));
    for (auto _ : state) {
        browser->LV_Spells_ColumnClick(column);
        settle();
    }
}
BENCHMARK(BM_ColumnSort)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
