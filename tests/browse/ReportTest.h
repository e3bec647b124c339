#pragma once

#include "RecordingReportOutput.h"
#include "TestLibrary.h"
#include "TextChecks.h"
#include "browse/ReportEngine.h"

#include <QWidget>

// A library of its own, the delivered report files in its application folder, and the
// report output recorded instead of printed.
class ReportTest : public LibraryTest
{
protected:
    ReportTest();

    // Writes a report file of the test's own into the application folder; returns its path.
    QString writeReport(const QString &fileName, const QString &content);
    void exec(const QString &sql);

    // Runs a report the way the printing windows do: the library password for the main
    // report and every sub-report named, then the destination, then start.
    void run(const QString &fileName,
             ReportEngine::Destination destination = ReportEngine::Destination::Window,
             const QStringList &subreports = {});
    // The description of the error a run raises ("" when it raised none).
    QString runError(const QString &fileName,
                     ReportEngine::Destination destination = ReportEngine::Destination::Window)
    {
        const QString error = raised([&] { run(fileName, destination); });
        return error.mid(error.indexOf(QStringLiteral(": ")) + 2);
    }

    QWidget owner;
    RecordingReportOutput output;
};
