#include "browse/ReportPreviewDialog.h"

#include "browse/ReportPages.h"
#include "store/VmError.h"
#include "widgets/Prompt.h"

#include <QAction>
#include <QPrinter>
#include <QToolBar>

ReportPreviewDialog::ReportPreviewDialog(const ReportJob &job, QWidget *owner)
    : QPrintPreviewDialog(owner), m_job(job)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(job.title.isEmpty() ? QStringLiteral("Print Preview") : job.title);

    QPrinter *paper = printer();
    paper->setResolution(ReportPages::kResolution);
    paper->setPageLayout(ReportPages::layoutOf(job));
    paper->setDocName(ReportPages::documentName(job));
    connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        ReportPages::paint(m_job, target, target->fromPage(), target->toPage());
    });

    if (auto *toolBar = findChild<QToolBar *>()) {
        toolBar->addSeparator();
        QAction *save = toolBar->addAction(QStringLiteral("Save as PDF..."));
        save->setObjectName(QStringLiteral("SaveAsPdf"));
        save->setToolTip(QStringLiteral("Save these pages as a PDF file"));
        connect(save, &QAction::triggered, this, &ReportPreviewDialog::savePdf);
    }
}

void ReportPreviewDialog::savePdf()
{
    std::optional<QString> path =
        Prompt::saveFile(this, QStringLiteral("PDF Files (*.pdf)|*.pdf"), ReportPages::fileName(m_job));
    if (!path)
        return;
    if (!path->endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path->append(QLatin1String(".pdf"));
    try {
        ReportPages::writePdf(m_job, *path, printer()->pageLayout());
    } catch (const VmError &error) {
        Prompt::report(this, error);
    }
}
