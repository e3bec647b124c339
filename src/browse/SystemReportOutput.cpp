#include "browse/SystemReportOutput.h"

#include "browse/ReportError.h"
#include "browse/ReportPages.h"
#include "browse/ReportPreviewDialog.h"

#include <QPrinter>
#include <QPrinterInfo>

bool SystemReportOutput::hasPrinter()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void SystemReportOutput::print(const ReportJob &job)
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        info = QPrinterInfo::printerInfo(QPrinterInfo::availablePrinterNames().value(0));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setPageMargins(ReportPages::defaultLayout().margins(), QPageLayout::Millimeter);
    printer.setDocName(ReportPages::documentName(job));
    if (!ReportPages::paint(job, &printer))
        throw ReportError(
            QStringLiteral("The report could not be sent to the printer %1.").arg(printer.printerName()));
}

void SystemReportOutput::preview(QWidget *owner, const ReportJob &job)
{
    auto *dialog = new ReportPreviewDialog(job, owner);
    if (job.maximized)
        dialog->showMaximized();
    else
        dialog->show();
}
