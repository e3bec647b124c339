#include "browse/ReportOutput.h"

#include "browse/SystemReportOutput.h"

namespace {

ReportOutput *installed = nullptr;

} // namespace

ReportOutput &ReportOutput::current()
{
    static SystemReportOutput system;
    return installed ? *installed : system;
}

void ReportOutput::install(ReportOutput *output)
{
    installed = output;
}
