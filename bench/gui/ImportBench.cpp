#include "SyntheticLibrary.h"
#include "exchange/ExchangeWriter.h"
#include "exchange/VM_SpellSaver.h"
#include "gui/SilentPrompt.h"
#include "import/Frm_Import.h"
#include "shell/MDI_Main.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/Undo.h"
#include "widgets/ListView.h"
#include "widgets/OpenWindows.h"
#include "widgets/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMdiArea>

#include <benchmark/benchmark.h>

#include <memory>

// The import window on the 100,000-spell library with files of 10,000 spells: one of spells the
// library lacks, and one of spells it holds, revised, so that every one is compared in full.
namespace {

constexpr int kLibrarySpells = 100000;
constexpr int kFileSpells = 10000;

struct Setup
{
    QString folder;
    QString newFile;
    QString changedFile;
};

const Setup &setup()
{
    static Setup made;
    if (made.folder.isEmpty()) {
        made.folder = SyntheticLibrary::freshCopy(kLibrarySpells);
        const QString description = QStringLiteral("arcane ember ward of the shadow ").repeated(19);
        ExchangeWriter fresh;
        ExchangeWriter revised;
        for (int i = 0; i < kFileSpells; ++i) {
            const QStringList schools = {SyntheticLibrary::schoolName(i % 24),
                                         SyntheticLibrary::schoolName((i + 7) % 24)};
            QStringList fields = {QStringLiteral("Imported %1").arg(i),
                                  QString::number(1 + i % 9),
                                  QStringLiteral("Rare"),
                                  QString(),
                                  QStringLiteral("KXR"),
                                  QString::number(i % 400),
                                  QStringLiteral("V,S,M"),
                                  QStringLiteral("60 yards"),
                                  QStringLiteral("1 round/level"),
                                  QStringLiteral("20-foot cube"),
                                  QStringLiteral("Segment(s)"),
                                  QStringLiteral("3"),
                                  QStringLiteral("Neg."),
                                  description,
                                  QString()};
            fresh.addSpell(fields, schools);
            fields[0] = SyntheticLibrary::spellName(i * (kLibrarySpells / kFileSpells));
            revised.addSpell(fields, schools);
        }
        made.newFile = made.folder + QStringLiteral("/new.spel");
        made.changedFile = made.folder + QStringLiteral("/changed.spel");
        fresh.save(made.newFile);
        revised.save(made.changedFile);
    }
    setAppFolder(made.folder);
    return made;
}

void settle()
{
    QApplication::processEvents();
}

struct ImportFrame
{
    std::unique_ptr<MDI_Main> frame;
    Frm_Import *window = nullptr;
};

ImportFrame openImportWindow()
{
    ImportFrame opened;
    opened.frame = std::make_unique<MDI_Main>();
    if (!opened.frame->MDIForm_Load())
        return opened;
    opened.frame->show();
    opened.frame->menuEntry(QStringLiteral("Main_File_Import"))->trigger();
    settle();
    opened.window = OpenWindows::all<Frm_Import>(opened.frame->area()).value(0);
    return opened;
}

} // namespace

// From the file chosen to the filled list with its review column and summary.
static void BM_ImportWindowOpenFile(benchmark::State &state)
{
    const Setup &files = setup();
    const QString path = state.range(0) ? files.changedFile : files.newFile;
    ImportFrame opened = openImportWindow();
    if (!opened.window) {
        state.SkipWithError("no import window");
        return;
    }
    for (auto _ : state) {
        opened.window->openFile(path);
        settle();
    }
    state.counters["rows"] = opened.window->findChild<ListView *>(QStringLiteral("LV_Spells"))->rowCount();
}
BENCHMARK(BM_ImportWindowOpenFile)->ArgName("changed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Files of the longest text Vellumar takes: a 10 MB description (its line left out at the reader,
// the others read), and 200 spells each at every length limit. Opening either in the window, the
// first spell shown, must stay within 2 s.
static void BM_ImportWindowOpenLongText(benchmark::State &state)
{
    const Setup &files = setup();
    const auto line = [](const QByteArray &name, const QByteArray &description, int limit) {
        const QByteArray field(limit, 'f');
        return name + "||3||Rare||||" + field + "||" + field + "||V||" + field + "||" + field + "||" + field +
               "||Round(s)||1||" + field + "||" + description + "||" + field + "||Abjuration\r\n";
    };
    QByteArray bytes = "For Vellumar Use Only\r\n";
    if (state.range(0) == 0) {
        bytes += "2\r\n" + line("Huge", QByteArray(10 * 1024 * 1024, 'd'), 10) + line("Small", "Text", 10);
    } else {
        bytes += "200\r\n";
        const QByteArray description =
            QByteArray("A long line of text, then a break.^^").repeated(20'000 / 36);
        for (int i = 0; i < 200; ++i)
            bytes += line(QByteArray::number(i) + QByteArray(190, 'n'), description, 255);
    }
    const QString path = files.folder + QStringLiteral("/long.spel");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    SilentPrompt quiet; // the left-out line is told in a message box
    Prompt::install(&quiet);
    ImportFrame opened = openImportWindow();
    if (!opened.window) {
        Prompt::install(nullptr);
        state.SkipWithError("no import window");
        return;
    }
    for (auto _ : state) {
        opened.window->openFile(path);
        settle();
    }
    Prompt::install(nullptr);
    state.counters["rows"] = opened.window->findChild<ListView *>(QStringLiteral("LV_Spells"))->rowCount();
}
BENCHMARK(BM_ImportWindowOpenLongText)->ArgName("atLimits")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A click on a spell of a file of changed spells: its details, schools and marks.
static void BM_ImportWindowShowSpell(benchmark::State &state)
{
    ImportFrame opened = openImportWindow();
    if (!opened.window) {
        state.SkipWithError("no import window");
        return;
    }
    opened.window->openFile(setup().changedFile);
    settle();
    auto *list = opened.window->findChild<ListView *>(QStringLiteral("LV_Spells"));
    int row = 0;
    for (auto _ : state) {
        row = (row + 997) % list->rowCount();
        list->selectOnly(row);
        settle();
    }
}
BENCHMARK(BM_ImportWindowShowSpell)->Unit(benchmark::kMillisecond);

// "Import" of 10,000 new spells, progress dialog included.
static void BM_ImportWindowImportNew(benchmark::State &state)
{
    const Setup &files = setup();
    ImportFrame opened = openImportWindow();
    if (!opened.window) {
        state.SkipWithError("no import window");
        return;
    }
    opened.window->openFile(files.newFile);
    settle();
    const SyntheticLibrary::SpellRows before = SyntheticLibrary::lastSpellRows();
    for (auto _ : state) {
        opened.window->Toolbar1_ButtonClick(QStringLiteral("Import"));
        state.PauseTiming();
        SyntheticLibrary::removeSpellsAfter(before);
        opened.window->openFile(files.newFile); // the review back to "New"
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportWindowImportNew)->Iterations(3)->Unit(benchmark::kMillisecond);

// The same import without the window, for the difference the window makes.
static void BM_ImportSpellsNewBaseline(benchmark::State &state)
{
    const Setup &files = setup();
    VM_SpellSaver saver;
    ListRows list;
    saver.OpenSpellFile2(list, files.newFile);
    const SyntheticLibrary::SpellRows before = SyntheticLibrary::lastSpellRows();
    for (auto _ : state) {
        saver.ImportSpells(list);
        state.PauseTiming();
        SyntheticLibrary::removeSpellsAfter(before);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportSpellsNewBaseline)->Iterations(3)->Unit(benchmark::kMillisecond);

// The two above alternated round by round, so that the window's share is taken on the same load;
// which goes first changes each round. Each import follows its own opening of the file, as a
// user's does: a file just read leaves the next import slower, whoever imports.
static void BM_ImportWindowAgainstBare(benchmark::State &state)
{
    const Setup &files = setup();
    ImportFrame opened = openImportWindow();
    if (!opened.window) {
        state.SkipWithError("no import window");
        return;
    }
    VM_SpellSaver saver;
    const SyntheticLibrary::SpellRows before = SyntheticLibrary::lastSpellRows();
    double window = 0;
    double bare = 0;
    const std::function<void()> throughTheWindow = [&] {
        opened.window->openFile(files.newFile);
        settle();
        window += millisecondsOf([&] { opened.window->Toolbar1_ButtonClick(QStringLiteral("Import")); });
    };
    const std::function<void()> bareImport = [&] {
        ListRows list;
        saver.OpenSpellFile2(list, files.newFile);
        bare += millisecondsOf([&] { saver.ImportSpells(list); });
    };
    const auto takeBack = [&] {
        SyntheticLibrary::removeSpellsAfter(before);
        UndoHistory::instance().clear(); // or every round would add two imports to the history
    };
    bool windowFirst = true;
    for (auto _ : state) {
        (windowFirst ? throughTheWindow : bareImport)();
        takeBack();
        (windowFirst ? bareImport : throughTheWindow)();
        takeBack();
        windowFirst = !windowFirst;
    }
    state.counters["window_ms"] = window / double(state.iterations());
    state.counters["bare_ms"] = bare / double(state.iterations());
    state.counters["overhead_pct"] = 100.0 * (window - bare) / bare;
}
BENCHMARK(BM_ImportWindowAgainstBare)->Iterations(6)->Unit(benchmark::kMillisecond);
