#pragma once

class QAbstractButton;
class QKeySequence;
class QTabWidget;
class QWidget;

// What makes a window work from the keyboard alone, written once for every window.
namespace Keyboard {

// Gives each label tied to a control, each tab title and each option button of a window an
// access key where it has none: a word's first letter when it is free, else another of its
// letters. A key already used in the window, or by the menu bar of the window that holds it, is
// not given twice. Ctrl+Tab then moves between the tabs of a tab control the focus is in.
void prepare(QWidget *window);

// The key presses the button when it can be pressed; the button shows the key in its tip.
void addShortcut(QAbstractButton *button, const QKeySequence &key);

// Ctrl+Tab and Ctrl+Shift+Tab turn the tabs while the focus is inside them, rather than
// going to the next window.
void keepTabKeys(QTabWidget *tabs);

} // namespace Keyboard
