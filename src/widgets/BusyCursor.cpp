#include "widgets/BusyCursor.h"

#include <QApplication>
#include <QLabel>
#include <QList>

namespace {

// The guards still holding the pointer; the GUI thread is the only user.
QList<BusyCursor *> &liveGuards()
{
    static QList<BusyCursor *> guards;
    return guards;
}

} // namespace

BusyCursor::BusyCursor(QLabel *progressPanel, const QString &progressText) : m_panel(progressPanel)
{
    liveGuards().append(this);
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
    liveGuards().removeOne(this);
    QApplication::restoreOverrideCursor();
    if (m_panel)
        m_panel->clear();
}

void BusyCursor::clearProgressTexts()
{
    for (BusyCursor *guard : std::as_const(liveGuards())) {
        if (guard->m_panel)
            guard->m_panel->clear();
        guard->m_panel = nullptr;
    }
}
