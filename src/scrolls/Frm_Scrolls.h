#pragma once

#include "store/ListRows.h"
#include "widgets/PrintableWindow.h"
#include "widgets/UnsavedWork.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class ButtonToolBar;
class ColumnSortToggle;
class ListView;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStringListModel;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class ReportEngine;
class VM_DragDropAssistant;
class VM_Library;
class VM_Spell;
class Workspace;

// The scroll manager: the casters' scrolls as a tree with the lines of the chosen one ("View"),
// a new scroll built by hand ("Add") and a scroll drawn at random from the library ("Generate").
// Lines are changed in the lists and reach the library only when saved; the spell picker below
// the tabs supplies the spells added or put in place of a line.
class Frm_Scrolls : public QWidget, public PrintableWindow, public UnsavedWork
{
    Q_OBJECT

public:
    // The tabs, in their order.
    enum Tab { ViewTab = 0, AddTab = 1, GenerateTab = 2 };

    explicit Frm_Scrolls(QWidget *parent = nullptr);
    ~Frm_Scrolls() override;

    // Fills the pickers, the tree and the caster list. Must run before the window is shown;
    // false when the library could not be read (the user has been told why).
    bool Initialize(Workspace &workspace);
    QSize sizeHint() const override;
    void printMain() override;

    // Reloads the casters offered for a new scroll.
    void LoadCasterNames();
    // Rebuilds the tree of casters and scrolls from the library; no node is chosen afterwards.
    void LoadScrollNames();
    // Reloads the spell picker from the library.
    void LoadSpellNames();
    // Reloads the schools of the Generate tab, keeping the choice of those that remain.
    void LoadSchoolNames();

    // The list of the current tab.
    ListView *currentList() const;
    // Whether the scroll shown on the View tab has changes that are not saved.
    bool hasUnsavedScroll() const { return m_viewChanged; }
    bool hasUnsavedWork() const override;
    bool mayClose() override;

public slots:
    void TB_ButtonClick(const QString &key);
    void TB_ButtonMenuClick(const QString &key);
    void SSTab1_Click(int tab);
    void TV_Scrolls_NodeClick(QTreeWidgetItem *node);
    void TV_Scrolls_Collapse(QTreeWidgetItem *node);
    void TV_Scrolls_Expand(QTreeWidgetItem *node);

    // The popup menu's entries, acting on the current tab's list.
    void B_Menu_View_Click();
    void B_Menu_Manage_Click();
    void B_Menu_Remove_Click();

    // Spells dropped onto one of the three lists.
    void LV_Scrolls_OLEDragDrop();
    void LV_Add_OLEDragDrop();
    void LV_Spells_OLEDragDrop();

    void txtFind_Change();
    void cmbo_Spells_Change();
    void Opt_All_Click();
    void Opt_None_Click();
    void Opt_All_Levels_Click();
    void Opt_None_Levels_Click();
    void Cmd_Apply_Click();
    void Cmd_Cancel_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    QWidget *createViewTab();
    QWidget *createAddTab();
    QWidget *createGenerateTab();
    QWidget *createPicker();
    ListView *createLineList(const QString &name, QWidget *parent);
    void followLibrary();
    void fillFrequencies();

    // The control states of the current tab, refreshed after every change of a list, the
    // selection or the tab.
    void refreshStates();
    void listGotFocus(ListView *list);
    void showLines(ListView *list, const ListRows &lines);
    void showScroll(QTreeWidgetItem *node);
    void showCaster();
    void selectNode(QTreeWidgetItem *node);
    bool isScrollNode(const QTreeWidgetItem *node) const;
    QString casterOf(const QTreeWidgetItem *node) const;

    // Before the shown scroll's changes would be lost: asks whether to save them. False when
    // the user wants to stay (or saving failed).
    bool mayLeaveScroll();
    // Lines added on the Add tab and not saved yet: Save, Discard or Cancel before they go.
    bool mayDropNewScroll();
    bool saveShownScroll();

    // Reads the spell of a line to be added, or says why there is none.
    bool readLine(const QString &name, VM_Spell &spell);
    void addLine();
    void replaceLine();
    void saveCurrent();
    bool saveNewScroll();
    void saveGenerated();
    void deleteNode();
    void dropOnto(ListView *list);
    void linesChanged(ListView *list);
    QString dragSourceName(const ListView *list) const;
    // Runs a reload; a library that cannot be read is reported to the user.
    void reloadReporting(const std::function<void()> &reload);

    void printScrolls(const QString &entry);
    void exportScroll();
    // The spells of the chosen node, each once, in the order of their first line.
    QStringList spellsToExport(const QTreeWidgetItem *node);

    Workspace *m_workspace = nullptr;
    VM_Library *m_library = nullptr;
    VM_DragDropAssistant *m_assistant = nullptr;

    ButtonToolBar *m_toolbar = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_tree = nullptr;
    ListView *m_scrollLines = nullptr;
    QLineEdit *m_scrollName = nullptr;
    QComboBox *m_casterName = nullptr;
    ListView *m_addLines = nullptr;
    QListWidget *m_schools = nullptr;
    QListWidget *m_levels = nullptr;
    QComboBox *m_frequency = nullptr;
    QComboBox *m_count = nullptr;
    ListView *m_generated = nullptr;
    QComboBox *m_spell = nullptr;
    QStringListModel *m_spellNames = nullptr;
    QLineEdit *m_find = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_cancel = nullptr;
    ReportEngine *m_crystal = nullptr;

    QTreeWidgetItem *m_node = nullptr; // the chosen node, whose scroll or caster the View tab shows
    int m_tab = ViewTab;
    bool m_viewChanged = false;
    bool m_savingGenerated = false;
};
