// The manage-spells window: the spell picker, the form filled from the library and read back,
// and the question asked before unsaved edits are lost. Commands are in _Commands.cpp,
// controls in _Controls.cpp.

#include "maintain/Frm_ManageSpells.h"

#include "exchange/ExchangeRules.h"
#include "store/Names.h"
#include "store/Schema.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/FormControls.h"
#include "widgets/LibraryEvents.h"
#include "widgets/Prompt.h"
#include "widgets/SpellForm.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QStringListModel>
#include <QTabWidget>
#include <QTextEdit>

using namespace FormControls;

namespace {} // namespace

Frm_ManageSpells::Frm_ManageSpells(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_ManageSpells"));
    setWindowTitle(QStringLiteral("Manage Spells"));
    setWindowIcon(ToolIcons::icon(ToolIcons::ManageSpells));
    createControls();
    // KXR is the whole library: every spell is in it, and no membership of it is stored.
    connect(m_spellbooks, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> found = m_spellbooks->findItems(kReservedSpellbook, Qt::MatchExactly);
        if (!found.isEmpty() && !found.constFirst()->isSelected()) {
            const QSignalBlocker quiet(m_spellbooks);
            found.constFirst()->setSelected(true);
            m_spellbooks->viewport()->update();
        }
    });
}

Frm_ManageSpells::~Frm_ManageSpells() = default;

bool Frm_ManageSpells::Initialize(Workspace &workspace, const QString &spellName)
{
    m_workspace = &workspace;
    followLibrary(workspace.events());
    try {
        Refresh_Spell_List();
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return false;
    }
    const QString name = spellName.trimmed();
    Start_The_Form(m_names.indexOf(name) >= 0 ? name : QString());
    return true;
}

void Frm_ManageSpells::followLibrary(LibraryEvents &events)
{
    connect(&events, &LibraryEvents::schoolsChanged, this, &Frm_ManageSpells::Refresh_Lst_Schools);
    connect(&events, &LibraryEvents::castersChanged, this, &Frm_ManageSpells::Set_Spellbooks);
    // A drop, a removal or a learned spell elsewhere: a save here must not undo it.
    connect(&events, &LibraryEvents::spellbookChanged, this, [this] {
        if (!m_own.ours() && m_spell)
            Set_Spellbooks();
    });
    connect(&events, &LibraryEvents::spellsChanged, this, [this] {
        if (m_own.ours())
            return;
        try {
            Refresh_Spell_List();
        } catch (const VmError &error) {
            Prompt::report(this, error);
            return;
        }
        if (m_shown.isEmpty())
            return;
        if (m_names.indexOf(m_shown) >= 0) {
            // Unedited, the spell is read again (an import may have overwritten it), so that a
            // save does not write the old fields back.
            if (!hasUnsavedChanges())
                Start_The_Form(m_shown);
            return;
        }
        // The spell shown has left the library: unsaved edits stay, to be added as a new spell.
        if (hasUnsavedChanges()) {
            m_shown.clear();
            m_spell.reset();
        } else {
            Start_The_Form(QString());
        }
    });
}

void Frm_ManageSpells::announce(const std::function<void(LibraryEvents &)> &announce)
{
    m_own.announce(m_workspace->events(), announce);
}

void Frm_ManageSpells::showSpell(const QString &spellName)
{
    const int place = m_names.indexOf(spellName.trimmed());
    if (place >= 0)
        m_picker->setCurrentIndex(place + 1);
}

void Frm_ManageSpells::Refresh_Spell_List()
{
    const QStringList names = m_workspace->library().Fetch_Spells_List();
    const QScopedValueRollback<bool> filling(m_filling, true);
    m_names.reset(names);
    m_pickerModel->setStringList(QStringList{kNewSpell} + names);
    pointPickerAt(m_shown);
}

void Frm_ManageSpells::pointPickerAt(const QString &name)
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    const int place = name.isEmpty() ? -1 : m_names.indexOf(name);
    m_picker->setCurrentIndex(place + 1);
}

void Frm_ManageSpells::Set_Spells_Schools(const QStringList &selected)
{
    fillList(m_schools, m_workspace->library().Fetch_Schools_List(), selected);
}

void Frm_ManageSpells::Refresh_Lst_Spellbooks(const QStringList &selected)
{
    fillList(m_spellbooks, m_workspace->library().Get_Exisiting_Spellbook_Names(), selected);
    if (QListWidgetItem *library = m_spellbooks->item(0); library && library->text() == kReservedSpellbook) {
        library->setSelected(true);
        library->setToolTip(QStringLiteral("KXR is the whole Library: it holds every spell"));
    }
}

void Frm_ManageSpells::Refresh_Lst_Schools()
{
    const bool unchanged = !hasUnsavedChanges();
    try {
        Set_Spells_Schools(selectedTexts(m_schools));
    } catch (const VmError &error) {
        Prompt::report(this, error);
    }
    if (unchanged)
        keepUnchangedState();
}

void Frm_ManageSpells::Set_Spellbooks()
{
    // While the user has not chosen the spellbooks anew, the spell's spellbooks are read again
    // (a drop, a learned spell or an import may have added it to one); once chosen, the user's
    // choice stands. Other edits not yet saved stay unsaved.
    const bool untouched = !m_unchanged.isEmpty() && formState().constLast() == m_unchanged.constLast();
    try {
        QStringList selected = chosenSpellbooks();
        if (untouched && m_spell) {
            m_spell->Set_Spellbooks(m_shown);
            selected = m_spell->Fetch_Spellbooks_Collection();
        }
        Refresh_Lst_Spellbooks(selected);
    } catch (const VmError &error) {
        Prompt::report(this, error);
    }
    if (untouched)
        m_unchanged.last() = formState().constLast();
}

void Frm_ManageSpells::Start_The_Form(const QString &name)
{
    BusyCursor busy;
    try {
        const QScopedValueRollback<bool> filling(m_filling, true);
        m_form->refill();
        if (name.isEmpty()) {
            clearForm();
            Set_Spells_Schools({});
            Refresh_Lst_Spellbooks({});
        } else if (const QString problem = showSpellDetails(name); !problem.isEmpty()) {
            clearForm();
            keepUnchangedState();
            Prompt::message(this, problem);
            return;
        }
    } catch (const VmError &error) {
        // Nothing half read stays on show, where a save could write it back.
        clearForm();
        keepUnchangedState();
        Prompt::report(this, error);
        return;
    }
    keepUnchangedState();
    if (name.isEmpty())
        m_name->setFocus();
}

QString Frm_ManageSpells::showSpellDetails(const QString &name)
{
    auto spell = std::make_unique<VM_Spell>();
    switch (spell->read(name)) {
    case VM_Spell::Found::Unreadable:
        return QStringLiteral("The spell ") + name + QStringLiteral(" could not be read from the Library");
    case VM_Spell::Found::Gone:
        return QStringLiteral("The spell ") + name + QStringLiteral(" is no longer in the Library");
    case VM_Spell::Found::Read:
        break;
    }
    m_name->setText(name);
    m_name->setEnabled(true);
    m_form->show(*spell);
    Set_Spells_Schools(spell->Fetch_Spell_Schools_Collection());
    Refresh_Lst_Spellbooks(spell->Fetch_Spellbooks_Collection());
    m_spell = std::move(spell);
    m_shown = name;
    pointPickerAt(m_shown);
    return QString();
}

void Frm_ManageSpells::clearForm()
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    m_spell.reset();
    m_shown.clear();
    pointPickerAt(m_shown);
    m_name->clear();
    m_name->setEnabled(true);
    m_form->clear();
    m_schools->clearSelection(); // KXR stays selected in the spellbooks
    m_spellbooks->clearSelection();
}

std::unique_ptr<VM_Spell> Frm_ManageSpells::Fill_Spell_From_Form() const
{
    auto spell = std::make_unique<VM_Spell>();
    spell->Set_Spell_Name(m_name->text().trimmed());
    m_form->storeInto(*spell);
    spell->Set_Spell_Schools_Collection(selectedTexts(m_schools));
    spell->Set_Spellbooks_Collection(chosenSpellbooks());
    return spell;
}

QStringList Frm_ManageSpells::chosenSpellbooks() const
{
    QStringList chosen = selectedTexts(m_spellbooks);
    chosen.removeAll(kReservedSpellbook);
    return chosen;
}

int Frm_ManageSpells::Find_List_Entry(const QString &text) const
{
    if (kNewSpell.startsWith(text, Qt::CaseInsensitive))
        return 0;
    const int place = m_names.firstStartingWith(text);
    return place < 0 ? -1 : place + 1;
}

QStringList Frm_ManageSpells::formState() const
{
    // The spellbooks come last: Set_Spellbooks tells by them whether the user chose anew.
    return QStringList{m_name->text()} + m_form->texts() +
           QStringList{selectedTexts(m_schools).join(QLatin1Char('\n')),
                       chosenSpellbooks().join(QLatin1Char('\n'))};
}

void Frm_ManageSpells::keepUnchangedState()
{
    m_unchanged = formState();
}

bool Frm_ManageSpells::hasUnsavedChanges() const
{
    return formState() != m_unchanged;
}

bool Frm_ManageSpells::mayLeaveSpell()
{
    if (!hasUnsavedChanges())
        return true;
    const QString question = m_shown.isEmpty()
                                 ? QStringLiteral("The new spell has not been saved.\nSave it now?")
                                 : QStringLiteral("The changes to ") + m_shown +
                                       QStringLiteral(" have not been saved.\nSave them now?");
    switch (Prompt::askToSave(this, question)) {
    case Prompt::Choice::Save:
        return saveSpell();
    case Prompt::Choice::Discard:
        return true;
    case Prompt::Choice::Cancel:
        break;
    }
    return false;
}

void Frm_ManageSpells::cmbo_Spells_Click()
{
    if (m_filling)
        return;
    const int index = m_picker->currentIndex();
    const QString chosen = index <= 0 ? QString() : m_names.names().value(index - 1).trimmed();
    if (!mayLeaveSpell()) {
        pointPickerAt(m_shown);
        return;
    }
    Start_The_Form(chosen);
}

void Frm_ManageSpells::txtFind_Change()
{
    if (m_filling)
        return;
    // "<new>" and text no spell starts with leave the window as it is.
    const int index = Find_List_Entry(m_find->text().trimmed());
    if (index > 0)
        m_picker->setCurrentIndex(index);
}

void Frm_ManageSpells::cbo_Type_Click()
{
    if (m_filling)
        return;
    m_form->castingTimeTypeChosen();
}

void Frm_ManageSpells::Toolbar1_ButtonClick(const QString &key)
{
    try {
        if (key == QStringLiteral("Add"))
            addSpell();
        else if (key == QStringLiteral("Save"))
            saveSpell();
        else if (key == QStringLiteral("Delete"))
            deleteSpell();
    } catch (const VmError &error) {
        Prompt::report(this, error);
    }
}

void Frm_ManageSpells::closeEvent(QCloseEvent *event)
{
    if (!mayLeaveSpell()) {
        event->ignore();
        return;
    }
    m_spell.reset();
    QWidget::closeEvent(event);
}
