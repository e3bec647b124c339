#include "WindowTest.h"

#include "Clicks.h"

#include "browse/Frm_Browser.h"
#include "shell/MDI_Main.h"
#include "widgets/Constants.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/OpenWindows.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

WindowTest::WindowTest()
{
    Constants::Active_Browser_Name.clear();
    // Whatever a command is doing, nothing it asks or says stands beside a stale progress text.
    prompt.onShow = [this] {
        if (m_frame) {
            EXPECT_EQ(m_frame->statusPanel(2)->text(), QString()) << "a prompt shown beside a progress text";
        }
    };
}

WindowTest::~WindowTest()
{
    m_frame.reset();
}

MDI_Main &WindowTest::frame()
{
    if (!m_frame) {
        m_frame = std::make_unique<MDI_Main>();
        EXPECT_TRUE(m_frame->MDIForm_Load());
        m_frame->show();
    }
    return *m_frame;
}

Frm_Browser *WindowTest::openBrowser(const QString &spellbook)
{
    chooseEntry(&frame(), "Browser", spellbook);
    Frm_Browser *browser = OpenWindows::find<Frm_Browser>(
        frame().area(), [&spellbook](const Frm_Browser *b) { return b->tag() == spellbook.trimmed(); });
    if (!browser)
        ADD_FAILURE() << "no browser opened for " << spellbook.toStdString();
    return browser;
}

QList<Frm_Browser *> WindowTest::openBrowsers()
{
    return OpenWindows::all<Frm_Browser>(frame().area());
}

QStringList columnTexts(const ListView *list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->rowCount(); ++row)
        texts.append(list->text(row, column));
    return texts;
}

QStringList rowTexts(const ListView *list)
{
    QStringList texts;
    for (int row = 0; row < list->rowCount(); ++row) {
        QStringList columns;
        for (int column = 0; column < list->rows()->columnCount(); ++column)
            columns.append(list->text(row, column));
        texts.append(columns.join(QLatin1Char('|')));
    }
    return texts;
}

void letTimerRunOut(const QWidget *window)
{
    auto *timer = window->findChild<QTimer *>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->isActive()) << "no message is waiting for the timer";
    timer->start(0);
    // What the timer does may close its window, and the wait deletes what was closed.
    const QPointer<QTimer> running(timer);
    EXPECT_TRUE(QTest::qWaitFor([&running] { return !running || !running->isActive(); }, 2000));
}

QStringList panelTexts(const QWidget *window, const QString &statusBar)
{
    QStringList texts;
    const auto *bar = window->findChild<QStatusBar *>(statusBar);
    if (!bar) {
        ADD_FAILURE() << "no status bar named " << statusBar.toStdString();
        return texts;
    }
    const QList<QLabel *> panels = bar->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    for (const QLabel *panel : panels) {
        if (panel->objectName().startsWith(QStringLiteral("Panel")))
            texts.append(panel->isVisibleTo(bar) ? panel->text() : QString());
    }
    return texts;
}

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    const QList<QAction *> actions = menu->actions();
    for (const QAction *action : actions)
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QStringList selectedItems(const QWidget *window, const QString &listBox)
{
    QStringList texts;
    const auto *list = window->findChild<QListWidget *>(listBox);
    if (!list) {
        ADD_FAILURE() << "no list box named " << listBox.toStdString();
        return texts;
    }
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            texts.append(list->item(row)->text());
    }
    return texts;
}
