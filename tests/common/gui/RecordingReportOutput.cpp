#include "RecordingReportOutput.h"

#include "browse/ReportPages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

RecordingReportOutput::RecordingReportOutput()
{
    install(this);
}

RecordingReportOutput::~RecordingReportOutput()
{
    install(nullptr);
}

void RecordingReportOutput::deliver(const ReportJob &job)
{
    if (onDelivery)
        onDelivery(job);
    jobs.append(job);
}

QString RecordingReportOutput::pdfText(const ReportJob &job)
{
    const QString path = m_dir.filePath(
        QStringLiteral("%1-%2.pdf").arg(QFileInfo(job.reportFile).baseName()).arg(++s_written));
    ReportPages::writePdf(job, path);

    // VELLUMAR_KEEP_REPORTS=folder keeps the PDF files, to look at what a layout prints.
    const QString keep = qEnvironmentVariable("VELLUMAR_KEEP_REPORTS");
    if (!keep.isEmpty()) {
        const QString kept = QDir(keep).filePath(QFileInfo(path).fileName());
        QFile::remove(kept);
        QFile::copy(path, kept);
    }

    return textOfPdf(path);
}

QString RecordingReportOutput::textOfPdf(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << path.toStdString() << ": "
                      << pdftotext.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}
