#pragma once

#include "store/Undo.h"
#include "widgets/Workspace.h"

#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class ButtonToolBar;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class VM_Library;
class Frm_About;
class Frm_Browser;
class LibraryEvents;
class VM_DragDropAssistant;

// The main frame: menus, the main tool bar with its spellbook drop-down, the status bar, and the
// multiple-document area that holds every child window. It owns the one library object, the
// one drag-and-drop assistant and the library's events that all windows share, and is the
// workspace every child window is handed.
class MDI_Main : public QMainWindow, public Workspace
{
    Q_OBJECT

public:
    explicit MDI_Main(QWidget *parent = nullptr);
    ~MDI_Main() override;

    // Opens the library and fills the spellbook drop-down. When that fails it shows why and
    // returns false; the program then ends.
    bool MDIForm_Load();

    void Load_Spellbook_ButtonMenus();
    void mSpellbook(const QString &name);
    void Show_Spell_Book();
    void Refresh_From_Import(const QString &name);

    // The workspace of the child windows.
    VM_Library &library() override { return *m_library; }
    VM_DragDropAssistant &dragDropAssistant() override { return *m_assistant; }
    LibraryEvents &events() override { return *m_events; }
    QLabel *progressPanel() override { return m_panel2; }
    QMenu *menu(const QString &name) override;
    QAction *menuEntry(const QString &name) override;
    QMdiArea *area() override { return m_area; }
    QMdiSubWindow *showChild(QWidget *window) override;
    void viewSpell(const QString &spell, QWidget *opener) override;
    void manageSpell(const QString &spell, QWidget *opener) override;
    void showUnlearned(const QString &caster) override;
    void openSpellbook(const QString &spellbook) override;
    bool isSpellbookOpen(const QString &caster) override;
    void showMemorized(const QString &caster) override;

    ButtonToolBar *TB_Main() const { return m_toolBar; }
    QLabel *statusPanel(int panel) const;

public slots:
    void TB_Main_ButtonClick(const QString &key);
    void TB_Main_ButtonMenuClick(const QString &key);
    void TB_Main_ButtonMenuContext(const QString &key, const QPoint &globalPos);

    void Main_File_Import_Click();
    void Main_File_PreviewOptions_Max_Click();
    void Main_Edit_Undo_Click();
    void Main_Edit_Redo_Click();
    void Main_Tools_Spells_Click();
    void Main_File_Exit_Click();
    void Main_Tools_Spellbooks_Click();
    void Main_Tools_Schools_Click();
    void Main_Window_Title_Click();
    void Main_Window_Cascade_Click();
    void Main_Window_Close_Click();
    void Main_Window_Next_Click();
    void Main_Window_Previous_Click();
    void Main_File_Print_Click();
    void Main_About_Help_Click();
    void Main_About_About_Click();

    void Private_Browser_View_Click();
    void Private_Browser_Manage_Click();
    void Private_Browser_Remove_Click();
    void Private_Browser_Export_Click();
    void Private_Browser_Deck_Click();
    void Private_Browser_Tooltip_Click();
    void Main_Tools_Memorized_Click();

    void Main_Manage_Search_Click();
    void Main_Tools_Unlearned_Click();
    void Private_Search_View_Click();
    void Private_Search_Manage_Click();
    void Private_Search_Export_Click();
    void Private_Search_Deck_Click();
    void Private_Unlearned_View_Click();
    void Private_Unlearned_Manage_Click();
    void Private_Unlearned_Remove_Click();
    void Private_Unlearned_Learned_Click();
    void Main_Tools_Scrolls_Click();
    void Private_Scroll_View_Click();
    void Private_Scroll_Manage_Click();
    void Private_Scroll_Remove_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    using Handler = void (MDI_Main::*)();

    void createMenus();
    void createEditMenu();
    void showHistory();
    void applyHistory(UndoHistory::Outcome (UndoHistory::*command)());
    void createToolBar();
    void createStatusBar();
    QMenu *addMenu(QWidget *owner, const QString &name, const QString &caption);
    QAction *addEntry(QMenu *menu, const QString &name, const QString &caption, Handler handler);
    QAction *addToggle(QMenu *menu, const QString &name, const QString &caption, Handler handler);
    void addDivider(QMenu *menu, const QString &name);
    void fillWindowList();
    void showReadMe(const QString &path);
    Frm_Browser *browserShowing(const QString &spellbook) const;
    Frm_Browser *activeBrowser() const;
    // The popup command of the browser whose list last had the focus.
    void routeToActiveBrowser(void (Frm_Browser::*command)());
    // The popup command of the one open window of a class.
    template<typename Window>
    void routeToOpen(const QString &name, void (Window::*command)());

    std::unique_ptr<VM_Library> m_library;
    std::unique_ptr<VM_DragDropAssistant> m_assistant;
    LibraryEvents *m_events = nullptr;
    QPointer<Frm_About> m_about;
    QString m_selectedSpellbook;

    QMdiArea *m_area = nullptr;
    ButtonToolBar *m_toolBar = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_windowList;
};
