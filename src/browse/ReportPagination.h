#pragma once

#include <QList>

class QTextDocument;

// Where a report laid out as one long sheet is cut into pages: never through a line of text,
// never through a top-level table that fits on a page (a spell stays whole), never between a
// heading and what follows it, and always where the layout asks for a page break.
class ReportPagination
{
public:
    // The top of every page, the first at 0, for a document laid out without pages
    // (QTextDocument::setTextWidth). Pages are at most pageHeight high.
    static QList<qreal> pageTops(const QTextDocument &document, qreal pageHeight);
};
