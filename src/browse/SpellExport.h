#pragma once

#include <QString>

#include <functional>

class QLabel;
class QWidget;
class VM_SpellSaver;

// An export command as the list windows run it: the save dialog with the filter, offering
// suggestedName (cancelling ends the command without a word), then the busy pointer and "<saving><file
// title>..." in the progress panel while write runs a new saver. An error the saver raises is shown to the
// user.
using SpellFileWriter =
    std::function<void(VM_SpellSaver &saver, const QString &fileTitle, const QString &filePath)>;
void exportSpellFile(QWidget *window, QLabel *progressPanel, const QString &filter, const QString &saving,
                     const QString &suggestedName, const SpellFileWriter &write);
