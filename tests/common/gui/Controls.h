#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Working the push buttons, boxes, lists and tabs of a window as a user does (its tool bar and
// menus are in Clicks.h). Each fails the test, and does nothing, when the control is missing,
// hidden (on another tab) or disabled.

// Clicks a push button with the mouse.
void clickButton(const QWidget *window, const QString &name);
// Chooses the entry with that text in a drop-down list, as the user's choice does.
void chooseItem(const QWidget *window, const QString &combo, const QString &text);
// Replaces the text of a line edit, an editable drop-down or a text box.
void typeText(const QWidget *window, const QString &box, const QString &text);
// Empties a line edit (or an editable drop-down's) and types the text into it key by key, as the user would.
void typeKeys(const QWidget *window, const QString &box, const QString &text);
// Selects exactly the items of a list box that have these texts, and no other.
void selectExactly(const QWidget *window, const QString &listBox, const QStringList &texts);
// Shows a tab of the window's tab control, "SSTab1".
void showTab(const QWidget *window, int tab);

QStringList comboItems(const QWidget *window, const QString &combo);
QString boxText(const QWidget *window, const QString &box);
bool canClick(const QWidget *window, const QString &name);
