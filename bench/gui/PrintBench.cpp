#include "SyntheticLibrary.h"

#include "browse/ReportEngine.h"
#include "browse/ReportOutput.h"
#include "browse/ReportPages.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/VM_Spell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

// Sends every report to a PDF file through the one paint path printers and previews use.
class PdfOutput : public ReportOutput
{
public:
    PdfOutput() { install(this); }
    ~PdfOutput() override { install(nullptr); }
    bool hasPrinter() override { return true; }
    void print(const ReportJob &job) override
    {
        ReportPages::writePdf(job, m_dir.filePath(QStringLiteral("out.pdf")));
    }
    void preview(QWidget *, const ReportJob &job) override { print(job); }

private:
    QTemporaryDir m_dir;
};

// A fresh copy of the 1000-spell library with the report files the build delivers beside it.
void prepareLibrary()
{
    const QString folder = SyntheticLibrary::freshCopy(1000);
    const QDir delivered(QStringLiteral(VELLUMAR_APP_DIR));
    for (const QString &file : delivered.entryList({QStringLiteral("*.rpt")}))
        QFile::copy(delivered.filePath(file), QDir(folder).filePath(file));
}

void printToPdf(benchmark::State &state, const QString &reportFile, const QStringList &subreports)
{
    PdfOutput output;
    QWidget owner;
    for (auto _ : state) {
        ReportEngine engine(&owner);
        engine.setReportFileName(ReportEngine::reportPath(reportFile));
        engine.setPassword(QString::fromLatin1(kLibraryPassword));
        for (const QString &subreport : subreports) {
            engine.setSubreportToChange(subreport);
            engine.setPassword(QString::fromLatin1(kLibraryPassword));
        }
        engine.setSubreportToChange(QString());
        engine.setDestination(ReportEngine::Destination::Printer);
        engine.start();
    }
}

} // namespace

// The full spellbook of a caster holding 200 spells (600-character descriptions), from the
// hold table to a finished PDF file.
static void BM_FullSpellbookOf200SpellsToPdf(benchmark::State &state)
{
    prepareLibrary();
    {
        Connection library(libraryPath());
        Transaction transaction(library);
        library.exec("DELETE FROM CasterHold;");
        Statement hold(library, "INSERT INTO CasterHold (Caster, CasterFilter) VALUES (?, '')");
        hold.bind(1, SyntheticLibrary::casterName(0)).run();
        transaction.commit();
    }
    printToPdf(state, QStringLiteral("fullspellbook.rpt"), {QStringLiteral("FailedSpells")});
}
BENCHMARK(BM_FullSpellbookOf200SpellsToPdf)->Unit(benchmark::kMillisecond);

// One spell card, as the card's "Print Spell" runs it: copy the spell into the hold, then print.
static void BM_SpellCardToPdf(benchmark::State &state)
{
    prepareLibrary();
    PdfOutput output;
    QWidget owner;
    const QString name = SyntheticLibrary::spellName(500);
    for (auto _ : state) {
        VM_Spell spell;
        spell.Set_Spell_Details(name);
        if (!spell.Set_Spell_Hold().isEmpty())
            state.SkipWithError("the spell could not be copied for printing");
        ReportEngine engine(&owner);
        engine.setReportFileName(ReportEngine::reportPath(QStringLiteral("singlespell.rpt")));
        engine.setPassword(QString::fromLatin1(kLibraryPassword));
        engine.setDestination(ReportEngine::Destination::Printer);
        engine.start();
    }
}
BENCHMARK(BM_SpellCardToPdf)->Unit(benchmark::kMillisecond);
