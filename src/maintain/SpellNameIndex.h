#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The spell names of a picker, found by the start of a name as the user types it (in any letter
// case) or by the whole name, without walking the list: the names folded to one case are kept
// sorted beside their places in the list.
class SpellNameIndex
{
public:
    // The names in the order the picker lists them.
    void reset(const QStringList &names);

    // The place in the list of the first name, from the top, that starts with the text,
    // ignoring letter case; -1 when none does.
    int firstStartingWith(const QString &text) const;
    // The place of the name itself, letter case counting; -1 when it is not listed.
    int indexOf(const QString &name) const;

    const QStringList &names() const { return m_names; }

private:
    QStringList m_names;
    std::vector<QString> m_keys; // folded names, sorted
    std::vector<int> m_places;   // each key's place in the list
    // True when the folded names sort as the list does (the usual case): the first key that
    // matches is then the first name in the list.
    bool m_inListOrder = true;
};
