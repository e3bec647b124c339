#include "widgets/ButtonToolBar.h"

#include "widgets/Keyboard.h"

#include <QMenu>
#include <QToolButton>

ButtonToolBar::ButtonToolBar(const QString &objectName, QWidget *parent) : QToolBar(parent)
{
    setObjectName(objectName);
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

QToolButton *ButtonToolBar::makeButton(const QString &key, const QString &toolTip, const QIcon &icon)
{
    auto *button = new QToolButton(this);
    button->setObjectName(key);
    button->setToolTip(toolTip);
    button->setText(toolTip);
    button->setIcon(icon);
    button->setAutoRaise(true);
    // An icon alone says nothing to a screen reader: the tip is its name and its description.
    button->setAccessibleName(toolTip);
    button->setAccessibleDescription(toolTip);
    // Saving and adding have the keys they have in every program.
    if (key == QStringLiteral("Save"))
        Keyboard::addShortcut(button, QKeySequence::Save);
    else if (key == QStringLiteral("Add"))
        Keyboard::addShortcut(button, QKeySequence::New);
    m_items.insert(key, addWidget(button));
    return button;
}

QToolButton *ButtonToolBar::addButton(const QString &key, const QString &toolTip, const QIcon &icon)
{
    QToolButton *button = makeButton(key, toolTip, icon);
    connect(button, &QToolButton::clicked, this, [this, key] { emit buttonClicked(key); });
    return button;
}

QToolButton *ButtonToolBar::addMenuButton(const QString &key, const QString &toolTip, const QIcon &icon,
                                          const QList<Entry> &entries)
{
    QToolButton *button = makeButton(key, toolTip, icon);
    // The button has no action of its own: a click opens its menu.
    button->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(button);
    menu->setObjectName(key + QStringLiteral(" Menu"));
    button->setMenu(menu);
    connect(menu, &QMenu::triggered, this,
            [this](QAction *entry) { emit buttonMenuClicked(entry->data().toString()); });
    // A right click on an entry offers what else can be done with it; the drop-down closes
    // first, so the offer stands alone.
    menu->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(menu, &QMenu::customContextMenuRequested, this, [this, menu](const QPoint &pos) {
        QAction *entry = menu->actionAt(pos);
        if (!entry)
            entry = menu->activeAction(); // the menu key
        if (!entry || entry->isSeparator())
            return;
        const QString entryKey = entry->data().toString();
        const QPoint globalPos = menu->mapToGlobal(menu->actionGeometry(entry).center());
        menu->hide();
        emit buttonMenuContext(entryKey, globalPos);
    });
    setEntries(key, entries);
    return button;
}

void ButtonToolBar::addDivider(const QString &name)
{
    QAction *divider = addSeparator();
    divider->setObjectName(name);
    m_items.insert(name, divider);
}

QToolButton *ButtonToolBar::button(const QString &key) const
{
    return findChild<QToolButton *>(key, Qt::FindDirectChildrenOnly);
}

QMenu *ButtonToolBar::buttonMenu(const QString &key) const
{
    const QToolButton *owner = button(key);
    return owner ? owner->menu() : nullptr;
}

void ButtonToolBar::setEntries(const QString &key, const QList<Entry> &entries)
{
    QMenu *menu = buttonMenu(key);
    if (!menu)
        return;
    menu->clear();
    for (const Entry &entry : entries) {
        if (entry.key.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        // Entry texts are shown as they are: a spellbook named "Bryn & Co" has no access key.
        QAction *action =
            menu->addAction(QString(entry.text).replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setData(entry.key);
    }
}

void ButtonToolBar::setItemVisible(const QString &key, bool visible)
{
    if (QAction *item = m_items.value(key))
        item->setVisible(visible);
}

bool ButtonToolBar::isItemVisible(const QString &key) const
{
    const QAction *item = m_items.value(key);
    return item && item->isVisible();
}

void ButtonToolBar::followCommand(const QString &key, const QAction *command)
{
    QToolButton *target = button(key);
    if (!target || !command)
        return;
    target->setEnabled(command->isEnabled());
    connect(command, &QAction::enabledChanged, target, &QWidget::setEnabled);
}
