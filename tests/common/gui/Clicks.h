#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

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
// Opens a list's popup menu with the menu key, as on its current row, and chooses the entry with
// that object name.
void choosePopupEntry(ListView *list, const QString &entry);
// Drags the selected rows of a list with the mouse onto a widget, at a point of it (its middle when
// none is given), as the platform delivers a drag: the widget is entered, moved over and, when it
// takes the drag, dropped on; then the drag ends. Says whether the widget took the drop.
bool dragAndDrop(ListView *from, QWidget *target, QPoint at = {});
// Selects exactly the rows whose first column holds one of these texts.
void selectRows(ListView *list, const QStringList &texts);
// Clicks a row of a list, brought into view first.
void clickRow(ListView *list, int row);
// Double-clicks a row of a list, brought into view first.
void doubleClickRow(ListView *list, int row);
// Clicks the middle of a column's header.
void clickHeader(ListView *list, int column);
// Ticks or unticks a row's check box with the space bar, the row current.
void toggleCheck(ListView *list, int row);
// Delivers a drop of this program's kind on a list with no drag of the list's own behind it: the
// list is entered, then takes the drop.
void dropOnList(ListView *target);
