#pragma once

#include <QPointer>
#include <QString>

class QLabel;

// The busy pointer, and optionally a progress text in a status panel, for as long as a long
// action runs. Both go away when the guard ends. Prompt clears the texts of
// every live guard before it shows anything, so no message box sits beside a stale
// "Retrieving…" text, however deep in a command the message comes from; the pointer is
// Prompt's to lift while its dialog is open.
class BusyCursor
{
public:
    explicit BusyCursor(QLabel *progressPanel = nullptr, const QString &progressText = QString());
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    static void clearProgressTexts();

private:
    QPointer<QLabel> m_panel;
};
