#pragma once

#include "browse/ReportJob.h"

class QWidget;

// Where a started report goes: the system's printers and preview windows, or, in a test, a
// recorder that keeps the job (and can write it to a PDF file through ReportPages).
class ReportOutput
{
public:
    virtual ~ReportOutput() = default;

    virtual bool hasPrinter() = 0;
    // Both may throw ReportError.
    virtual void print(const ReportJob &job) = 0;
    virtual void preview(QWidget *owner, const ReportJob &job) = 0;

    static ReportOutput &current();
    // Replaces the output (not owned); nullptr brings back the system's printers and previews.
    static void install(ReportOutput *output);
};
