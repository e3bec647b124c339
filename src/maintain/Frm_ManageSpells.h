#pragma once

#include "maintain/SpellNameIndex.h"
#include "widgets/UnsavedWork.h"

#include "widgets/LibraryEvents.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class ButtonToolBar;
class LibraryEvents;
class QComboBox;
class QLineEdit;
class QListWidget;
class QStringListModel;
class QTabWidget;
class SpellForm;
class VM_Spell;
class Workspace;

// Where spells of the library are created, changed, given new names and deleted, with their
// schools and the spellbooks that hold them. The user picks a spell (or finds it by the start of
// its name), edits it on two tabs and two lists, and adds, saves or deletes it from the tool bar.
// Edits not yet saved are never dropped without asking.
class Frm_ManageSpells : public QWidget, public UnsavedWork
{
    Q_OBJECT

public:
    // The first entry of the picker, which starts a new spell.
    static inline const QString kNewSpell = QStringLiteral("<new>");

    explicit Frm_ManageSpells(QWidget *parent = nullptr);
    ~Frm_ManageSpells() override;

    // Must run before the window is shown: fills the picker and shows the spell, or a new spell
    // when the name is empty. False when the library could not be read; the user has been told
    // why, and the window is of no use.
    bool Initialize(Workspace &workspace, const QString &spellName);

    // Shows a spell as if the user had chosen it in the picker (which setting the picker's text
    // does too); a name the library does not hold changes nothing.
    void showSpell(const QString &spellName);
    // The spell shown, as the picker lists it; empty for a new spell.
    QString shownSpell() const { return m_shown; }
    bool hasUnsavedChanges() const;
    bool hasUnsavedWork() const override { return hasUnsavedChanges(); }
    bool mayClose() override { return mayLeaveSpell(); }

    // Reloads after changes made elsewhere; edits not yet saved stay as they are.
    void Refresh_Spell_List();
    void Refresh_Lst_Schools();
    void Set_Spellbooks();

    QSize sizeHint() const override;

public slots:
    void Toolbar1_ButtonClick(const QString &key);
    void cmbo_Spells_Click();
    void txtFind_Change();
    void cbo_Type_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    QWidget *createDetails();
    void followLibrary(LibraryEvents &events);

    // Shows the spell (empty: a new spell) with the picker on it. On a failure the user is told
    // why and the window is left on a new spell.
    void Start_The_Form(const QString &name);
    // Fills the form from the library; what went wrong (the spell unreadable or gone), or "".
    QString showSpellDetails(const QString &name);
    void clearForm();
    void Refresh_Lst_Spellbooks(const QStringList &selected);
    void Set_Spells_Schools(const QStringList &selected);
    std::unique_ptr<VM_Spell> Fill_Spell_From_Form() const;
    int Find_List_Entry(const QString &text) const;

    // Asks what to do with unsaved edits before they would be lost; false: stay where we are.
    bool mayLeaveSpell();
    bool saveSpell();
    // False, with the user told which field to change, when the form could never be exported.
    bool exportable();
    bool saveNewSpell();
    bool saveExistingSpell();
    void deleteSpell();
    void addSpell();
    bool nameTaken(const QString &name) const;
    void refuse(const QString &message);
    void pointPickerAt(const QString &name);
    void keepUnchangedState();
    QStringList formState() const;
    QStringList chosenSpellbooks() const;
    // Announces a change of this window's making; the window itself has already followed it.
    void announce(const std::function<void(LibraryEvents &)> &announce);

    Workspace *m_workspace = nullptr;
    std::unique_ptr<VM_Spell> m_spell; // the spell as last read or saved
    QString m_shown;                   // its name in the picker; empty for a new spell
    QStringList m_unchanged;           // the form as it was read or saved
    SpellNameIndex m_names;
    OwnAnnouncements m_own; // keeps the window from following its own announcements
    bool m_filling = false;

    ButtonToolBar *m_toolbar = nullptr;
    QComboBox *m_picker = nullptr;
    QStringListModel *m_pickerModel = nullptr;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_name = nullptr;
    QTabWidget *m_tabs = nullptr;
    std::unique_ptr<SpellForm> m_form; // the spell's details
    QComboBox *m_levels = nullptr;
    QComboBox *m_castingType = nullptr;
    QListWidget *m_schools = nullptr;
    QListWidget *m_spellbooks = nullptr;
};
