#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Working the push buttons, boxes and tabs of a dialog-like window as a user does. Each fails
// the test, and does nothing, when the control is missing, hidden (on another tab) or disabled.

void clickButton(const QWidget *window, const QString &name);
// Chooses the entry with that text in a drop-down list.
void chooseItem(const QWidget *window, const QString &combo, const QString &text);
// Replaces the text of a line edit or text box.
void typeText(const QWidget *window, const QString &box, const QString &text);
void showTab(const QWidget *window, int tab);

QStringList comboItems(const QWidget *window, const QString &combo);
QString boxText(const QWidget *window, const QString &box);
bool canClick(const QWidget *window, const QString &name);
