#pragma once

#include "browse/ReportJob.h"

#include <QPageLayout>

class QPagedPaintDevice;

// The one path from a report to paper: lays the report's HTML out for a device's pages and
// paints them with a footer and page numbers. The printer, the preview and PDF files all go
// through it.
class ReportPages
{
public:
    // The resolution a preview and a PDF file are laid out at: text measured alike breaks alike,
    // so the file holds exactly the pages the preview showed.
    static constexpr int kResolution = 600;

    // Paints pages fromPage to toPage (counted from 1; 0 means from the first or to the last).
    // False when the device refuses to be painted on.
    static bool paint(const ReportJob &job, QPagedPaintDevice *device, int fromPage = 0, int toPage = 0);

    // Writes the whole report as a PDF file, replacing the file only once it is complete.
    // Throws ReportError when the file cannot be written.
    static void writePdf(const ReportJob &job, const QString &path,
                         const QPageLayout &layout = defaultLayout());

    // The paper a report is laid out for: a deck's own, else the default.
    static QPageLayout layoutOf(const ReportJob &job);

    // The paper of the system's locale (A4 or US Letter), upright, with 15 mm margins.
    static QPageLayout defaultLayout();

    // The name a report's document carries on the printer's queue and in a PDF file.
    static QString documentName(const ReportJob &job);
    // The document's name as a file name in plain characters, for any file system and any
    // program that reads it: "Spellbook of Maud's Élan: 1/2" -> "Spellbook of Mauds Elan 1-2".
    static QString fileName(const ReportJob &job);
};
