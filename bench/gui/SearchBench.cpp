#include "SyntheticLibrary.h"
#include "browse/Frm_Unlearned.h"
#include "gui/LoadedFrame.h"
#include "maintain/Frm_Search.h"
#include "shell/MDI_Main.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "widgets/ListView.h"
#include "widgets/OpenWindows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Runs one search as the "Search" button does, on the library of that many spells.
void searchFor(benchmark::State &state, const QString &text, const char *mode, int spells = 100000)
{
    SyntheticLibrary::use(spells);
    auto frame = loadedFrame();
    frame->Main_Manage_Search_Click();
    auto *search = OpenWindows::named<Frm_Search>(frame->area(), QStringLiteral("Frm_Search"));
    search->findChild<QLineEdit *>(QStringLiteral("Txt_Search"))->setText(text);
    search->findChild<QRadioButton *>(QLatin1String(mode))->setChecked(true);
    auto *hits = search->findChild<ListView *>(QStringLiteral("LV_Search"));
    for (auto _ : state) {
        search->Cmd_Search_Click();
        QApplication::processEvents();
    }
    state.counters["hits"] = hits->rowCount();
}

} // namespace

// From the click on "Search" to the filled list with its counts: every spell, then a few.
static void BM_SearchEverySpell(benchmark::State &state)
{
    searchFor(state, QStringLiteral("Spell"), "optStart", int(state.range(0)));
}
// Three rounds each, so that the growth figure does not rest on one.
BENCHMARK(BM_SearchEverySpell)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);

static void BM_SearchAFewSpells(benchmark::State &state)
{
    searchFor(state, QStringLiteral("of 4242"), "optAny");
}
BENCHMARK(BM_SearchAFewSpells)->Unit(benchmark::kMillisecond);

// Opening the failed-spells window on a caster with 2,000 failed spells.
static void BM_OpenFailedSpells(benchmark::State &state)
{
    SyntheticLibrary::freshCopy(100000);
    const QString caster = SyntheticLibrary::casterName(0);
    {
        Connection db(QDir(appFolder()).filePath(QStringLiteral("Spells.mdb")));
        Transaction transaction(db);
        Statement insert(db, "INSERT INTO FailedSpells (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
        for (int i = 0; i < 2000; ++i) {
            const int index = i * 47 + 13;
            insert.bind(1, caster)
                .bind(2, SyntheticLibrary::spellName(index))
                .bind(3, QString::number(1 + index % 9));
            insert.run();
            insert.reset();
        }
        transaction.commit();
    }
    auto frame = loadedFrame();
    int listed = 0;
    for (auto _ : state) {
        frame->showUnlearned(caster);
        QApplication::processEvents();
        state.PauseTiming();
        auto *window = OpenWindows::named<Frm_Unlearned>(frame->area(), QStringLiteral("Frm_Unlearned"));
        listed = window->findChild<ListView *>(QStringLiteral("LV_Spells"))->rowCount();
        qDeleteAll(frame->area()->subWindowList());
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["listed"] = listed;
}
BENCHMARK(BM_OpenFailedSpells)->Unit(benchmark::kMillisecond);
