#pragma once

#include <QString>
#include <QStringView>

// Values are trimmed of blanks (spaces) only, as libraries and files of older installations
// were: a tab, a line break or a no-break space at either end is part of the value, so a
// description keeps its closing paragraph break and a name stays the name it was saved as.
inline QStringView trimBlanks(QStringView value)
{
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && value[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && value[end - 1] == QLatin1Char(' '))
        --end;
    return value.sliced(begin, end - begin);
}

inline QString trimBlanks(const QString &value)
{
    const QStringView trimmed = trimBlanks(QStringView(value));
    return trimmed.size() == value.size() ? value : trimmed.toString();
}
