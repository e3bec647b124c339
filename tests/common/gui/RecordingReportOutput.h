#pragma once

#include "browse/ReportOutput.h"

#include <QList>
#include <QTemporaryDir>

#include <functional>

// Stands in for the printers and preview windows while installed: keeps every report that
// was started, and turns one into a PDF file and its text through the program's own paint path.
class RecordingReportOutput : public ReportOutput
{
public:
    RecordingReportOutput();
    ~RecordingReportOutput() override;

    bool printerInstalled = true;
    QList<ReportJob> jobs;
    // Runs as each report goes out, to see what the user sees meanwhile (pointer, status texts).
    std::function<void(const ReportJob &)> onDelivery;

    bool hasPrinter() override { return printerInstalled; }
    void print(const ReportJob &job) override { deliver(job); }
    void preview(QWidget *, const ReportJob &job) override { deliver(job); }

    // The text of the job's PDF as pdftotext reads it (layout kept, pages split by form feeds).
    QString pdfText(const ReportJob &job);
    QString lastPdfText() { return jobs.isEmpty() ? QString() : pdfText(jobs.last()); }
    static QString textOfPdf(const QString &path);

private:
    void deliver(const ReportJob &job);

    QTemporaryDir m_dir;
    static inline int s_written = 0;
};
