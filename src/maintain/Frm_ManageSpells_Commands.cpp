// The manage-spells window's commands: a new spell added, a spell checked, saved (new or
// changed) and deleted.

#include "maintain/Frm_ManageSpells.h"

#include "exchange/ExchangeRules.h"
#include "store/CasterCapacity.h"
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

namespace {

// The spell joins the books ticked for it that did not hold it: the same question as a drop on a
// browser, once for all of them. Throws VmError.
bool acceptOverCapacity(QWidget *parent, const VM_Spell &spell, const QStringList &joining)
{
    const QString question = CasterCapacity().joiningQuestion(joining, spell.Fetch_Spell_Level());
    return question.isEmpty() || Prompt::ask(parent, question);
}

} // namespace

void Frm_ManageSpells::addSpell()
{
    if (!mayLeaveSpell())
        return;
    {
        const QScopedValueRollback<bool> filling(m_filling, true);
        m_find->clear();
    }
    Start_The_Form(QString());
}

bool Frm_ManageSpells::nameTaken(const QString &name) const
{
    return name == kNewSpell || m_names.indexOf(name) >= 0;
}

void Frm_ManageSpells::refuse(const QString &message)
{
    Prompt::message(this, message);
    m_name->setFocus();
}

// A spell the exchange format cannot carry would be saved and then stop every export that
// holds it, so it is refused here with the field to change; the form keeps what was typed.
bool Frm_ManageSpells::exportable()
{
    const auto refuseField = [this](const QString &message, QWidget *box) {
        Prompt::message(this, message);
        if (m_tabs->isAncestorOf(box))
            m_tabs->setCurrentWidget(box == m_form->control(SpellFields::Description) ? box
                                                                                      : m_tabs->widget(0));
        box->setFocus();
        return false;
    };
    if (QString problem = ExchangeRules::nameProblem(m_name->text().trimmed()); !problem.isEmpty())
        return refuseField(ExchangeRules::refusal(QStringLiteral("name"), problem, QStringLiteral("spell")),
                           m_name);
    if (const std::optional<SpellForm::Problem> problem = m_form->problem(ExchangeRules::detailRefusal))
        return refuseField(problem->message, m_form->control(problem->field));
    for (const QString &school : FormControls::selectedTexts(m_schools)) {
        const QString problem = ExchangeRules::schoolNameProblem(school);
        if (!problem.isEmpty())
            return refuseField(ExchangeRules::refusal(QStringLiteral("school \"%1\"").arg(school), problem,
                                                      QStringLiteral("spell")),
                               m_schools);
    }
    return true;
}

bool Frm_ManageSpells::saveSpell()
{
    // Reached from the question before leaving a spell too, where nothing else would catch it.
    try {
        BusyCursor busy;
        return m_shown.isEmpty() ? saveNewSpell() : saveExistingSpell();
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return false;
    }
}

bool Frm_ManageSpells::saveNewSpell()
{
    const QString name = m_name->text().trimmed();
    if (nameTaken(name)) {
        refuse(QStringLiteral("Spell Name already exists"));
        return false;
    }
    if (name.isEmpty()) {
        refuse(QStringLiteral("Spell Name required"));
        return false;
    }
    if (m_levels->currentIndex() < 0) {
        refuse(QStringLiteral("Level is required"));
        return false;
    }
    if (!exportable())
        return false;
    const std::unique_ptr<VM_Spell> spell = Fill_Spell_From_Form();
    if (spell->Fetch_Spell_Schools_Collection().isEmpty()) {
        Prompt::message(this, QStringLiteral("Spell must have at least 1 School"));
        return false;
    }
    if (!acceptOverCapacity(this, *spell, spell->Fetch_Spellbooks_Collection()))
        return false;
    const QString status = spell->Add_New_Spell();
    if (Prompt::failed(this, status)) {
        return false;
    }
    Refresh_Spell_List();
    Start_The_Form(QString());
    announce([&spell](LibraryEvents &events) {
        emit events.spellsChanged();
        const QStringList casters = spell->Fetch_Spellbooks_Collection();
        for (const QString &caster : casters)
            emit events.spellbookChanged(caster);
    });
    Prompt::message(this, QStringLiteral("Spell added successfully.  Note that the Browser\n"
                                         "must be refreshed for the new spell to show"));
    return true;
}

bool Frm_ManageSpells::saveExistingSpell()
{
    const QString oldName = m_shown;
    const QString name = m_name->text().trimmed();
    if (name.isEmpty()) {
        refuse(QStringLiteral("Spell Name required"));
        return false;
    }
    // Blanks around the name are not a new name: the name is stored trimmed.
    const bool rename = name != oldName;
    // Taking another spell's name would merge the two spells' schools and spellbooks.
    if (rename && nameTaken(name)) {
        refuse(QStringLiteral("Spell Name already exists"));
        return false;
    }
    if (!exportable())
        return false;
    if (rename) {
        if (!Prompt::ask(this, QStringLiteral("This action includes a request for a name change.  Note that\n"
                                              "this will NOT result in a new spell but rather updating the "
                                              "existing\nspell with a new name.  Are you sure this is what "
                                              "you want?")))
            return false;
    }
    std::unique_ptr<VM_Spell> spell = Fill_Spell_From_Form();
    if (spell->Fetch_Spell_Schools_Collection().isEmpty()) {
        Prompt::message(this, QStringLiteral("Spell must have at least 1 School"));
        return false;
    }
    QStringList joining;
    for (const QString &caster : spell->Fetch_Spellbooks_Collection()) {
        if (!m_spell || !m_spell->Fetch_Spellbooks_Collection().contains(caster))
            joining.append(caster);
    }
    if (!acceptOverCapacity(this, *spell, joining))
        return false;
    const QString status = spell->Update_Existing_Spell(oldName, false);
    if (Prompt::failed(this, status)) {
        return false;
    }

    // The spellbooks the spell joined or left follow, and so does every list of the old name.
    const QStringList before = m_spell ? m_spell->Fetch_Spellbooks_Collection() : QStringList();
    const QStringList after = spell->Fetch_Spellbooks_Collection();
    QStringList changed;
    for (const QString &caster : before + after) {
        if (before.contains(caster) != after.contains(caster) && !changed.contains(caster))
            changed.append(caster);
    }
    if (rename) {
        Refresh_Spell_List();
        Start_The_Form(name);
    } else {
        m_spell = std::move(spell);
        keepUnchangedState();
    }
    announce([&](LibraryEvents &events) {
        if (rename)
            emit events.spellRenamed(oldName, name);
        emit events.spellsChanged();
        for (const QString &caster : std::as_const(changed))
            emit events.spellbookChanged(caster);
    });
    Prompt::message(this, rename
                              ? QStringLiteral("Update successful.  Note that if the Browser or spell card "
                                               "are open \nthen they may need to be refreshed in order for "
                                               "the changes to show.")
                              : QStringLiteral("Update successful.  Note that if the Browser or spell card\n"
                                               "are open then they must be refreshed in order for the "
                                               "changes to show."));
    return true;
}

void Frm_ManageSpells::deleteSpell()
{
    if (m_shown.isEmpty())
        return;
    const QString name = m_shown;
    if (!Prompt::ask(this, QStringLiteral("Are you sure you want to delete ") + name +
                               QStringLiteral("\nfrom the Library?")))
        return;
    BusyCursor busy;
    const QString status = VM_Spell().Delete_Spell(name);
    if (Prompt::failed(this, status)) {
        return;
    }
    Refresh_Spell_List();
    {
        const QScopedValueRollback<bool> filling(m_filling, true);
        m_find->clear();
    }
    Start_The_Form(QString());
    announce([&name](LibraryEvents &events) {
        emit events.spellDeleted(name);
        emit events.spellsChanged();
    });
    Prompt::message(this, QStringLiteral("Spell deleted from Library"));
}
