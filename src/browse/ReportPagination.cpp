#include "browse/ReportPagination.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr qreal kTolerance = 0.5; // device pixels

struct Span
{
    qreal top;
    qreal bottom;
};

// One element of the top level of the layout: a paragraph or heading, or a table.
struct Unit
{
    Span span;
    qreal firstLineBottom; // what must at least come along when a heading is kept with it
    bool table;
    bool heading;
    bool empty;
    QTextFormat::PageBreakFlags breaks;
};

Span lineSpan(const QAbstractTextDocumentLayout &layout, const QTextBlock &block, int index)
{
    const QTextLayout *text = block.layout();
    const qreal origin = layout.blockBoundingRect(block).top() - text->boundingRect().top();
    const QTextLine line = text->lineAt(index);
    return {origin + line.y(), origin + line.y() + line.height()};
}

QList<Unit> topLevelUnits(const QTextDocument &document)
{
    const QAbstractTextDocumentLayout &layout = *document.documentLayout();
    QList<Unit> units;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (QTextFrame *frame = it.currentFrame()) {
            const QRectF rect = layout.frameBoundingRect(frame);
            const QTextBlock first = frame->firstCursorPosition().block();
            const qreal firstLine =
                first.layout()->lineCount() > 0 ? lineSpan(layout, first, 0).bottom : rect.bottom();
            units.append({{rect.top(), rect.bottom()},
                          firstLine,
                          true,
                          false,
                          false,
                          frame->frameFormat().pageBreakPolicy()});
            continue;
        }
        const QTextBlock block = it.currentBlock();
        const QRectF rect = layout.blockBoundingRect(block);
        const qreal firstLine =
            block.layout()->lineCount() > 0 ? lineSpan(layout, block, 0).bottom : rect.bottom();
        units.append({{rect.top(), rect.bottom()},
                      firstLine,
                      false,
                      block.blockFormat().headingLevel() > 0,
                      block.text().trimmed().isEmpty(),
                      block.blockFormat().pageBreakPolicy()});
    }
    return units;
}

// The lowest place at or above limit, below top, that cuts through none of the spans; top
// when there is none.
qreal cutAbove(qreal limit, qreal top, const QList<Span> &spans)
{
    qreal cut = limit;
    for (;;) {
        const auto through = std::find_if(spans.begin(), spans.end(), [cut](const Span &span) {
            return span.top < cut - kTolerance && cut < span.bottom - kTolerance;
        });
        if (through == spans.end())
            return cut;
        cut = through->top;
        if (cut <= top + kTolerance)
            return top;
    }
}

} // namespace

QList<qreal> ReportPagination::pageTops(const QTextDocument &document, qreal pageHeight)
{
    const QAbstractTextDocumentLayout &layout = *document.documentLayout();
    const qreal end = layout.documentSize().height();

    // Empty blocks show nothing, and the one Qt keeps after every table overlaps its margin.
    QList<Span> lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (!block.text().trimmed().isEmpty())
            for (int i = 0; i < block.layout()->lineCount(); ++i)
                lines.append(lineSpan(layout, block, i));

    QList<Span> keeps = lines;
    QList<qreal> forced;
    const QList<Unit> units = topLevelUnits(document);
    for (qsizetype i = 0; i < units.size(); ++i) {
        const Unit &unit = units.at(i);
        if (unit.table && unit.span.bottom - unit.span.top <= pageHeight)
            keeps.append(unit.span);
        if (unit.heading) {
            // Kept with the next element that has something to show: with the whole of it when
            // both fit on a page, else at least with its first line.
            auto next =
                std::find_if(units.begin() + i + 1, units.end(), [](const Unit &u) { return !u.empty; });
            if (next != units.end()) {
                const bool whole = next->table && next->span.bottom - unit.span.top <= pageHeight;
                keeps.append({unit.span.top, whole ? next->span.bottom : next->firstLineBottom});
            }
        }
        if (unit.breaks & QTextFormat::PageBreak_AlwaysBefore)
            forced.append(unit.span.top);
        if (unit.breaks & QTextFormat::PageBreak_AlwaysAfter)
            forced.append(unit.span.bottom);
    }
    std::sort(forced.begin(), forced.end());

    QList<qreal> tops{0};
    qreal top = 0;
    for (;;) {
        const qreal limit = top + pageHeight;
        const auto breakAt =
            std::find_if(forced.begin(), forced.end(), [top](qreal y) { return y > top + kTolerance; });
        if (breakAt != forced.end() && *breakAt <= limit && *breakAt < end - kTolerance) {
            top = *breakAt;
            tops.append(top);
            continue;
        }
        if (limit >= end - kTolerance)
            break;
        qreal cut = cutAbove(limit, top, keeps);
        if (cut <= top)
            cut = cutAbove(limit, top, lines);
        if (cut <= top)
            cut = limit; // a single line taller than a page
        top = cut;
        tops.append(top);
    }
    return tops;
}
