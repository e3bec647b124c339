// The scroll manager's printouts and the export of a scroll's spells to a file.

#include "scrolls/Frm_Scrolls.h"

#include "browse/PrintCommand.h"
#include "browse/ReportEngine.h"
#include "browse/SpellExport.h"
#include "exchange/VM_SpellSaver.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ListView.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

#include <QSet>
#include <QToolButton>
#include <QTreeWidget>

// Printing and exporting the chosen scroll, or every scroll of the chosen caster.

void Frm_Scrolls::printScrolls(const QString &entry)
{
    const bool oneScroll = entry == QStringLiteral("Print Selected Scroll") ||
                           entry == QStringLiteral("Preview Selected Scroll");
    const bool casterScrolls = entry == QStringLiteral("Print Selected Caster's Scrolls") ||
                               entry == QStringLiteral("Preview Selected Caster's Scrolls");
    // Each entry works on its own kind of node only.
    if (!m_node || (oneScroll && !isScrollNode(m_node)) || (casterScrolls && isScrollNode(m_node)) ||
        (!oneScroll && !casterScrolls))
        return;
    // The report reads the library: changes only in the list would be printed without.
    if (!mayLeaveScroll())
        return;
    const bool preview = entry.startsWith(QLatin1String("Preview"));
    const QString name = m_node->text(0).trimmed();

    PrintCommand command(this, m_workspace->progressPanel());
    if (!preview)
        command.showProgress(QStringLiteral("Printing Scroll..."));
    command.run([&] {
        // The scroll of the chosen caster alone: another caster's scroll of the same name is not
        // what was chosen.
        const QString status =
            oneScroll ? m_library->FillScrollDetails(QStringLiteral("Scroll"), name, casterOf(m_node))
                      : m_library->FillScrollDetails(QStringLiteral("Caster"), name);
        if (!status.isEmpty()) {
            command.tell(status);
            return;
        }
        m_crystal->run({QStringLiteral("scrolls.rpt"),
                        preview ? ReportEngine::Destination::Window : ReportEngine::Destination::Printer,
                        windowTitle() + QStringLiteral(" Print Preview")});
    });
}

QStringList Frm_Scrolls::spellsToExport(const QTreeWidgetItem *node)
{
    QStringList names;
    QSet<QString> seen;
    const auto take = [&](const QString &spell) {
        const QString name = spell.trimmed();
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    };
    if (isScrollNode(node)) {
        // What the list shows, which by now is what the library holds.
        for (int row = 0; row < m_scrollLines->rowCount(); ++row)
            take(m_scrollLines->text(row));
        return names;
    }
    for (int child = 0; child < node->childCount(); ++child) {
        m_library->Fetch_Scroll_Details(node->child(child)->text(0).trimmed(), casterOf(node));
        const OptionalTable lines = m_library->Fetch_Scrolls_Array();
        for (int row = 0; lines && lines->columns() == 5 && row < lines->rows(); ++row)
            take(lines->at(0, row));
    }
    return names;
}

void Frm_Scrolls::exportScroll()
{
    if (!m_node)
        return;
    // Exported as printed: what the library holds, once the user has saved or dropped the changes.
    if (!mayLeaveScroll())
        return;
    const QString title = m_node->text(0).trimmed();
    ListRows spells;
    QStringList gone;
    try {
        BusyCursor busy;
        const QStringList names = spellsToExport(m_node);
        for (const QString &name : names) {
            VM_Spell spell;
            const VM_Spell::Found found = spell.read(name);
            if (found == VM_Spell::Found::Unreadable) {
                Prompt::message(this, QStringLiteral("The library could not be read to export ") + name);
                return;
            }
            if (found == VM_Spell::Found::Gone)
                gone.append(name);
            else
                spells.append(ListRow{name, {}, true});
        }
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    const QString leftOut =
        gone.isEmpty() ? QString()
                       : QStringLiteral("These spells are no longer in the library and were not exported: ") +
                             gone.join(QStringLiteral(", "));
    if (spells.isEmpty()) {
        Prompt::message(this, leftOut.isEmpty() ? QStringLiteral("There are no spells to export") : leftOut);
        return;
    }

    bool written = false;
    exportSpellFile(this, m_workspace->progressPanel(), QStringLiteral("Spell Files (*.spel)|*.spel"),
                    QStringLiteral("Saving "), title,
                    [&](VM_SpellSaver &saver, const QString &fileTitle, const QString &filePath) {
                        saver.Save2(fileTitle, filePath, spells);
                        written = true;
                    });
    // Told only once the file holds the others: a cancelled export says nothing.
    if (written && !leftOut.isEmpty())
        Prompt::message(this, leftOut);
}

void Frm_Scrolls::printMain()
{
    // The frame's Print prints what the drop-down would: the chosen scroll, or the caster's.
    if (m_toolbar->button(QStringLiteral("Print"))->isEnabled() && m_node)
        printScrolls(isScrollNode(m_node) ? QStringLiteral("Print Selected Scroll")
                                          : QStringLiteral("Print Selected Caster's Scrolls"));
}
