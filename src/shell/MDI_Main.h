#pragma once

#include <QMainWindow>
#include <QPointer>

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
// Windows that are not part of the program yet. The frame keeps a pointer to each, null until
// the window exists; their menu entries and tool bar buttons stay disabled until then.
class Frm_ManageSpellbooks;
class Frm_ManageSchools;
class Frm_ManageSpells;
class Frm_Search;
class Frm_Scrolls;
class Frm_Unlearned;
class Frm_Import;
class VM_DragDropAssistant;

// The main frame: menus, the main tool bar with its spellbook drop-down, the status bar, and the
// multiple-document area that holds every child window. It owns the one library object and the
// one drag-and-drop assistant that all windows share.
class MDI_Main : public QMainWindow
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

    // What the frame shares with its windows.
    VM_Library *library() const { return m_library.get(); }
    VM_DragDropAssistant *dragDropAssistant() const { return m_assistant.get(); }
    Frm_Browser *currentBrowser() const;
    Frm_ManageSpells *manageSpells() const { return m_manageSpells; }
    Frm_Unlearned *unlearned() const { return m_unlearned; }
    QMdiArea *mdiArea() const { return m_area; }
    ButtonToolBar *TB_Main() const { return m_toolBar; }
    QStatusBar *SB_Main() const;
    // Panel 2 carries the progress texts of every window.
    QLabel *statusPanel(int panel) const;
    // A menu or popup menu, or one of their entries, by its name.
    QMenu *menu(const QString &name) const;
    QAction *menuEntry(const QString &name) const;

    // Shows a new child window in the document area.
    QMdiSubWindow *showChild(QWidget *window);

public slots:
    void TB_Main_ButtonClick(const QString &key);
    void TB_Main_ButtonMenuClick(const QString &key);

    void Main_File_PreviewOptions_Max_Click();
    void Main_File_Exit_Click();
    void Main_Window_Title_Click();
    void Main_Window_Cascade_Click();
    void Main_About_Help_Click();
    void Main_About_About_Click();

    void Private_Browser_View_Click();
    void Private_Browser_Manage_Click();
    void Private_Browser_Remove_Click();
    void Private_Browser_Export_Click();
    void Private_Browser_Tooltip_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    using Handler = void (MDI_Main::*)();

    void createMenus();
    void createToolBar();
    void createStatusBar();
    QMenu *addMenu(QWidget *owner, const QString &name, const QString &caption);
    QAction *addEntry(QMenu *menu, const QString &name, const QString &caption, Handler handler);
    QAction *addToggle(QMenu *menu, const QString &name, const QString &caption, Handler handler);
    void addDivider(QMenu *menu, const QString &name);
    void fillWindowList();
    Frm_Browser *browserShowing(const QString &spellbook) const;
    Frm_Browser *activeBrowser() const;
    // The popup command of the browser whose list last had the focus.
    void routeToActiveBrowser(void (Frm_Browser::*command)());

    std::unique_ptr<VM_Library> m_library;
    std::unique_ptr<VM_DragDropAssistant> m_assistant;
    QPointer<Frm_Browser> m_currentBrowser;
    QPointer<Frm_About> m_about;
    Frm_ManageSpellbooks *m_manageSpellbooks = nullptr;
    Frm_ManageSchools *m_manageSchools = nullptr;
    Frm_ManageSpells *m_manageSpells = nullptr;
    Frm_Search *m_search = nullptr;
    Frm_Scrolls *m_scrolls = nullptr;
    Frm_Unlearned *m_unlearned = nullptr;
    Frm_Import *m_import = nullptr;
    QString m_selectedSpellbook;

    QMdiArea *m_area = nullptr;
    ButtonToolBar *m_toolBar = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_windowList;
};
