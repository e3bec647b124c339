#pragma once

class QComboBox;
class QKeyEvent;
class QPushButton;
class QString;
class QTabWidget;
class QWidget;

// What a dialog-like child window of the frame does with the keys a dialog answers: Enter
// presses the default button (or the focused button), Esc closes the window. A QMdiSubWindow
// child gets neither from Qt, which gives them to QDialog only.
namespace ChildDialog {

// Answers Enter and Esc for a window; false when the key is not one of them.
bool handleKey(QWidget *window, QKeyEvent *event, QPushButton *defaultButton);

// Closes a child window together with the sub-window that frames it.
void closeWindow(QWidget *window);

// A push button named for the tests and the accessibility tools.
QPushButton *button(QWidget *parent, const QString &caption, const QString &objectName);

// A list of names that keeps its width however long the names grow.
QComboBox *namesCombo(QWidget *parent, const QString &objectName, const QString &accessibleName);

// Lays a tabbed window out as a dialog: the tabs fill it, the two buttons stand at the lower right;
// all of it scrolls in a window made small.
void layOutTabs(QWidget *window, QTabWidget *tabs, QPushButton *apply, QPushButton *cancel);

} // namespace ChildDialog
