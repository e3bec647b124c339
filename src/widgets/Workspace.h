#pragma once

#include <QString>

class LibraryEvents;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QWidget;
class VM_DragDropAssistant;
class VM_Library;

// What a child window may ask of the frame that holds it. A window is handed this in its
// Initialize and never holds a pointer to the frame or to a sibling window: the frame decides
// whether a window exists, creates it or brings it forward.
class Workspace
{
public:
    virtual ~Workspace() = default;

    // The one library object and the one drag-and-drop assistant every window shares.
    virtual VM_Library &library() = 0;
    virtual VM_DragDropAssistant &dragDropAssistant() = 0;
    // Where changes to the library are announced and followed.
    virtual LibraryEvents &events() = 0;

    // Panel 2 of the frame's status bar, which carries the progress texts of every window.
    virtual QLabel *progressPanel() = 0;
    // A menu or popup menu of the frame, or one of their entries (QAction), by name. A window's
    // command follows the entry that opens the window it needs: disabled there, disabled here.
    virtual QMenu *menu(const QString &name) = 0;
    virtual QAction *menuEntry(const QString &name) = 0;

    // The area that holds the child windows, for looking through the open ones.
    virtual QMdiArea *area() = 0;
    // Shows a new child window in the area, placed and sized to fit.
    virtual QMdiSubWindow *showChild(QWidget *window) = 0;

    // The commands one window asks of another.
    // Opens a new spell card; opener is the window the card returns to.
    virtual void viewSpell(const QString &spell, QWidget *opener) = 0;
    // Shows the spell in the manage-spells window.
    virtual void manageSpell(const QString &spell, QWidget *opener) = 0;
    // Shows the failed-spells window on a caster.
    virtual void showUnlearned(const QString &caster) = 0;
    // Opens the browser of a spellbook, or brings the open one forward.
    virtual void openSpellbook(const QString &spellbook) = 0;
    // Opens the memorized spells of a caster, or brings the open window forward.
    virtual void showMemorized(const QString &caster) = 0;
    // Whether a browser shows the caster's spellbook.
    virtual bool isSpellbookOpen(const QString &caster) = 0;
};
