#pragma once

#include <QObject>

class QLabel;
class QStatusBar;
class QTimer;

// The three panels of a list window's status bar: the row count " spells listed", the
// selected count " spells selected", and a transient message that shows for five seconds.
class ListStatusPanels : public QObject
{
    Q_OBJECT

public:
    // Fills the status bar with the three panels; the timer is a child of the window, and its end
    // clears the transient message.
    ListStatusPanels(QStatusBar *bar, QWidget *window);

    void showCounts(int listed, int selected);
    void showSelected(int selected);
    // Shows the text in panel 3 and (re)starts the five seconds.
    void showTransient(const QString &text);
    // The timer's end: panel 3 empty and hidden.
    void clearTransient();

    QLabel *panel(int number) const; // 1 to 3
    QTimer *timer() const { return m_timer; }

private:
    QLabel *m_panels[3] = {};
    QTimer *m_timer = nullptr;
};
