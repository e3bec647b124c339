#pragma once

#include "store/SpellLevels.h"

#include "widgets/LibraryEvents.h"

#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class VM_Spellbook;
class Workspace;

// Where casters are created, their details and spells per level edited, and casters deleted.
// One at a time; the frame brings the open one forward.
class Frm_ManageSpellbooks : public QWidget
{
    Q_OBJECT

public:
    // The spell levels a caster's spellbook holds, and so the boxes of "Spells per Level".

    explicit Frm_ManageSpellbooks(QWidget *parent = nullptr);
    ~Frm_ManageSpellbooks() override;

    // Must run before the window is shown. False when the casters could not be read; the user
    // has been told why, and the window is of no use.
    bool Initialize(Workspace &workspace);

    // Reloads both lists of casters and starts a new caster. False when they could not be read.
    bool Refresh_The_Combo_Boxes();
    void Empty_All_Text_Fields();

    // The box of how many spells of a level (1 to 9) the caster can hold.
    QLineEdit *spellsPerLevelBox(int level) const;

public slots:
    void Cmbo_Names_Click();
    void SSTab1_Click();
    void CmdApply_Click();
    void CmdDelete_Click();
    void CmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *createDetailsTab();
    QWidget *createDeleteTab();
    bool isNewCaster() const;
    void fillCaster();
    void setCasterFields();
    void addCaster(const QString &name);
    void updateCaster();
    // False, with the user told which box to change, when the caster could never be exported.
    bool exportable();
    // Tells the other windows the casters changed, without following the news itself.
    void announceCasters();
    // Another window changed the casters: the lists follow, keeping the caster shown when it
    // is still there.
    void followCasters();

    Workspace *m_workspace = nullptr;
    std::unique_ptr<VM_Spellbook> m_caster;
    OwnAnnouncements m_own; // keeps the window from following its own announcements

    QTabWidget *m_tabs = nullptr;
    QComboBox *m_names = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_level = nullptr;
    QLineEdit *m_race = nullptr;
    QLineEdit *m_class = nullptr;
    std::array<QLineEdit *, SpellLevels::kCount> m_spellsPerLevel{};
    QComboBox *m_delete = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_cancel = nullptr;
};
