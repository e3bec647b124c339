#pragma once

#include <QObject>
#include <QString>

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
};
