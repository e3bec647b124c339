#include "browse/PrintCommand.h"

#include "shell/BusyCursor.h"
#include "shell/Prompt.h"

#include <QLabel>

PrintCommand::PrintCommand(QWidget *window, QLabel *progressPanel) : m_window(window), m_panel(progressPanel)
{
    m_busy.emplace();
}

PrintCommand::~PrintCommand()
{
    m_busy.reset();
    if (m_panel)
        m_panel->clear();
}

void PrintCommand::showProgress(const QString &text)
{
    if (!m_panel)
        return;
    m_panel->setText(text);
    m_panel->repaint(); // seen while the report runs, before control returns to the event loop
}

void PrintCommand::tell(const QString &text)
{
    m_busy.reset();
    if (m_panel)
        m_panel->clear();
    Prompt::message(m_window, text.trimmed());
    m_busy.emplace();
}

void PrintCommand::failed(const QString &description)
{
    m_busy.reset();
    if (m_panel)
        m_panel->clear();
    Prompt::message(m_window, description.trimmed());
}
