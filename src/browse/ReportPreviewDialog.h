#pragma once

#include "browse/ReportJob.h"

#include <QPrintPreviewDialog>

// A report's preview window. Besides the printer it offers "Save as PDF...", which needs no
// printer at all.
class ReportPreviewDialog : public QPrintPreviewDialog
{
    Q_OBJECT

public:
    ReportPreviewDialog(const ReportJob &job, QWidget *owner);

    const ReportJob &job() const { return m_job; }

public slots:
    void savePdf();

private:
    ReportJob m_job;
};
