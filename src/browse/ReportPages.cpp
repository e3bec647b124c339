#include "browse/ReportPages.h"

#include "browse/Deck.h"
#include "browse/DeckPages.h"
#include "browse/ReportError.h"
#include "browse/ReportPagination.h"
#include "exchange/SafeSave.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace {

QFont bodyFont()
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(10.5);
    return font;
}

QFont footerFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(7.5);
    return font;
}

const QString kNoRoom = QStringLiteral(
    "This paper has no room for the report between its margins: choose larger paper or smaller margins.");

// Less than an inch of body between the margins and the footer leaves no room to lay a report
// out (and none at all would never end a page).
bool hasRoom(const QPageLayout &layout)
{
    constexpr qreal kInch = 72;
    constexpr qreal kFooter = 24; // two lines of the footer's font, and a gap
    const QRectF area = layout.paintRect(QPageLayout::Point);
    return area.width() >= kInch && area.height() - kFooter >= kInch;
}

void drawFooter(QPainter &painter, const QRectF &area, const QString &text, int page, int pages)
{
    painter.save();
    painter.setFont(footerFont());
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 0));
    painter.drawLine(area.topLeft(), area.topRight());
    const QRectF textArea = area.adjusted(0, area.height() * 0.25, 0, 0);
    const QString number = pages > 1 ? QStringLiteral("Page %1 of %2").arg(page).arg(pages) : QString();
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal numberWidth = number.isEmpty() ? 0 : metrics.horizontalAdvance(number) * 1.1;
    const QString left = metrics.elidedText(text, Qt::ElideRight, textArea.width() - numberWidth - 10);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignTop, left);
    painter.drawText(textArea, Qt::AlignRight | Qt::AlignTop, number);
    painter.restore();
}

} // namespace

bool ReportPages::paint(const ReportJob &job, QPagedPaintDevice *device, int fromPage, int toPage)
{
    if (job.deck)
        return DeckPages::paint(*job.deck, device, fromPage, toPage);
    QPainter painter;
    if (!painter.begin(device))
        return false;

    const int dpi = device->logicalDpiY();
    const QSizeF area = device->pageLayout().paintRectPixels(dpi).size();
    if (!hasRoom(device->pageLayout())) {
        // A preview's page setup can come to this; its page says why it holds no report, over
        // the whole sheet, as the margins leave too little room even for that.
        const QPageLayout layout = device->pageLayout();
        const QRectF sheet =
            QRectF(layout.fullRectPixels(dpi)).translated(-layout.paintRectPixels(dpi).topLeft());
        painter.setFont(footerFont());
        painter.drawText(sheet.adjusted(dpi / 16.0, dpi / 16.0, -dpi / 16.0, -dpi / 16.0), Qt::TextWordWrap,
                         kNoRoom);
        return painter.end();
    }
    const qreal footerHeight = QFontMetricsF(footerFont(), device).height() * 2.2;
    const qreal bodyHeight = area.height() - footerHeight;

    // Laid out on the device itself, as one long sheet, so that line breaks on paper are the
    // ones measured here and the cuts between pages can be chosen with the whole report in view.
    QTextDocument document;
    document.documentLayout()->setPaintDevice(device);
    document.setDefaultFont(bodyFont());
    document.setDocumentMargin(0);
    document.setHtml(job.html);
    document.setTextWidth(area.width());
    const qreal end = document.documentLayout()->documentSize().height();
    const QList<qreal> tops = ReportPagination::pageTops(document, bodyHeight);

    const int pages = int(tops.size());
    const int first = qBound(1, fromPage > 0 ? fromPage : 1, pages);
    const int last = qBound(first, toPage > 0 ? toPage : pages, pages);
    for (int page = first; page <= last; ++page) {
        if (page != first)
            device->newPage();
        const qreal top = tops.at(page - 1);
        const qreal bottom = page < pages ? tops.at(page) : end;
        painter.save();
        painter.translate(0, -top);
        painter.setClipRect(QRectF(0, top, area.width(), bottom - top));
        // The layout skips what lies wholly outside its clip; drawn and clipped away, a line of
        // the next page would still be in the PDF's text, invisible but found by a search.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, top + 1, area.width(), bottom - top - 2);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        drawFooter(painter, QRectF(0, bodyHeight, area.width(), footerHeight), job.footer, page, pages);
    }
    return painter.end();
}

void ReportPages::writePdf(const ReportJob &job, const QString &path, const QPageLayout &chosenLayout)
{
    // A deck's cards are placed on its own paper, whatever a preview's page setup says.
    const QPageLayout layout = job.deck ? job.deck->sheet().pageLayout() : chosenLayout;
    const auto failed = [&path](const QString &why) {
        return ReportError(QStringLiteral("The PDF file %1 could not be written: %2")
                               .arg(QDir::toNativeSeparators(path), why));
    };
    if (!hasRoom(layout))
        throw failed(kNoRoom);
    // Drawn in memory and saved in one piece: a PDF cut short by a full disk is unreadable,
    // and must never replace a good one.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setResolution(kResolution);
        writer.setTitle(documentName(job));
        writer.setCreator(QStringLiteral("Vellumar"));
        if (!paint(job, &writer))
            throw failed(QStringLiteral("the pages could not be drawn."));
    }
    const QString failure = saveWhole(path, bytes);
    if (!failure.isEmpty())
        throw failed(failure);
}

QPageLayout ReportPages::layoutOf(const ReportJob &job)
{
    return job.deck ? job.deck->sheet().pageLayout() : defaultLayout();
}

QPageLayout ReportPages::defaultLayout()
{
    const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

QString ReportPages::fileName(const ReportJob &job)
{
    QString plain;
    // Letters with marks lose the marks; other letters and signs outside plain ASCII go.
    for (const QChar c : documentName(job).normalized(QString::NormalizationForm_KD)) {
        if (c.unicode() >= 128)
            continue;
        if (c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('_') ||
            c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char(',') || c == QLatin1Char('.'))
            plain.append(c);
        else if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            plain.append(QLatin1Char('-'));
        else if (c.isSpace() || c == QLatin1Char(':'))
            plain.append(QLatin1Char(' '));
    }
    plain = plain.simplified();
    while (plain.startsWith(QLatin1Char('.')) || plain.startsWith(QLatin1Char('-')))
        plain.remove(0, 1);
    return plain.isEmpty() ? QStringLiteral("Vellumar") : plain;
}

QString ReportPages::documentName(const ReportJob &job)
{
    // The report's own title ("Spellbook of Bryn"), not the caption of the window that showed it.
    return job.footer.isEmpty() ? job.title : job.footer;
}
