#include "Controls.h"

#include "WindowTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

namespace {

template<typename Control>
Control *usable(const QWidget *window, const QString &name)
{
    auto *found = control<Control>(window, name);
    if (found && (!found->isVisibleTo(window->window()) || !found->isEnabled())) {
        ADD_FAILURE() << name.toStdString() << " is hidden or disabled";
        return nullptr;
    }
    return found;
}

// A line edit by name, or the one of an editable drop-down by that name.
QLineEdit *usableEdit(const QWidget *window, const QString &name)
{
    if (auto *combo = window->findChild<QComboBox *>(name); combo && combo->isEditable())
        return usable<QComboBox>(window, name) ? combo->lineEdit() : nullptr;
    return usable<QLineEdit>(window, name);
}

} // namespace

void clickButton(const QWidget *window, const QString &name)
{
    if (auto *button = usable<QPushButton>(window, name))
        QTest::mouseClick(button, Qt::LeftButton);
}

void chooseItem(const QWidget *window, const QString &combo, const QString &text)
{
    auto *box = usable<QComboBox>(window, combo);
    if (!box)
        return;
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        ADD_FAILURE() << "no entry " << text.toStdString() << " in " << combo.toStdString();
        return;
    }
    box->setCurrentIndex(index);
    // What the user's choice does besides: the windows follow a choice, not every change.
    emit box->activated(index);
    emit box->textActivated(box->itemText(index));
}

void typeText(const QWidget *window, const QString &box, const QString &text)
{
    if (window->findChild<QLineEdit *>(box) || window->findChild<QComboBox *>(box)) {
        if (QLineEdit *edit = usableEdit(window, box))
            edit->setText(text);
    } else if (auto *textBox = usable<QTextEdit>(window, box)) {
        if (textBox->isReadOnly())
            ADD_FAILURE() << box.toStdString() << " is read-only";
        else
            textBox->setPlainText(text);
    }
}

void typeKeys(const QWidget *window, const QString &box, const QString &text)
{
    if (QLineEdit *edit = usableEdit(window, box)) {
        edit->clear();
        QTest::keyClicks(edit, text);
    }
}

void selectExactly(const QWidget *window, const QString &listBox, const QStringList &texts)
{
    auto *list = usable<QListWidget>(window, listBox);
    if (!list)
        return;
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setSelected(texts.contains(list->item(row)->text()));
}

void showTab(const QWidget *window, int tab)
{
    if (auto *tabs = usable<QTabWidget>(window, QStringLiteral("SSTab1")))
        tabs->setCurrentIndex(tab);
}

QStringList comboItems(const QWidget *window, const QString &combo)
{
    QStringList items;
    if (const auto *box = control<QComboBox>(window, combo)) {
        for (int i = 0; i < box->count(); ++i)
            items.append(box->itemText(i));
    }
    return items;
}

QString boxText(const QWidget *window, const QString &box)
{
    if (const auto *edit = window->findChild<QLineEdit *>(box))
        return edit->text();
    const auto *textBox = control<QTextEdit>(window, box);
    return textBox ? textBox->toPlainText() : QString();
}

bool canClick(const QWidget *window, const QString &name)
{
    const auto *button = window->findChild<QPushButton *>(name);
    return button && button->isVisibleTo(window->window()) && button->isEnabled();
}
