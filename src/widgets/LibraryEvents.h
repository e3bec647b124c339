#pragma once

#include <QObject>
#include <QScopedValueRollback>
#include <QString>

#include <functional>

// What changed in the library, announced by the window that changed it. Every window connects
// to what it shows and reloads itself through its own reload operations, so no window has to
// know which others are open.
class LibraryEvents : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // A caster was added, deleted or had its details (its capacity too) changed: every list of
    // spellbooks reloads, and what shows a caster's details reads them anew.
    void castersChanged();
    // The spells of one caster's spellbook (or its failed spells) changed: its browsers re-query.
    void spellbookChanged(const QString &caster);
    // A spell was added, changed, renamed or deleted: lists of spells reload.
    void spellsChanged();
    // A spell left the library: every list drops its rows.
    void spellDeleted(const QString &spell);
    // A spell took a new name: lists that show the old one read it anew.
    void spellRenamed(const QString &from, const QString &to);
    // A school was added, deleted or described anew: lists of schools reload.
    void schoolsChanged();
    // An undo or redo put back another state of the library, after the signals above that
    // name what it touched: a window that shows more than they cover reads it anew.
    void libraryRestored();
};

// What keeps a window from following its own announcement: the window has already shown the change
// it announces, and reloading on hearing it back would undo what the user sees (a selection, a
// scroll position) for nothing. Each window that announces holds one.
class OwnAnnouncements
{
public:
    // Emits through announce, with the window marked as the one announcing.
    void announce(LibraryEvents &events, const std::function<void(LibraryEvents &)> &announce)
    {
        const QScopedValueRollback<bool> announcing(m_announcing, true);
        announce(events);
    }
    // Whether the change being heard is the window's own.
    bool ours() const { return m_announcing; }

private:
    bool m_announcing = false;
};
