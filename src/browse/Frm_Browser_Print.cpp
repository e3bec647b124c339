#include "browse/Frm_Browser.h"

#include "browse/Frm_Print.h"
#include "browse/ListView.h"
#include "browse/ListViewRows.h"
#include "browse/PrintCommand.h"
#include "browse/ReportEngine.h"
#include "shell/Constants.h"
#include "shell/MDI_Main.h"
#include "shell/Prompt.h"
#include "store/Database.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"

// The browser's print and preview entries.

namespace {

const QString kNothingToPrint = QStringLiteral("There are no spells in the List View to Print");

QString password()
{
    return QString::fromLatin1(kLibraryPassword);
}

} // namespace

void Frm_Browser::printSpellbook(bool preview)
{
    if (m_list->rowCount() == 0) {
        Prompt::message(this, kNothingToPrint);
        return;
    }
    PrintCommand command(this, m_frame->statusPanel(2));
    command.showProgress(
        (preview ? QStringLiteral("Previewing Spellbook ") : QStringLiteral("Printing Spellbook ")) + m_name +
        QStringLiteral("..."));
    command.run([&] {
        m_crystal->setWindowState(Constants::Previews_Maximized ? ReportEngine::WindowState::Maximized
                                                                : ReportEngine::WindowState::Normal);
        m_crystal->setReportFileName(ReportEngine::reportPath(QStringLiteral("fullspellbook.rpt")));
        m_crystal->setPassword(password());
        m_crystal->setSubreportToChange(QStringLiteral("FailedSpells"));
        m_crystal->setPassword(password());
        m_crystal->setSubreportToChange(QString());
        m_crystal->setWindowTitle(QStringLiteral("Previewing Spellbook ") + m_name);
        const QString status = m_library->Set_Caster_Hold(m_name, QString());
        if (!status.isEmpty()) {
            command.tell(status);
            return;
        }
        m_crystal->setDestination(preview ? ReportEngine::Destination::Window
                                          : ReportEngine::Destination::Printer);
        m_crystal->start();
    });
}

void Frm_Browser::printFiltered(const QString &destination)
{
    if (m_list->rowCount() == 0) {
        Prompt::message(this, kNothingToPrint);
        return;
    }
    Frm_Print::shared(m_frame)->Initialize(this, m_library, m_frame, destination);
}

void Frm_Browser::printSelectedSpells()
{
    const QList<int> selected = m_list->selectedRowNumbers();
    // Said also when rows are listed but none is selected: there would be nothing to print.
    if (selected.isEmpty()) {
        Prompt::message(this, QStringLiteral("You have selected no spells to print"));
        return;
    }
    PrintCommand command(this, m_frame->statusPanel(2));
    command.run([&] {
        QStringList gone;
        for (const int row : selected) {
            const QString name = m_list->text(row).trimmed();
            VM_Spell spell;
            spell.Set_Spell_Details(name);
            if (spell.Fetch_Spell_Name().isEmpty()) {
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
            m_crystal->setPassword(password());
            m_crystal->setReportFileName(ReportEngine::reportPath(QStringLiteral("singlespell.rpt")));
            m_crystal->setDestination(ReportEngine::Destination::Printer);
            m_crystal->start();
        }
        if (!gone.isEmpty())
            command.tell(QStringLiteral("These spells are no longer in the library and were not printed: ") +
                         gone.join(QStringLiteral(", ")));
    });
}
