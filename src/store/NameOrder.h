#pragma once

#include <QByteArrayView>
#include <QStringList>

#include <algorithm>
#include <string_view>

// The order of "ORDER BY x COLLATE NOCASE, x" on UTF-8 text, for results merged or sorted in
// memory: ASCII letters compared without case, everything else by its bytes, a prefix first;
// texts equal but for case then follow their exact bytes.
inline bool nameLess(std::string_view a, std::string_view b)
{
    const auto fold = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        if (fold(a[i]) != fold(b[i]))
            return fold(a[i]) < fold(b[i]);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

// Names in the order a list of them reads: letters without regard to case, then the exact text.
inline void sortNames(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &left, const QString &right) {
        const int folded = left.compare(right, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : left < right;
    });
}

inline std::string_view bytesView(QByteArrayView bytes)
{
    return {bytes.data(), size_t(bytes.size())};
}
