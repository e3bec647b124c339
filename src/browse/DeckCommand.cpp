#include "browse/DeckCommand.h"

#include "browse/Frm_Deck.h"
#include "browse/PrintCommand.h"
#include "browse/ReportEngine.h"
#include "browse/ReportPages.h"
#include "store/VM_Library.h"
#include "widgets/ListView.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

#include <QProgressDialog>

#include <memory>

void DeckCommand::run(QWidget *window, Workspace &workspace, const ListView *list, const QString &owner)
{
    if (list->rowCount() == 0) {
        Prompt::message(window, QStringLiteral("There are no spells in the list to print as a deck"));
        return;
    }
    const ListRows selected = selectedRowsOf(list);
    Frm_Deck dialog(window);
    dialog.Initialize(int(selected.size()), list->rowCount());
    dialog.exec();
    const Frm_Deck::Action action = dialog.action();
    if (action == Frm_Deck::Action::None)
        return;
    const ListRows rows = dialog.selectedOnly() ? selected : rowsOf(list);
    const QString title =
        owner.isEmpty() ? QStringLiteral("Deck of spells") : QStringLiteral("Deck of ") + owner;

    std::optional<QString> path;
    if (action == Frm_Deck::Action::Pdf) {
        path = Prompt::saveFile(window, QStringLiteral("PDF Files (*.pdf)|*.pdf"), title);
        if (!path)
            return;
        if (!path->endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            path->append(QLatin1String(".pdf"));
    }

    PrintCommand command(window, workspace.progressPanel());
    command.showProgress(
        (action == Frm_Deck::Action::Preview ? QStringLiteral("Previewing ") : QStringLiteral("Printing ")) +
        title + QStringLiteral("..."));
    // A large deck takes seconds: its progress shows, and Cancel stops it with nothing sent.
    std::unique_ptr<QProgressDialog> progress;
    if (rows.size() >= kProgressFrom) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("Laying out the cards..."),
                                                     QStringLiteral("Cancel"), 0, 100, window);
        progress->setObjectName(QStringLiteral("DeckProgress"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
    }
    std::optional<DeckProgress::Stage> shown;
    const DeckProgress listening([&](DeckProgress::Stage stage, int done, int total) {
        if (!progress)
            return true;
        if (stage != shown) {
            shown = stage;
            progress->setLabelText(stage == DeckProgress::Stage::Cards
                                       ? QStringLiteral("Laying out the cards...")
                                       : QStringLiteral("Drawing the pages..."));
            progress->setMaximum(total);
        }
        progress->setValue(done);
        return !progress->wasCanceled();
    });

    ReportEngine crystal(window);
    const ReportRequest request{QStringLiteral("deck.rpt"),
                                action == Frm_Deck::Action::Preview ? ReportEngine::Destination::Window
                                                                    : ReportEngine::Destination::Printer,
                                title,
                                {},
                                true,
                                dialog.options()};
    try {
        command.run([&] {
            workspace.library().Print_Filtered_Spellbook(rows, owner);
            if (!path) {
                crystal.run(request);
                return;
            }
            crystal.setUp(request);
            ReportPages::writePdf(crystal.render(), *path);
        });
    } catch (const DeckCancelled &) {
        // Cancelled by the user, who needs no message about it.
    }
}
