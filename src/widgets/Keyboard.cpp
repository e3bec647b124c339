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

// The frame's Ctrl+Tab (next window) would take the key first: while the focus is inside the
// tabs they claim it, and the tab control turns its tabs as it does on its own.
class TabKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const auto *tabs = qobject_cast<QTabWidget *>(watched);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!tab || !tabs || !(key->modifiers() & Qt::ControlModifier) || tabs->count() < 2)
            return false;
        event->accept();
        return true;
    }
};

// A window inside the frame whose own keys the frame's menu bar claims as well ("&File" of its
// own menu bar, an "&Apply" beside the frame's "&About"): the frame would win. While the focus is
// in the window, its own controls take those keys.
class OwnKeys : public QObject
{
public:
    using Act = std::function<bool()>; // does what the key means; false when it cannot now

    OwnKeys(QWidget *window) : QObject(window), m_window(window) { window->installEventFilter(this); }

    void add(QChar key, Act act) { m_keys.insert(key.toUpper().unicode(), std::move(act)); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const int pressed = key->modifiers() == Qt::AltModifier ? key->key() : 0;
        if (event->type() == QEvent::ShortcutOverride) {
            if (watched != m_window || !m_keys.contains(pressed) ||
                !m_window->isAncestorOf(QApplication::focusWidget()))
                return false;
            // The key press that follows goes to the focused control: it is taken here instead.
            m_pending = pressed;
            qApp->installEventFilter(this);
            event->accept();
            return true;
        }
        if (!m_pending)
            return false;
        qApp->removeEventFilter(this);
        const int pending = std::exchange(m_pending, 0);
        return pressed == pending && m_keys.value(pending)();
    }

private:
    QWidget *m_window;
    QHash<int, Act> m_keys;
    int m_pending = 0;
};

// The keys already taken: those of the whole window, and those of each tab page, where a label
// is reached only while its page shows.
struct UsedKeys
{
    QString window;
    QHash<const QWidget *, QString> pages;

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
                (sharing && (!caption.mayShare || used.window.contains(key))))
                continue;
            used.take(key, caption.page);
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
        if (!key.isNull())
            used.take(key, page);
        else if (write)
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
    tabs->installEventFilter(new TabKeys(tabs));
}

} // namespace Keyboard
