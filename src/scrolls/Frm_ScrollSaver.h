#pragma once

#include "store/ListRows.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class VM_Library;
class Workspace;

// Names a generated scroll and the caster who holds it, and saves it. The caster may be one
// the library does not know: scrolls also belong to characters who keep no spellbook.
class Frm_ScrollSaver : public QDialog
{
    Q_OBJECT

public:
    explicit Frm_ScrollSaver(QWidget *parent = nullptr);

    // Shows the dialog modally to save lines; saved runs once they are in the library, before
    // the user is told. Returns when the dialog has closed.
    void Initialize(Workspace &workspace, const ListRows &lines, std::function<void()> saved);

public slots:
    void Cmd_Save_Click();
    void Cmd_Cancel_Click();

private:
    VM_Library *m_library = nullptr;
    ListRows m_lines;
    std::function<void()> m_saved;
    bool m_done = false;

    QLineEdit *m_name = nullptr;
    QComboBox *m_casters = nullptr;
    QPushButton *m_save = nullptr;
};
