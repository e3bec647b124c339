#pragma once

#include <QStringList>

// Checks on a printed or shown text, each giving what is wrong so that a failure names it.

// The parts the text lacks; none when every one is there.
inline QStringList missingFrom(const QString &text, const QStringList &parts)
{
    QStringList missing;
    for (const QString &part : parts) {
        if (!text.contains(part))
            missing.append(part);
    }
    return missing;
}

// The parts the text holds; none when it holds none of them.
inline QStringList foundIn(const QString &text, const QStringList &parts)
{
    QStringList found;
    for (const QString &part : parts) {
        if (text.contains(part))
            found.append(part);
    }
    return found;
}

// The first part that is missing or first stands before the part named ahead of it; "" when the
// text holds every part in this order.
inline QString outOfOrder(const QString &text, const QStringList &parts)
{
    qsizetype previous = 0;
    for (const QString &part : parts) {
        const qsizetype at = text.indexOf(part);
        if (at < previous)
            return part;
        previous = at;
    }
    return {};
}
