#pragma once

#include "widgets/LibraryEvents.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;
class Workspace;

// Where the description of any school is read and changed, schools are added, and the schools
// the user added are deleted. The built-in schools stay.
class Frm_ManageSchools : public QWidget
{
    Q_OBJECT

public:
    explicit Frm_ManageSchools(QWidget *parent = nullptr);
    ~Frm_ManageSchools() override;

    // Must run before the window is shown. False when the schools could not be read; the user
    // has been told why, and the window is of no use.
    bool Initialize(Workspace &workspace);

    // Reloads both lists and leaves no school chosen. False when they could not be read.
    bool Load_Combo_Boxes();
    // Tells the other windows that the schools changed.
    void ReSet_Browser_Schools_List();

public slots:
    void Cmbo_Names_Click();
    void SSTab1_Click();
    void Cmd_Apply_Click();
    void Cmd_Add_Click();
    void Cmd_Delete_Click();
    void Cmd_Cancel_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *createViewTab();
    QWidget *createNewTab();
    void setDescriptionEditable(bool editable);
    bool schoolChosen() const;
    // Another window changed the schools: the lists follow, keeping the school shown when it
    // is still there.
    void followSchools();

    Workspace *m_workspace = nullptr;
    OwnAnnouncements m_own; // keeps the window from following its own announcements

    QTabWidget *m_tabs = nullptr;
    QComboBox *m_names = nullptr;
    QTextEdit *m_description = nullptr;
    QLineEdit *m_new = nullptr;
    QPushButton *m_add = nullptr;
    QComboBox *m_delete = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_cancel = nullptr;
};
