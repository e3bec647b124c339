#pragma once

#include <QString>

class ListView;
class QWidget;
class VM_DragDropAssistant;

// The start of a drag of spells, the same from every list: the selected rows go into the shared
// assistant under the source's name. When that fails the user is told, inside window, and the
// drag does not begin.
bool packDraggedSpells(VM_DragDropAssistant &assistant, const ListView *list, const QString &sourceName,
                       QWidget *window);
