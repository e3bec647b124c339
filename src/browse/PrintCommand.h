#pragma once

#include "store/VmError.h"
#include "widgets/BusyCursor.h"

#include <QPointer>
#include <QString>

#include <optional>

class QLabel;
class QWidget;

// What every print and preview command of a window does around its report: the busy pointer
// while it runs and a progress text in the frame's status panel, both gone before any message
// and when the command ends; an error raised on the way (no printer, a broken report file, a
// failed hold) ends the command with its description shown.
class PrintCommand
{
public:
    PrintCommand(QWidget *window, QLabel *progressPanel);
    ~PrintCommand();
    PrintCommand(const PrintCommand &) = delete;
    PrintCommand &operator=(const PrintCommand &) = delete;

    void showProgress(const QString &text);
    // A message to the user; Prompt clears the progress text and lifts the pointer meanwhile.
    // The command may go on afterwards.
    void tell(const QString &text);

    // Runs the body; false when it raised an error, which has then been shown.
    template<typename Body>
    bool run(Body &&body);

private:
    QPointer<QWidget> m_window;
    QPointer<QLabel> m_panel;
    std::optional<BusyCursor> m_busy;
};

template<typename Body>
bool PrintCommand::run(Body &&body)
{
    try {
        body();
        return true;
    } catch (const VmError &error) {
        tell(error.description);
        return false;
    }
}
