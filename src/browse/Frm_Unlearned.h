#pragma once

#include <QWidget>

class ColumnSortToggle;
class ListStatusPanels;
class ListView;
class QComboBox;
class QStatusBar;
class Workspace;

// The spells a caster tried and failed to learn. Spells come in by dragging them from a browser
// or the search window; from here they are marked as learned (they move into the caster's
// spellbook) or removed.
class Frm_Unlearned : public QWidget
{
    Q_OBJECT

public:
    explicit Frm_Unlearned(QWidget *parent = nullptr);
    ~Frm_Unlearned() override;

    // Must run before the window is shown; lists the caster's failed spells. False when the window could not
    // read what it shows (the user has been told): it is then not opened.
    bool Initialize(Workspace &workspace, const QString &caster);
    void ResetCurrent(const QString &caster);
    QString ResetCurrent() const;
    // Refills the caster list, keeping the current caster while it exists.
    bool LoadCasters();
    // Chooses a caster and lists its failed spells.
    void showCaster(const QString &caster);

    QSize sizeHint() const override;

public slots:
    void Cmbo_Casters_Click();
    void LV_Spells_Click();
    void LV_Spells_DblClick();
    void LV_Spells_ColumnClick(int column);
    void LV_Spells_MouseDown(const QPoint &position);
    void LV_Spells_OLEDragDrop();
    void U_Menu_View_Click();
    void U_Menu_Manage_Click();
    void U_Menu_Remove_Click();
    void U_Menu_Read_Click();

private:
    void createControls();
    // Reads the caster's failed spells again; keepPlace keeps the user's selection and sort (the
    // list follows a change made elsewhere).
    void reloadList(bool keepPlace = false);
    // True when rows are selected; otherwise the user is told so.
    bool hasSelection();
    void followCasters();

    Workspace *m_workspace = nullptr;
    QString m_caster;

    QComboBox *m_casters = nullptr;
    ListView *m_list = nullptr;
    QStatusBar *m_statusBar = nullptr;
    ListStatusPanels *m_panels = nullptr;
    ColumnSortToggle *m_sort = nullptr;
};
