#pragma once

#include <QHash>
#include <QList>
#include <QString>

class Connection;
class ReportFile;

// What one spell's card says, filled in from a row of the deck file's query.
struct DeckSpell
{
    struct Field
    {
        QString label;
        QString value;
    };

    QString name;
    QString subtitle; // level and schools
    QList<Field> fields;
    QString text;   // the description, one paragraph per line
    QString school; // the band's text when the deck is banded by school
    QString level;  // ... and when it is banded by level
};

// The card description of a deck file: after the "---" line, one line per part of a card, in
// the order they are printed, each "part: text" with {{Column}} standing for a column of the
// query "Cards" (blanks in a column name written as "_"). A field whose columns are all empty
// is left off its card.
class DeckTemplate
{
public:
    // Throws ReportError naming the file and the line of a part that is not known.
    explicit DeckTemplate(const ReportFile &file);

    // Runs the query "Cards" on the connection: one spell per row, in the query's order.
    // Throws ReportError naming the query when the library refuses it, or a column that no
    // row has.
    QList<DeckSpell> spells(Connection &library) const;

private:
    struct Part
    {
        QString kind;
        QString label;
        QString text;
        int line = 0;
    };

    DeckSpell fill(const QHash<QString, QString> &row) const;

    const ReportFile &m_file;
    QList<Part> m_parts;
};
