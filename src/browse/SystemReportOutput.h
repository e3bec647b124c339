#pragma once

#include "browse/ReportOutput.h"

// Reports on the default printer (the first printer when none is the default) and in a
// print preview window that belongs to the window that asked for it.
class SystemReportOutput : public ReportOutput
{
public:
    bool hasPrinter() override;
    void print(const ReportJob &job) override;
    void preview(QWidget *owner, const ReportJob &job) override;
};
