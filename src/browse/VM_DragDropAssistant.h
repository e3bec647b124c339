#pragma once

#include "store/Database.h"
#include "store/ListRows.h"

#include <QString>
#include <QStringList>

// Carries the spells of one drag from the list where it starts to the list where it ends. The
// source packs the names of its selected rows; the target validates the drop and unpacks them
// into a spellbook, a caster's failed spells or a list. Draws nothing itself.
class VM_DragDropAssistant
{
public:
    VM_DragDropAssistant();
    ~VM_DragDropAssistant();
    VM_DragDropAssistant(const VM_DragDropAssistant &) = delete;
    VM_DragDropAssistant &operator=(const VM_DragDropAssistant &) = delete;

    void Reset_Drag();
    QString Pack_Data(const ListRows &list, const QString &sourceName); // packs the selected rows
    bool Validate_Drop() const { return m_dragValid; }
    QString Drag_Source() const { return m_source; }
    int NumberAdded() const { return m_numberAdded; }
    // The names packed by the drag in progress.
    QStringList Dragged_Spells() const { return m_spells; }

    // Each unpack returns "" or a message for the user, and ends the drag.
    QString Unpack_To_Button(const QString &spellbook);
    QString Unpack_To_Unlearned(const QString &caster);
    QString Unpack_To_List_View(ListRows &list);
    // Memorizes the spells, each at its own level, when they come from the caster's own spellbook.
    QString Unpack_To_Memorized(const QString &caster);

private:
    void endDrag();

    QString m_source;
    QStringList m_spells;
    bool m_dragValid = false;
    int m_numberAdded = 0;
    LazyConnection m_connection; // open only while an unpack runs
};
