#include "browse/ReportOutput.h"

#include "browse/SystemReportOutput.h"

namespace {

ReportOutput *installedOutput = nullptr;

} // namespace

ReportOutput &ReportOutput::current()
{
    static SystemReportOutput system;
    return installedOutput ? *installedOutput : system;
}

void ReportOutput::install(ReportOutput *output)
{
    installedOutput = output;
}
