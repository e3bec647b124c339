#include "browse/SpellExport.h"

#include "exchange/VM_SpellSaver.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/Prompt.h"

#include <QFileInfo>

void exportSpellFile(QWidget *window, QLabel *progressPanel, const QString &filter, const QString &saving,
                     const QString &suggestedName, const SpellFileWriter &write)
{
    const std::optional<QString> path = Prompt::saveFile(window, filter, suggestedName);
    if (!path)
        return;
    const QString title = QFileInfo(*path).fileName();
    BusyCursor busy(progressPanel, saving + title + QStringLiteral("..."));
    try {
        VM_SpellSaver saver;
        write(saver, title, *path);
    } catch (const VmError &error) {
        Prompt::report(window, error);
    }
}
