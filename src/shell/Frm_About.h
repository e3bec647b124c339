#pragma once

#include <QDialog>

// The about box: the program's name and version, what it is for, two web links and a button
// that starts the system's information tool.
class Frm_About : public QDialog
{
    Q_OBJECT

public:
    explicit Frm_About(QWidget *parent = nullptr);

    // The information tools tried in order; the first found on the PATH is started.
    static QStringList systemInfoTools();

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();
};
