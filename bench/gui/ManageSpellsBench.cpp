#include "SyntheticLibrary.h"
#include "gui/SilentPrompt.h"
#include "maintain/Frm_ManageSpells.h"
#include "shell/MDI_Main.h"
#include "widgets/OpenWindows.h"
#include "widgets/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kSpells = 100000;

struct Session
{
    SilentPrompt prompt;
    std::unique_ptr<MDI_Main> frame;

    Session()
    {
        Prompt::install(&prompt);
        frame = std::make_unique<MDI_Main>();
        if (!frame->MDIForm_Load())
            frame.reset();
        else
            frame->show();
        QApplication::processEvents();
    }
    ~Session()
    {
        frame.reset();
        Prompt::install(nullptr);
    }
    Frm_ManageSpells *open(const QString &spell)
    {
        frame->manageSpell(spell, nullptr);
        QApplication::processEvents();
        return OpenWindows::named<Frm_ManageSpells>(frame->area(), QStringLiteral("Frm_ManageSpells"));
    }
    void closeAll()
    {
        qDeleteAll(frame->area()->subWindowList());
        QApplication::processEvents();
    }
};

} // namespace

// From the request (a browser's "Manage Spell") to the window on screen showing the spell, its
// picker holding the whole library.
static void BM_ManageSpells_Open(benchmark::State &state)
{
    SyntheticLibrary::use(kSpells);
    Session session;
    for (auto _ : state) {
        Frm_ManageSpells *window = session.open(SyntheticLibrary::spellName(500));
        benchmark::DoNotOptimize(window);
        state.PauseTiming();
        if (!window || window->shownSpell() != SyntheticLibrary::spellName(500))
            state.SkipWithError("the window does not show the spell");
        session.closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ManageSpells_Open)->Unit(benchmark::kMillisecond);

// Choosing another spell in the picker: the spell, its schools and spellbooks shown.
static void BM_ManageSpells_ChooseAnother(benchmark::State &state)
{
    SyntheticLibrary::use(kSpells);
    Session session;
    Frm_ManageSpells *window = session.open(QString());
    auto *picker = window->findChild<QComboBox *>(QStringLiteral("cmbo_Spells"));
    int index = 1;
    for (auto _ : state) {
        index = (index + 7919) % kSpells;
        picker->setCurrentIndex(index + 1);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ManageSpells_ChooseAnother)->Unit(benchmark::kMillisecond);

// One keystroke in the find box, the spell it finds shown: names typed a letter at a time.
static void BM_ManageSpells_FindKeystroke(benchmark::State &state)
{
    SyntheticLibrary::use(kSpells);
    Session session;
    Frm_ManageSpells *window = session.open(QString());
    auto *find = window->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    int spell = 0;
    QString target = SyntheticLibrary::spellName(spell).toLower();
    qsizetype typed = 0;
    for (auto _ : state) {
        if (typed == target.size()) {
            state.PauseTiming();
            find->clear();
            spell += 1237;
            target = SyntheticLibrary::spellName(spell).toLower();
            typed = 0;
            state.ResumeTiming();
        }
        find->setText(target.left(++typed));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ManageSpells_FindKeystroke)->Unit(benchmark::kMillisecond);

// Saving a changed spell that has 5 schools and 3 spellbooks.
static void BM_ManageSpells_Save(benchmark::State &state)
{
    SyntheticLibrary::freshCopy(kSpells);
    Session session;
    Frm_ManageSpells *window = session.open(SyntheticLibrary::spellName(42));
    auto *schools = window->findChild<QListWidget *>(QStringLiteral("Lst_Schools"));
    auto *spellbooks = window->findChild<QListWidget *>(QStringLiteral("Lst_Spellbooks"));
    for (int row = 0; row < schools->count(); ++row)
        schools->item(row)->setSelected(row < 5);
    for (int row = 1; row < spellbooks->count(); ++row)
        spellbooks->item(row)->setSelected(row <= 3);
    auto *range = window->findChild<QLineEdit *>(QStringLiteral("txt_Range"));
    int round = 0;
    for (auto _ : state) {
        range->setText(QStringLiteral("%1 yards").arg(++round));
        window->Toolbar1_ButtonClick(QStringLiteral("Save"));
        QApplication::processEvents();
    }
    if (window->hasUnsavedChanges())
        state.SkipWithError("the spell was not saved");
}
BENCHMARK(BM_ManageSpells_Save)->Unit(benchmark::kMillisecond);
