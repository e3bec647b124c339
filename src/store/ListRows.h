#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What one row of a list view holds, so that store and exchange operations can read and fill
// "a list view" without knowing about widgets.
struct ListRow
{
    QString text;
    QStringList subItems;
    bool selected = false;
    bool checked = false;

    bool operator==(const ListRow &other) const = default;
};

using ListRows = QList<ListRow>;
