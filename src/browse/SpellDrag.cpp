#include "browse/SpellDrag.h"

#include "browse/VM_DragDropAssistant.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"

bool packDraggedSpells(VM_DragDropAssistant &assistant, const ListView *list, const QString &sourceName,
                       QWidget *window)
{
    const QString status = assistant.Pack_Data(selectedRowsOf(list), sourceName);
    if (status.isEmpty())
        return true;
    Prompt::message(window, status.trimmed());
    return false;
}
