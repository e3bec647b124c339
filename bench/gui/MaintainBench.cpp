#include "SyntheticLibrary.h"
#include "gui/LoadedFrame.h"
#include "gui/SilentPrompt.h"
#include "maintain/Frm_ManageSchools.h"
#include "maintain/Frm_ManageSpellbooks.h"
#include "shell/MDI_Main.h"
#include "widgets/OpenWindows.h"
#include "widgets/Prompt.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<MDI_Main> frameOn(int spells)
{
    static SilentPrompt quiet;
    Prompt::install(&quiet);
    SyntheticLibrary::freshCopy(spells);
    return loadedFrame();
}

template<typename Window>
Window *openTool(MDI_Main &frame, const QString &entry, const QString &name)
{
    frame.menuEntry(entry)->trigger();
    QApplication::processEvents();
    return OpenWindows::named<Window>(frame.area(), name);
}

} // namespace

// A school added while two browsers of the library are open: the click on "Add" until every
// browser's school list has it, the user's choices kept.
static void BM_AddSchoolWithBrowsersOpen(benchmark::State &state)
{
    auto frame = frameOn(int(state.range(0)));
    frame->TB_Main_ButtonMenuClick(QStringLiteral("KXR"));
    frame->TB_Main_ButtonMenuClick(SyntheticLibrary::casterName(0));
    auto *window = openTool<Frm_ManageSchools>(*frame, QStringLiteral("Main_Tools_Schools"),
                                               QStringLiteral("Frm_ManageSchools"));
    int added = 0;
    for (auto _ : state) {
        window->findChild<QLineEdit *>(QStringLiteral("Txt_New"))
            ->setText(QStringLiteral("New %1").arg(++added));
        window->Cmd_Add_Click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_AddSchoolWithBrowsersOpen)->Arg(100000)->Unit(benchmark::kMillisecond);

// Opening the manage-spellbooks window, and adding a caster until its browser is on screen.
static void BM_AddCasterAndOpenItsBrowser(benchmark::State &state)
{
    auto frame = frameOn(int(state.range(0)));
    int added = 0;
    for (auto _ : state) {
        auto *window = openTool<Frm_ManageSpellbooks>(*frame, QStringLiteral("Main_Tools_Spellbooks"),
                                                      QStringLiteral("Frm_ManageSpellbooks"));
        window->findChild<QLineEdit *>(QStringLiteral("Txt_Name"))
            ->setText(QStringLiteral("Caster %1").arg(++added));
        window->CmdApply_Click();
        QApplication::processEvents();
        state.PauseTiming();
        qDeleteAll(frame->area()->subWindowList());
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddCasterAndOpenItsBrowser)->Arg(100000)->Unit(benchmark::kMillisecond);
