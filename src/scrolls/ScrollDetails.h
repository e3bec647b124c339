#pragma once

#include <QString>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QWidget;
class VM_Library;

// The "Scroll Details" both scroll forms ask for: the scroll's name and its caster (a list of the
// casters that also takes a name typed in), and the check that the name is free for the caster.
struct ScrollDetails
{
    // Builds the group with its two controls, named for the tests and the accessibility tools.
    ScrollDetails(QWidget *parent, const QString &nameObject, const QString &casterObject, int casterWidth);

    QGroupBox *box = nullptr;
    QLineEdit *name = nullptr;
    QComboBox *caster = nullptr;

    // Whether the caster has no scroll of this name yet. When it has, or the library cannot tell,
    // the user is told and the name box takes the focus.
    static bool nameIsFree(QWidget *window, VM_Library &library, const QString &name, const QString &caster,
                           QWidget *nameBox);
};
