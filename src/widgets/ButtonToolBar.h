#pragma once

#include <QHash>
#include <QToolBar>

class QMenu;
class QToolButton;

// A tool bar of buttons known by key, some with a drop-down menu of entries known by key, as
// every window of the program has one. A click reports the key of the button or of the menu
// entry; each button's object name is its key, so tests and windows find it by name.
class ButtonToolBar : public QToolBar
{
    Q_OBJECT

public:
    // One drop-down entry; an empty key is a separator.
    struct Entry
    {
        QString key;
        QString text;
    };

    explicit ButtonToolBar(const QString &objectName, QWidget *parent = nullptr);

    QToolButton *addButton(const QString &key, const QString &toolTip, const QIcon &icon);
    QToolButton *addMenuButton(const QString &key, const QString &toolTip, const QIcon &icon,
                               const QList<Entry> &entries = {});
    void addDivider(const QString &name);

    QToolButton *button(const QString &key) const;
    QMenu *buttonMenu(const QString &key) const;
    // Replaces the entries of a drop-down button.
    void setEntries(const QString &key, const QList<Entry> &entries);
    // Shows or hides a button or a divider by its key or name.
    void setItemVisible(const QString &key, bool visible);
    bool isItemVisible(const QString &key) const;
    // The button works exactly when the command does: enabled and disabled with it.
    void followCommand(const QString &key, const QAction *command);

signals:
    void buttonClicked(const QString &key);
    void buttonMenuClicked(const QString &key);
    // An entry of a drop-down was right-clicked (or its menu key pressed) at globalPos.
    void buttonMenuContext(const QString &key, const QPoint &globalPos);

private:
    QToolButton *makeButton(const QString &key, const QString &toolTip, const QIcon &icon);

    QHash<QString, QAction *> m_items; // the tool bar's action of each button and divider
};
