#include "shell/BusyCursor.h"

#include <QApplication>
#include <QLabel>

BusyCursor::BusyCursor(QLabel *progressPanel, const QString &progressText) : m_panel(progressPanel)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_panel && !progressText.isEmpty()) {
        m_panel->setText(progressText);
        // The text is seen while the action runs, before control returns to the event loop.
        m_panel->repaint();
    } else {
        m_panel = nullptr; // nothing of ours to clear
    }
}

BusyCursor::~BusyCursor()
{
    release();
}

void BusyCursor::release()
{
    if (!m_active)
        return;
    m_active = false;
    QApplication::restoreOverrideCursor();
    if (m_panel)
        m_panel->clear();
}
