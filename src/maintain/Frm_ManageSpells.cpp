#include "maintain/Frm_ManageSpells.h"

#include "exchange/ExchangeRules.h"
#include "shell/Prompt.h"
#include "store/Names.h"
#include "store/Schema.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/LibraryEvents.h"
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

const QStringList kLevels = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                             QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                             QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")};
const QString kSpecial = QStringLiteral("Special");

QStringList selectedTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            texts.append(list->item(row)->text());
    }
    return texts;
}

void refill(QComboBox *combo, const QStringList &entries)
{
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setPlaceholderText(QString());
}

// A stored value the list does not offer (an imported spell's, say) leaves the drop-down without a
// selection; it shows greyed as the placeholder and is what a save keeps, so nothing is lost.
void choose(QComboBox *combo, const QString &value)
{
    const int index = value.isEmpty() ? -1 : combo->findText(value);
    combo->setCurrentIndex(index);
    combo->setPlaceholderText(index < 0 ? value : QString());
}

QString chosenValue(const QComboBox *combo)
{
    return combo->currentIndex() >= 0 ? combo->currentText() : combo->placeholderText();
}

void fillList(QListWidget *list, const QStringList &entries, const QStringList &selected)
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (const QString &entry : entries) {
        auto *item = new QListWidgetItem(entry, list);
        item->setToolTip(entry); // long names are cut short in the narrow list
        item->setSelected(selected.contains(entry));
    }
}

} // namespace

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
        Prompt::message(this, error.description.trimmed());
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
        if (!m_announcing && m_spell)
            Set_Spellbooks();
    });
    connect(&events, &LibraryEvents::spellsChanged, this, [this] {
        if (m_announcing)
            return;
        try {
            Refresh_Spell_List();
        } catch (const VmError &error) {
            Prompt::message(this, error.description.trimmed());
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

template<typename Announce>
void Frm_ManageSpells::announce(Announce announce)
{
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    announce(m_workspace->events());
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

void Frm_ManageSpells::Refresh_Levels()
{
    refill(m_levels, kLevels);
}

void Frm_ManageSpells::Refresh_Frequencies()
{
    refill(m_frequency, frequencyNames());
}

void Frm_ManageSpells::Refresh_Components()
{
    refill(m_components, componentSets());
}

void Frm_ManageSpells::Refresh_Casting_Time_Types()
{
    refill(m_castingType, castingTimeTypes());
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
        Prompt::message(this, error.description.trimmed());
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
        Prompt::message(this, error.description.trimmed());
    }
    if (untouched)
        m_unchanged.last() = formState().constLast();
}

void Frm_ManageSpells::Start_The_Form(const QString &name)
{
    BusyCursor busy;
    try {
        const QScopedValueRollback<bool> filling(m_filling, true);
        Refresh_Casting_Time_Types();
        Refresh_Frequencies();
        Refresh_Components();
        Refresh_Levels();
        if (name.isEmpty()) {
            clearForm();
            Set_Spells_Schools({});
            Refresh_Lst_Spellbooks({});
        } else {
            showSpellDetails(name);
        }
    } catch (const VmError &error) {
        // Nothing half read stays on show, where a save could write it back.
        clearForm();
        keepUnchangedState();
        Prompt::message(this, error.description.trimmed());
        return;
    }
    keepUnchangedState();
    if (name.isEmpty())
        m_name->setFocus();
}

void Frm_ManageSpells::showSpellDetails(const QString &name)
{
    auto spell = std::make_unique<VM_Spell>();
    if (!spell->Set_Spell_Details(name))
        throw VmError(0, QStringLiteral("Start_The_Form"),
                      QStringLiteral("The spell ") + name +
                          QStringLiteral(" could not be read from the Library"));
    if (spell->Fetch_Spell_Name().isEmpty())
        throw VmError(0, QStringLiteral("Start_The_Form"),
                      QStringLiteral("The spell ") + name + QStringLiteral(" is no longer in the Library"));
    m_name->setText(name);
    m_name->setEnabled(true);
    choose(m_levels, spell->Fetch_Spell_Level().trimmed());
    choose(m_castingType, spell->Fetch_Spell_Casting_Time_Type().trimmed());
    choose(m_components, spell->Fetch_Spell_Components().trimmed());
    choose(m_frequency, spell->Fetch_Spell_Frequency().trimmed());
    m_castingTime->setEnabled(chosenValue(m_castingType) != kSpecial);
    m_castingTime->setText(spell->Fetch_Spell_Casting_Time());
    m_duration->setText(spell->Fetch_Spell_Duration());
    m_areaOfEffect->setText(spell->Fetch_Spell_Area_of_Effect());
    m_range->setText(spell->Fetch_Spell_Range());
    m_savingThrow->setText(spell->Fetch_Spell_Saving_Throw());
    m_author->setText(spell->Fetch_Spell_Author());
    m_book->setText(spell->Fetch_Spell_Book_Number());
    m_page->setText(spell->Fetch_Spell_Page_Number());
    m_description->setPlainText(spell->Fetch_Spell_Description());
    Set_Spells_Schools(spell->Fetch_Spell_Schools_Collection());
    Refresh_Lst_Spellbooks(spell->Fetch_Spellbooks_Collection());
    m_spell = std::move(spell);
    m_shown = name;
    pointPickerAt(m_shown);
}

void Frm_ManageSpells::clearForm()
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    m_spell.reset();
    m_shown.clear();
    pointPickerAt(m_shown);
    m_name->clear();
    m_name->setEnabled(true);
    for (QComboBox *combo : {m_levels, m_frequency, m_components, m_castingType}) {
        combo->setCurrentIndex(-1);
        combo->setPlaceholderText(QString());
    }
    for (QLineEdit *box :
         {m_castingTime, m_duration, m_areaOfEffect, m_range, m_savingThrow, m_author, m_book, m_page})
        box->clear();
    m_castingTime->setEnabled(true);
    m_description->clear();
    m_schools->clearSelection(); // KXR stays selected in the spellbooks
    m_spellbooks->clearSelection();
}

std::unique_ptr<VM_Spell> Frm_ManageSpells::Fill_Spell_From_Form() const
{
    auto spell = std::make_unique<VM_Spell>();
    spell->Set_Spell_Name(m_name->text().trimmed());
    spell->Set_Spell_Level(chosenValue(m_levels).trimmed());
    spell->Set_Spell_Duration(m_duration->text().trimmed());
    spell->Set_Spell_Casting_Time(m_castingTime->text().trimmed());
    spell->Set_Spell_Casting_Time_Type(chosenValue(m_castingType).trimmed());
    spell->Set_Spell_Area_of_Effect(m_areaOfEffect->text().trimmed());
    spell->Set_Spell_Components(chosenValue(m_components).trimmed());
    spell->Set_Spell_Range(m_range->text().trimmed());
    spell->Set_Spell_Saving_Throw(m_savingThrow->text().trimmed());
    spell->Set_Spell_Frequency(chosenValue(m_frequency).trimmed());
    spell->Set_Spell_Author(m_author->text().trimmed());
    spell->Set_Spell_Book_Number(m_book->text().trimmed());
    spell->Set_Spell_Page_Number(m_page->text().trimmed());
    spell->Set_Spell_Description(m_description->toPlainText().trimmed());
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
    QStringList state = {m_name->text(),
                         chosenValue(m_levels),
                         chosenValue(m_frequency),
                         chosenValue(m_components),
                         m_castingTime->text(),
                         chosenValue(m_castingType),
                         m_duration->text(),
                         m_areaOfEffect->text(),
                         m_range->text(),
                         m_savingThrow->text(),
                         m_author->text(),
                         m_book->text(),
                         m_page->text(),
                         m_description->toPlainText(),
                         selectedTexts(m_schools).join(QLatin1Char('\n')),
                         chosenSpellbooks().join(QLatin1Char('\n'))};
    return state;
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
    const bool special = m_castingType->currentText() == kSpecial;
    if (special)
        m_castingTime->clear();
    m_castingTime->setEnabled(!special);
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
        Prompt::message(this, error.description.trimmed());
    }
}

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
    const auto refuseField = [this](const QString &field, const QString &problem, QWidget *box) {
        Prompt::message(this, ExchangeRules::refusal(field, problem, QStringLiteral("spell")));
        if (m_tabs->isAncestorOf(box))
            m_tabs->setCurrentIndex(box == m_description ? 1 : 0);
        box->setFocus();
        return false;
    };
    const std::pair<QString, QWidget *> fields[] = {{QStringLiteral("name"), m_name},
                                                    {QStringLiteral("level"), m_levels},
                                                    {QStringLiteral("frequency"), m_frequency},
                                                    {QStringLiteral("components"), m_components},
                                                    {QStringLiteral("casting time"), m_castingTime},
                                                    {QStringLiteral("casting time type"), m_castingType},
                                                    {QStringLiteral("duration"), m_duration},
                                                    {QStringLiteral("area of effect"), m_areaOfEffect},
                                                    {QStringLiteral("range"), m_range},
                                                    {QStringLiteral("saving throw"), m_savingThrow},
                                                    {QStringLiteral("author"), m_author},
                                                    {QStringLiteral("book"), m_book},
                                                    {QStringLiteral("page"), m_page}};
    for (const auto &[field, box] : fields) {
        const auto *combo = qobject_cast<const QComboBox *>(box);
        const QString value =
            combo ? chosenValue(combo).trimmed() : static_cast<const QLineEdit *>(box)->text().trimmed();
        const QString problem = ExchangeRules::fieldProblem(value);
        if (!problem.isEmpty())
            return refuseField(field, problem, box);
    }
    const QString description = ExchangeRules::descriptionProblem(m_description->toPlainText().trimmed());
    if (!description.isEmpty())
        return refuseField(QStringLiteral("description"), description, m_description);
    for (const QString &school : selectedTexts(m_schools)) {
        const QString problem = ExchangeRules::schoolNameProblem(school);
        if (!problem.isEmpty())
            return refuseField(QStringLiteral("school \"%1\"").arg(school), problem, m_schools);
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
        Prompt::message(this, error.description.trimmed());
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
    const QString status = spell->Add_New_Spell();
    if (!status.isEmpty()) {
        Prompt::message(this, status.trimmed());
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
    const QString status = spell->Update_Existing_Spell(oldName, false);
    if (!status.isEmpty()) {
        Prompt::message(this, status.trimmed());
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
    if (!status.isEmpty()) {
        Prompt::message(this, status.trimmed());
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

void Frm_ManageSpells::closeEvent(QCloseEvent *event)
{
    if (!mayLeaveSpell()) {
        event->ignore();
        return;
    }
    m_spell.reset();
    QWidget::closeEvent(event);
}
