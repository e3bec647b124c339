#pragma once

#include <QWidget>


class ButtonToolBar;
class ColumnSortToggle;
class ListStatusPanels;
class ListView;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class Workspace;

// Finds spells whose chosen text field holds a search text, in the whole library or in one
// caster's spellbook. Hits open on the spell card or in the manage-spells window, are dragged
// onto browsers and the failed list, and are exported to a spells file.
class Frm_Search : public QWidget
{
    Q_OBJECT

public:
    explicit Frm_Search(QWidget *parent = nullptr);
    ~Frm_Search() override;

    // Must run before the window is shown. False when the window could not read what it shows (the user has
    // been told): it is then not opened.
    bool Initialize(Workspace &workspace);
    // Refills the scope list with the spellbooks and sets it to the whole library; false when the
    // spellbooks could not be read.
    bool Load_Type_Combo();

    QSize sizeHint() const override;

public slots:
    void Cmd_Search_Click();
    void LV_Search_Click();
    void LV_Search_DblClick();
    void LV_Search_ColumnClick(int column);
    void LV_Search_MouseDown(const QPoint &position);
    bool LV_Search_OLEStartDrag();
    void LV_Search_OLECompleteDrag();
    void S_Menu_View_Click();
    void S_Menu_Manage_Click();
    void S_Menu_Export_Click();
    void S_Menu_Deck_Click();
    void Toolbar1_ButtonClick(const QString &key);

private:
    void createControls();
    QString chosenField() const;
    // The first selected spell; when there is none the user is told so and it is empty.
    QString firstSelectedSpell();
    void dropSpell(const QString &spell);
    void dropVanishedSpells();
    void renameSpell(const QString &from, const QString &to);

    Workspace *m_workspace = nullptr;

    ButtonToolBar *m_toolbar = nullptr;
    QLineEdit *m_text = nullptr;
    QComboBox *m_scope = nullptr;
    QList<QRadioButton *> m_fields;
    QRadioButton *m_any = nullptr;
    QRadioButton *m_starts = nullptr;
    QPushButton *m_search = nullptr;
    ListView *m_list = nullptr;
    QStatusBar *m_statusBar = nullptr;
    ListStatusPanels *m_panels = nullptr;
    ColumnSortToggle *m_sort = nullptr;
};
