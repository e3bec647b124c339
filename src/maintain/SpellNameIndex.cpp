#include "maintain/SpellNameIndex.h"

#include <algorithm>
#include <numeric>

void SpellNameIndex::reset(const QStringList &names)
{
    m_names = names;
    std::vector<QString> folded;
    folded.reserve(size_t(names.size()));
    for (const QString &name : names)
        folded.push_back(name.toCaseFolded());

    m_places.resize(folded.size());
    std::iota(m_places.begin(), m_places.end(), 0);
    // The library lists names without letter case, so the folded names are nearly always in
    // order already and need no sort.
    m_inListOrder = std::is_sorted(folded.cbegin(), folded.cend());
    if (!m_inListOrder) {
        std::stable_sort(m_places.begin(), m_places.end(),
                         [&folded](int a, int b) { return folded[size_t(a)] < folded[size_t(b)]; });
        m_keys.clear();
        m_keys.reserve(folded.size());
        for (const int place : m_places)
            m_keys.push_back(folded[size_t(place)]);
    } else {
        m_keys = std::move(folded);
    }
}

int SpellNameIndex::firstStartingWith(const QString &text) const
{
    const QString prefix = text.toCaseFolded();
    const auto first = std::lower_bound(m_keys.cbegin(), m_keys.cend(), prefix);
    if (first == m_keys.cend() || !first->startsWith(prefix))
        return -1;
    const auto at = [this](auto key) { return m_places[size_t(key - m_keys.cbegin())]; };
    if (m_inListOrder)
        return at(first);
    // Names equal but for letter case outside plain ASCII may sort apart from the list: the
    // matching keys are one run, and the first of them in the list is the answer.
    const auto end = std::partition_point(first, m_keys.cend(),
                                          [&prefix](const QString &key) { return key.startsWith(prefix); });
    int best = at(first);
    for (auto key = first; key != end; ++key)
        best = std::min(best, at(key));
    return best;
}

int SpellNameIndex::indexOf(const QString &name) const
{
    const QString key = name.toCaseFolded();
    for (auto found = std::lower_bound(m_keys.cbegin(), m_keys.cend(), key);
         found != m_keys.cend() && *found == key; ++found) {
        const int place = m_places[size_t(found - m_keys.cbegin())];
        if (m_names.at(place) == name)
            return place;
    }
    return -1;
}
