#include "widgets/Keyboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>

#include <algorithm>
#include <functional>
#include <utility>

namespace Keyboard {

namespace {

// The access key of a caption ("&File" -> 'f'), or none; "&&" is a plain ampersand.
QChar accessKey(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            return caption.at(i + 1).toLower();
        ++i;
    }
    return {};
}

// A key the frame would take first (its menus, its next-window key) that a window claims while
// the focus is in it: the window takes the key press that follows, before the focused control.
class KeyTaker : public QObject
{
public:
    explicit KeyTaker(QWidget *owner) : QObject(owner), m_owner(owner) { owner->installEventFilter(this); }

protected:
    // Whether the key is the window's now; and what it does, false when it cannot.
    virtual bool wants(const QKeyEvent *key) const = 0;
    virtual bool act(const QKeyEvent *key) = 0;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (watched != m_owner || !m_owner->isAncestorOf(QApplication::focusWidget()) || !wants(key))
                return false;
            m_pending = key->keyCombination();
            qApp->installEventFilter(this);
            event->accept();
            return true;
        }
        if (event->type() != QEvent::KeyPress || m_pending == QKeyCombination())
            return false;
        qApp->removeEventFilter(this);
        const auto *key = static_cast<QKeyEvent *>(event);
        return std::exchange(m_pending, QKeyCombination()) == key->keyCombination() && act(key);
    }

private:
    QWidget *m_owner;
    QKeyCombination m_pending;
};

// Ctrl+Tab and Ctrl+Shift+Tab turn the tabs the focus is in, rather than go to the next window.
class TabKeys : public KeyTaker
{
public:
    explicit TabKeys(QTabWidget *tabs) : KeyTaker(tabs), m_tabs(tabs) {}

protected:
    bool wants(const QKeyEvent *key) const override
    {
        return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
               (key->modifiers() & Qt::ControlModifier) && m_tabs->count() > 1;
    }
    bool act(const QKeyEvent *key) override
    {
        const int step = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier) ? -1 : 1;
        int index = m_tabs->currentIndex();
        for (int tried = 0; tried < m_tabs->count(); ++tried) {
            index = (index + step + m_tabs->count()) % m_tabs->count();
            if (m_tabs->isTabEnabled(index))
                break;
        }
        m_tabs->setCurrentIndex(index);
        return true;
    }

private:
    QTabWidget *m_tabs;
};

// A window inside the frame whose own keys the frame's menu bar claims as well ("&File" of its
// own menu bar, an "&Apply" beside the frame's "&About"): while the focus is in the window, its
// own controls take those keys.
class OwnKeys : public KeyTaker
{
public:
    using Act = std::function<bool()>; // does what the key means; false when it cannot now
    using KeyTaker::KeyTaker;

    void add(QChar key, Act act) { m_keys.insert(key.toUpper().unicode(), std::move(act)); }

protected:
    bool wants(const QKeyEvent *key) const override
    {
        return key->modifiers() == Qt::AltModifier && m_keys.contains(key->key());
    }
    bool act(const QKeyEvent *key) override { return m_keys.value(key->key())(); }

private:
    QHash<int, Act> m_keys;
};

// The keys already taken: those of the whole window, and those of each tab page, where a label
// is reached only while its page shows.
struct UsedKeys
{
    QString window;
    QHash<const QWidget *, QString> pages;
    QString fixed; // the keys of buttons, tabs and menus, which no label shares

    static const QWidget *pageOf(const QWidget *widget)
    {
        for (const QWidget *up = widget; up && up->parentWidget(); up = up->parentWidget()) {
            if (qobject_cast<const QTabWidget *>(up->parentWidget() ? up->parentWidget()->parentWidget()
                                                                    : nullptr))
                return up;
        }
        return nullptr;
    }
    bool taken(QChar key, const QWidget *page) const
    {
        if (window.contains(key))
            return true;
        if (page)
            return pages.value(page).contains(key);
        for (const QString &keys : pages) {
            if (keys.contains(key))
                return true;
        }
        return false;
    }
    void take(QChar key, const QWidget *page) { (page ? pages[page] : window).append(key); }
};

// A caption to mark, read from and written back to its control.
struct Caption
{
    QString text;
    const QWidget *page;
    bool mayShare; // a label or option button: a key pressed again moves on to the next
    std::function<void(const QString &)> write;
};

// The caption with a free key marked, preferring the first letters of its words; as a last
// resort a label shares a key, which then moves between them.
QString withKey(const Caption &caption, UsedKeys &used)
{
    const QString &text = caption.text;
    QList<qsizetype> candidates;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isLetterOrNumber() && (i == 0 || !text.at(i - 1).isLetterOrNumber()))
            candidates.append(i);
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isLetterOrNumber() && !candidates.contains(i))
            candidates.append(i);
    }
    for (const bool sharing : {false, true}) {
        for (qsizetype i : std::as_const(candidates)) {
            const QChar key = text.at(i).toLower();
            if (key.unicode() >= 128 || (!sharing && used.taken(key, caption.page)) ||
                (sharing && (!caption.mayShare || used.fixed.contains(key))))
                continue;
            used.take(key, caption.page);
            if (!caption.mayShare)
                used.fixed.append(key);
            return QString(text).insert(i, QLatin1Char('&'));
        }
    }
    return text;
}

} // namespace

void prepare(QWidget *window)
{
    UsedKeys used;
    QString frameKeys;
    QList<Caption> captions;
    auto *ownKeys = new OwnKeys(window);
    auto note = [&](const QString &text, const QWidget *control, bool mayShare,
                    std::function<void(const QString &)> write) {
        const QChar key = accessKey(text);
        const QWidget *page = control ? UsedKeys::pageOf(control) : nullptr;
        if (!key.isNull()) {
            used.take(key, page);
            if (!mayShare)
                used.fixed.append(key);
        } else if (write)
            captions.append({text, page, mayShare, std::move(write)});
    };
    // The frame's menu bar keeps its keys (Alt+F stays its File menu), except where the window's
    // own menus and buttons already use them.
    const QList<QMenuBar *> frameBars =
        window->window()->findChildren<QMenuBar *>(Qt::FindDirectChildrenOnly);
    for (const QMenuBar *bar : frameBars) {
        if (bar->window() != window) {
            for (const QAction *menu : bar->actions()) {
                frameKeys += accessKey(menu->text());
                note(menu->text(), nullptr, false, nullptr);
            }
        }
    }
    for (QMenuBar *bar : window->findChildren<QMenuBar *>()) {
        for (QAction *menu : bar->actions()) {
            note(menu->text(), nullptr, false, nullptr);
            if (const QChar key = accessKey(menu->text()); !key.isNull() && frameKeys.contains(key))
                ownKeys->add(key, [bar, menu] {
                    if (!menu->isEnabled())
                        return false;
                    bar->setActiveAction(menu);
                    return true;
                });
        }
    }
    // Tabs first, then option buttons, then the labels of the fields, each in reading order.
    const QList<QTabWidget *> tabWidgets = window->findChildren<QTabWidget *>();
    for (QTabWidget *tabs : tabWidgets) {
        keepTabKeys(tabs);
        for (int index = 0; index < tabs->count(); ++index)
            note(tabs->tabText(index), tabs, false,
                 [tabs, index](const QString &text) { tabs->setTabText(index, text); });
    }
    const QList<QAbstractButton *> buttons = window->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        const bool option = qobject_cast<QRadioButton *>(button) || qobject_cast<QCheckBox *>(button);
        note(button->text(), button, option,
             option ? std::function<void(const QString &)>(
                          [button](const QString &text) { button->setText(text); })
                    : nullptr);
        if (const QChar key = accessKey(button->text()); !key.isNull() && frameKeys.contains(key))
            ownKeys->add(key, [button] {
                if (!button->isVisible() || !button->isEnabled())
                    return false;
                button->click();
                return true;
            });
    }
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->buddy() && label->textFormat() != Qt::RichText)
            note(label->text(), label, true, [label](const QString &text) { label->setText(text); });
    }
    // The window's own keys first, then each page's.
    std::stable_sort(captions.begin(), captions.end(),
                     [](const Caption &a, const Caption &b) { return !a.page && b.page; });
    for (const Caption &caption : std::as_const(captions)) {
        const QString marked = withKey(caption, used);
        if (marked != caption.text)
            caption.write(marked);
    }
}

void addShortcut(QAbstractButton *button, const QKeySequence &key)
{
    auto *shortcut = new QShortcut(key, button);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isVisible() && button->isEnabled())
            button->click();
    });
    if (!button->toolTip().isEmpty())
        button->setToolTip(button->toolTip() + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
                           QLatin1Char(')'));
}

void keepTabKeys(QTabWidget *tabs)
{
    if (tabs->property("keepsTabKeys").toBool())
        return;
    tabs->setProperty("keepsTabKeys", true);
    new TabKeys(tabs);
}

} // namespace Keyboard
