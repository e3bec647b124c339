// The Edit menu: undo and redo of the library's history, and every open window following them.

#include "shell/MDI_Main.h"

#include "store/Undo.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/LibraryEvents.h"
#include "widgets/Prompt.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

void MDI_Main::createEditMenu()
{
    QMenu *edit = new QMenu(QStringLiteral("&Edit"), this);
    edit->setObjectName(QStringLiteral("Main_Edit"));
    menuBar()->insertMenu(menu(QStringLiteral("Main_Tools"))->menuAction(), edit);
    addEntry(edit, QStringLiteral("Main_Edit_Undo"), QStringLiteral("&Undo"), &MDI_Main::Main_Edit_Undo_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    addEntry(edit, QStringLiteral("Main_Edit_Redo"), QStringLiteral("&Redo"), &MDI_Main::Main_Edit_Redo_Click)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(&UndoHistory::instance(), &UndoHistory::changed, this, &MDI_Main::showHistory);
    connect(edit, &QMenu::aboutToShow, this, &MDI_Main::showHistory);
    showHistory();
}

void MDI_Main::showHistory()
{
    UndoHistory &history = UndoHistory::instance();
    const auto show = [this](const QString &entry, const QString &verb, const QString &step) {
        QAction *action = menuEntry(entry);
        // A step's name is shown as it is: an ampersand in it is no access key.
        QString caption = verb;
        if (!step.isEmpty())
            caption += QLatin1Char(' ') + QString(step).replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(caption);
        action->setEnabled(!step.isEmpty());
    };
    show(QStringLiteral("Main_Edit_Undo"), QStringLiteral("&Undo"), history.undoName());
    show(QStringLiteral("Main_Edit_Redo"), QStringLiteral("&Redo"), history.redoName());
}

void MDI_Main::Main_Edit_Undo_Click()
{
    applyHistory(&UndoHistory::undo);
}

void MDI_Main::Main_Edit_Redo_Click()
{
    applyHistory(&UndoHistory::redo);
}

void MDI_Main::applyHistory(UndoHistory::Outcome (UndoHistory::*command)())
{
    UndoHistory::Outcome outcome;
    try {
        BusyCursor busy(m_panel2);
        outcome = (UndoHistory::instance().*command)();
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    // Every open window shows the library as it now is.
    if (outcome.schools)
        emit m_events->schoolsChanged();
    if (outcome.casters)
        emit m_events->castersChanged();
    if (outcome.spells)
        emit m_events->spellsChanged();
    for (const QString &caster : std::as_const(outcome.spellbooks))
        emit m_events->spellbookChanged(caster);
    emit m_events->libraryRestored();
}
