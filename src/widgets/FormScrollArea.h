#pragma once

#include <QScrollArea>

// Holds the part of a window that cannot shrink (its fields, and the lists beside them), so that
// the window itself can be made small: at the size the window opens, the form shows as it would
// without the area, with no frame and no scroll bar; made smaller than the form needs, the form
// scrolls inside the window rather than being cut off. The focus moving to a control out of view
// scrolls it into view.
class FormScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    // Takes the form; its controls keep their names, their order and their access keys.
    explicit FormScrollArea(QWidget *form, QWidget *parent = nullptr);

    // The form's own size, however large: at that size nothing scrolls.
    QSize sizeHint() const override;
    // Room for the two scroll bars and a little to drag them.
    QSize minimumSizeHint() const override;
    // The form's sizes reach the window's layout when they change (a part of it shown or hidden);
    // asking the window's size at once, call updateGeometry() first.
    bool eventFilter(QObject *watched, QEvent *event) override;

    // The smallest size at which a window shows its forms whole, none of them scrolled: where a
    // window that opens at a size of its own must open at least. The forms are those placed in
    // the window's own box layout; lines that wrap are laid out at the width given, or wider.
    static QSize wholeSize(const QWidget *window, int width = 0);
};
