#include "SyntheticLibrary.h"
#include "gui/LoadedFrame.h"
#include "scrolls/Frm_Scrolls.h"
#include "shell/MDI_Main.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "widgets/ListView.h"
#include "widgets/OpenWindows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kSpells = 100000;
constexpr int kScrolls = 2000;

void settle()
{
    QApplication::processEvents();
}

// The 100,000-spell library with 2,000 scrolls of 10 to 20 lines over its 50 casters, made once
// beside the other cached libraries.
void useScrollLibrary()
{
    const QString source = SyntheticLibrary::file(kSpells);
    const QString folder = QFileInfo(source).absolutePath() + QStringLiteral("-scrolls-v1");
    const QString path = folder + QStringLiteral("/Spells.mdb");
    if (!QFile::exists(path)) {
        QDir().mkpath(folder);
        const QString partial = path + QStringLiteral(".new");
        QFile::remove(partial);
        QFile::copy(source, partial);
        {
            Connection connection(partial);
            Transaction transaction(connection);
            Statement insert(connection,
                             "INSERT INTO Scrolls (ScrollName, Caster, Spell, Lvl, Frequency, Book, Page) "
                             "SELECT ?, ?, Name, Lvl, Frequency, Book, Page FROM Spells WHERE Name = ?");
            QRandomGenerator random(20261207);
            for (int scroll = 0; scroll < kScrolls; ++scroll) {
                const QString caster = SyntheticLibrary::casterName(scroll % SyntheticLibrary::kCasters);
                const QString name = QStringLiteral("Scroll %1").arg(scroll, 4, 10, QLatin1Char('0'));
                const int lines = 10 + random.bounded(11);
                for (int line = 0; line < lines; ++line) {
                    insert.bind(1, name).bind(2, caster).bind(
                        3, SyntheticLibrary::spellName(random.bounded(kSpells)));
                    insert.run();
                    insert.reset();
                }
            }
            transaction.commit();
        }
        QFile::rename(partial, path);
    }
    setAppFolder(folder);
}

Frm_Scrolls *openScrolls(MDI_Main &frame)
{
    frame.Main_Tools_Scrolls_Click();
    settle();
    return OpenWindows::named<Frm_Scrolls>(frame.area(), QStringLiteral("Frm_Scrolls"));
}

} // namespace

// From the Tools menu's command to the window on screen, tree and spell picker filled.
static void BM_OpenScrollManager(benchmark::State &state)
{
    useScrollLibrary();
    auto frame = loadedFrame();
    for (auto _ : state) {
        Frm_Scrolls *window = openScrolls(*frame);
        benchmark::DoNotOptimize(window);
        state.PauseTiming();
        state.counters["scrolls"] =
            window->findChild<QTreeWidget *>(QStringLiteral("TV_Scrolls"))->topLevelItem(0)->childCount() *
            SyntheticLibrary::kCasters;
        state.counters["spells"] = window->findChild<QComboBox *>(QStringLiteral("Cmbo_Spell"))->count();
        qDeleteAll(frame->area()->subWindowList());
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenScrollManager)->Unit(benchmark::kMillisecond);

// A click on a scroll node: its lines read and shown (two scrolls in turn).
static void BM_ClickScrollNode(benchmark::State &state)
{
    useScrollLibrary();
    auto frame = loadedFrame();
    Frm_Scrolls *window = openScrolls(*frame);
    auto *tree = window->findChild<QTreeWidget *>(QStringLiteral("TV_Scrolls"));
    QTreeWidgetItem *nodes[] = {tree->topLevelItem(7)->child(3), tree->topLevelItem(31)->child(12)};
    int next = 0;
    for (auto _ : state) {
        tree->setCurrentItem(nodes[next]);
        next = 1 - next;
        settle();
    }
    state.counters["lines"] = window->findChild<ListView *>(QStringLiteral("LV_Scrolls"))->rowCount();
}
BENCHMARK(BM_ClickScrollNode)->Unit(benchmark::kMillisecond);

// Apply on the Generate tab: 99 spells from every level and school, any frequency.
static void BM_Apply99Spells(benchmark::State &state)
{
    useScrollLibrary();
    auto frame = loadedFrame();
    Frm_Scrolls *window = openScrolls(*frame);
    window->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(Frm_Scrolls::GenerateTab);
    window->findChild<QComboBox *>(QStringLiteral("cmbo_Spells"))->setEditText(QStringLiteral("99"));
    auto *frequency = window->findChild<QComboBox *>(QStringLiteral("Cmbo_Frequency"));
    frequency->setCurrentIndex(frequency->count() - 1);
    for (auto _ : state) {
        window->Cmd_Apply_Click();
        settle();
    }
    state.counters["lines"] = window->findChild<ListView *>(QStringLiteral("LV_Spells"))->rowCount();
}
BENCHMARK(BM_Apply99Spells)->Unit(benchmark::kMillisecond);

// One keystroke in the find box: a name near the end of the picker, and no name at all (the
// whole list walked).
static void BM_FindKeystroke(benchmark::State &state)
{
    useScrollLibrary();
    auto frame = loadedFrame();
    Frm_Scrolls *window = openScrolls(*frame);
    window->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(Frm_Scrolls::AddTab);
    auto *find = window->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    const QStringList typed = state.range(0) == 0
                                  ? QStringList{QStringLiteral("Spell 99"), QStringLiteral("Spell 999")}
                                  : QStringList{QStringLiteral("x"), QStringLiteral("xy")};
    int next = 0;
    for (auto _ : state) {
        find->setText(typed.at(next));
        next = 1 - next;
        settle();
    }
}
BENCHMARK(BM_FindKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
