#pragma once

#include <QPointer>
#include <QString>

class QLabel;

// The busy pointer, and optionally a progress text in a status panel, for as long as a long
// action runs. Both go away when the guard ends or at release(), which a command calls before
// it shows a message box.
class BusyCursor
{
public:
    explicit BusyCursor(QLabel *progressPanel = nullptr, const QString &progressText = QString());
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    void release();

private:
    QPointer<QLabel> m_panel;
    bool m_active = true;
};
