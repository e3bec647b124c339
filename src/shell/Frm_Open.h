#pragma once

#include "widgets/BusyCursor.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QTimer;

// The splash window: the program's name, version and emblem for three seconds while the
// busy pointer shows, then the main frame.
class Frm_Open : public QWidget
{
    Q_OBJECT

public:
    // showFrame creates and shows the main frame; false when the frame could not load (it has
    // told the user why), and the program then ends with exit code 1.
    explicit Frm_Open(std::function<bool()> showFrame, QWidget *parent = nullptr);
    ~Frm_Open() override;

public slots:
    void Timer1_Timer();

private:
    std::function<bool()> m_showFrame;
    QLabel *m_lblVersion = nullptr;
    QTimer *m_timer1 = nullptr;
    std::optional<BusyCursor> m_busy;
};
