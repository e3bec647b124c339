#include "browse/PrintCommand.h"

#include "widgets/BusyCursor.h"
#include "widgets/Prompt.h"

#include <QLabel>

PrintCommand::PrintCommand(QWidget *window, QLabel *progressPanel) : m_window(window), m_panel(progressPanel)
{
    m_busy.emplace();
}

PrintCommand::~PrintCommand() = default;

void PrintCommand::showProgress(const QString &text)
{
    // A new guard for the new text: the one guard that owns the panel clears it.
    m_busy.emplace(m_panel.data(), text);
}

void PrintCommand::tell(const QString &text)
{
    Prompt::message(m_window, text.trimmed());
}
