#pragma once

#include "store/Table.h"

#include <QAnyStringView>
#include <QByteArrayView>
#include <QHash>
#include <QString>

// Finds the rows of a spell list by the names a statement reads (UTF-8) or a table holds, in the
// list's own order: each is looked for just after the last one found, so that a name costs a
// comparison or two instead of a decoded copy or a hashed look-up. A text not nearby falls back to
// an index of the list, made at the first such miss and only when asked for.
class NameFinder
{
public:
    explicit NameFinder(const Table *names) : m_names(names) {}

    // The first row holding the name, or -1. A name not nearby is looked for by halving the
    // list, which is in name order, and the search goes on from its place whether it is there or
    // not: after a run of names the list lacks, the names that follow are found nearby again.
    int find(QByteArrayView bytes);
    // The first row holding the name, or -1.
    int find(const QString &name);
    // The text of a name as the list holds it, or decoded when the list has none.
    QString take(QByteArrayView bytes);

private:
    int findNear(QAnyStringView name);

    const Table *m_names;
    int m_cursor = 0;
    QHash<QString, int> m_index;
};
