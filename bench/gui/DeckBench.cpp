#include "LoadedFrame.h"
#include "SilentPrompt.h"
#include "SyntheticLibrary.h"

#include "browse/Frm_Browser.h"
#include "browse/Frm_Deck.h"
#include "store/AppFolder.h"
#include "widgets/OpenWindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

// Names every PDF file the deck asks for.
class PdfPrompt : public SilentPrompt
{
public:
    explicit PdfPrompt(QString path) : m_path(std::move(path)) { install(this); }
    ~PdfPrompt() override { install(nullptr); }

protected:
    std::optional<QString> showSaveFile(QWidget *, const QString &, const QString &) override
    {
        return m_path;
    }

private:
    QString m_path;
};

void copyReportFiles(const QString &folder)
{
    const QDir delivered(QStringLiteral(VELLUMAR_APP_DIR));
    for (const QString &file : delivered.entryList({QStringLiteral("*.rpt")}))
        QFile::copy(delivered.filePath(file), QDir(folder).filePath(file));
}

int pagesOf(const QString &path)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {path});
    pdfinfo.waitForFinished(30000);
    const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    const qsizetype at = info.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? 0 : info.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
}

// "Print Deck…" of the whole library's browser, as a user gives it: poker cards on A4 with
// backs and cut marks, every listed spell, saved as a PDF file (the progress window shows for
// a large deck).
void deckOfTheLibrary(benchmark::State &state, const QString &name)
{
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("deck.pdf"));
    PdfPrompt prompt(pdf);
    auto frame = loadedFrame();
    if (!frame) {
        state.SkipWithError("the library could not be loaded");
        return;
    }
    frame->TB_Main_ButtonMenuClick(QStringLiteral("KXR"));
    Frm_Browser *browser = OpenWindows::all<Frm_Browser>(frame->area()).value(0);
    for (auto _ : state) {
        QTimer::singleShot(0, browser, [] {
            auto *dialog = qobject_cast<Frm_Deck *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto *card = dialog->findChild<QComboBox *>(QStringLiteral("Cmb_Card"));
            card->setCurrentIndex(card->findData(int(DeckOptions::Card::Poker)));
            auto *paper = dialog->findChild<QComboBox *>(QStringLiteral("Cmb_Paper"));
            paper->setCurrentIndex(paper->findData(int(QPageSize::A4)));
            dialog->findChild<QRadioButton *>(QStringLiteral("Opt_All"))->setChecked(true);
            dialog->findChild<QCheckBox *>(QStringLiteral("Chk_Backs"))->setChecked(true);
            dialog->Cmd_Pdf_Click();
        });
        browser->B_Menu_Deck_Click();
    }
    state.counters["pages"] = pagesOf(pdf);
    // VELLUMAR_KEEP_REPORTS=folder keeps the deck, to look at it.
    const QString keep = qEnvironmentVariable("VELLUMAR_KEEP_REPORTS");
    if (!keep.isEmpty())
        QFile::copy(pdf, QDir(keep).filePath(name + QStringLiteral(".pdf")));
}

} // namespace

// The 167 spells the program delivers.
static void BM_DeckOfTheDeliveredLibraryToPdf(benchmark::State &state)
{
    QTemporaryDir folder;
    QFile::copy(QStringLiteral(VELLUMAR_APP_DIR "/Spells.mdb"),
                folder.filePath(QStringLiteral("Spells.mdb")));
    copyReportFiles(folder.path());
    setAppFolder(folder.path());
    deckOfTheLibrary(state, QStringLiteral("delivered-deck"));
}
BENCHMARK(BM_DeckOfTheDeliveredLibraryToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

// A library of 2,000 spells with 600-character descriptions.
static void BM_DeckOf2000SpellsToPdf(benchmark::State &state)
{
    copyReportFiles(SyntheticLibrary::freshCopy(2000));
    deckOfTheLibrary(state, QStringLiteral("deck-of-2000"));
}
BENCHMARK(BM_DeckOf2000SpellsToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);
