#include "browse/SystemReportOutput.h"

#include "browse/DeckPages.h"
#include "browse/ReportError.h"
#include "browse/ReportPages.h"
#include "browse/ReportPreviewDialog.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

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
    if (job.deck)
        DeckPages::setUp(printer, *job.deck);
    else
        printer.setPageMargins(ReportPages::defaultLayout().margins(), QPageLayout::Millimeter);
    printer.setDocName(ReportPages::documentName(job));
    if (!ReportPages::paint(job, &printer))
        throw ReportError(
            QStringLiteral("The report could not be sent to the printer %1.").arg(printer.printerName()));
}

void SystemReportOutput::preview(QWidget *owner, const ReportJob &job)
{
    auto *dialog = new ReportPreviewDialog(job, owner);
    // Sized by hand as well, for desktops whose window manager ignores the maximized state;
    // a normal preview is tall enough to read a page.
    const QRect screen = dialog->screen()->availableGeometry();
    if (job.maximized) {
        dialog->setGeometry(screen);
        dialog->showMaximized();
    } else {
        dialog->resize(qMin(screen.width(), 1000), screen.height() * 9 / 10);
        dialog->move(screen.center() - dialog->rect().center());
        dialog->show();
    }
}
