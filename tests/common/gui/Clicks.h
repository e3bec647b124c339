#pragma once

#include <QString>

class ListView;
class QAbstractButton;
class QObject;
class QWidget;

// Work a window's controls as a user does. Each fails the test, and does nothing, when the
// control is missing, hidden or disabled, so a test cannot pass through a button the user
// could not press.

// Clicks a tool bar button (found by its key, its object name) of a window.
void pressButton(const QWidget *window, const QString &key);
// Opens a tool bar button's drop-down and chooses the entry with that key.
void chooseEntry(const QWidget *window, const QString &button, const QString &entry);
// Triggers a menu entry (a QAction) by its object name, as a click on it does.
void chooseMenuEntry(const QObject *owner, const QString &name);
// Whether a tool bar button can be pressed: there, visible and enabled.
bool canPress(const QWidget *window, const QString &key);
// Clicks a button that sits in a window rather than on its tool bar (a button of a list row).
void clickButton(QAbstractButton *button);
// Ends a drag of this program's own on a list as the platform delivers it: the list is
// entered, then takes the drop. What is dropped is what the drag-and-drop assistant holds.
void dropOnList(ListView *target);
