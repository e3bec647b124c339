// The spellbook browser's printouts: the whole book, the filtered book and the selected spells.

#include "browse/Frm_Browser.h"

#include "browse/DeckCommand.h"
#include "browse/Frm_Print.h"
#include "browse/PrintCommand.h"
#include "browse/ReportEngine.h"
#include "store/Blanks.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "widgets/ListView.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

// The browser's print and preview entries.

namespace {

const QString kNothingToPrint = QStringLiteral("There are no spells in the List View to Print");

} // namespace

void Frm_Browser::printSpellbook(bool preview)
{
    if (m_list->rowCount() == 0) {
        Prompt::message(this, kNothingToPrint);
        return;
    }
    PrintCommand command(this, m_workspace->progressPanel());
    command.showProgress(
        (preview ? QStringLiteral("Previewing Spellbook ") : QStringLiteral("Printing Spellbook ")) + m_name +
        QStringLiteral("..."));
    command.run([&] {
        const QString status = m_library->Set_Caster_Hold(m_name, QString());
        if (!status.isEmpty()) {
            command.tell(status);
            return;
        }
        m_crystal->run({QStringLiteral("fullspellbook.rpt"),
                        preview ? ReportEngine::Destination::Window : ReportEngine::Destination::Printer,
                        QStringLiteral("Previewing Spellbook ") + m_name,
                        {QStringLiteral("FailedSpells")}});
    });
}

void Frm_Browser::printFiltered(ReportEngine::Destination destination)
{
    if (m_list->rowCount() == 0) {
        Prompt::message(this, kNothingToPrint);
        return;
    }
    Frm_Print::shared(*m_workspace)->Initialize(this, *m_workspace, destination);
}

void Frm_Browser::printSelectedSpells()
{
    const QList<int> selected = m_list->selectedRowNumbers();
    // Said also when rows are listed but none is selected: there would be nothing to print.
    if (selected.isEmpty()) {
        Prompt::message(this, QStringLiteral("You have selected no spells to print"));
        return;
    }
    PrintCommand command(this, m_workspace->progressPanel());
    command.run([&] {
        QStringList gone;
        for (const int row : selected) {
            const QString name = trimBlanks(m_list->text(row));
            VM_Spell spell;
            // A library that cannot be read (moved, locked) fails for every spell that follows:
            // the command ends here rather than call each of them deleted.
            const VM_Spell::Found found = spell.read(name);
            if (found == VM_Spell::Found::Unreadable) {
                command.tell(name + QStringLiteral(" could not be read from the library. "
                                                   "Nothing more was printed."));
                return;
            }
            if (found == VM_Spell::Found::Gone) {
                gone.append(name); // deleted since the list was read: there is no card to print
                continue;
            }
            const QString status = spell.Set_Spell_Hold();
            if (!status.isEmpty()) {
                // What failed for this spell (a locked library, a full disk) fails for the next.
                command.tell(status);
                return;
            }
            command.showProgress(QStringLiteral("Printing ") + name + QStringLiteral("..."));
            m_crystal->run({QStringLiteral("singlespell.rpt"), ReportEngine::Destination::Printer, name});
        }
        if (!gone.isEmpty())
            command.tell(QStringLiteral("These spells are no longer in the library and were not printed: ") +
                         gone.join(QStringLiteral(", ")));
    });
}

void Frm_Browser::B_Menu_Deck_Click()
{
    DeckCommand::run(this, *m_workspace, m_list, m_name);
}

void Frm_Browser::printMain()
{
    printSpellbook(false);
}
