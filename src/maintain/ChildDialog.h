#pragma once

class QKeyEvent;
class QPushButton;
class QWidget;

// What a dialog-like child window of the frame does with the keys a dialog answers: Enter
// presses the default button (or the focused button), Esc closes the window. A QMdiSubWindow
// child gets neither from Qt, which gives them to QDialog only.
namespace ChildDialog {

// Answers Enter and Esc for a window; false when the key is not one of them.
bool handleKey(QWidget *window, QKeyEvent *event, QPushButton *defaultButton);

// Closes a child window together with the sub-window that frames it.
void closeWindow(QWidget *window);

} // namespace ChildDialog
