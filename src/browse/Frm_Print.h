#pragma once

#include <QDialog>
#include <QPointer>

#include "browse/ReportEngine.h"

class Frm_Browser;
class QLineEdit;
class VM_Library;
class Workspace;

// Asks for the name under which a browser's filtered list is printed or previewed, and prints
// it. One dialog serves the whole program; after a preview it stays, hidden, because the
// preview window belongs to its report control.
class Frm_Print : public QDialog
{
    Q_OBJECT

public:
    explicit Frm_Print(QWidget *parent = nullptr);

    // The frame's dialog, made at the first request.
    static Frm_Print *shared(Workspace &workspace);

    // Shows the dialog modally for a browser.
    void Initialize(Frm_Browser *browser, Workspace &workspace, ReportEngine::Destination destination);

public slots:
    void Cmd_Print_Click();
    void Cmd_Cancel_Click();
    // Esc and the title bar's close button cancel as the Cancel button does.
    void reject() override;

private:
    void unload();

    QPointer<Frm_Browser> m_browser;
    VM_Library *m_library = nullptr;
    Workspace *m_workspace = nullptr;
    ReportEngine::Destination m_destination = ReportEngine::Destination::Window;

    QLineEdit *m_name = nullptr;
    ReportEngine *m_crystal = nullptr;
};
