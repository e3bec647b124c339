#pragma once

// Everything a window test works with: the frame, its windows' controls, the clicks and keys.
#include "Clicks.h"
#include "Controls.h"
#include "QtPrinters.h"
#include "ScriptedPrompt.h"
#include "TestLibrary.h"

#include "browse/Frm_Browser.h"
#include "browse/Frm_Spell.h"
#include "shell/MDI_Main.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/Constants.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListView.h"
#include "widgets/OpenWindows.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

#include <memory>

// A whole-window test: a library of its own, Prompt scripted, and the main frame loaded on
// that library at first use, as the program shows it.
class WindowTest : public ::testing::Test
{
protected:
    WindowTest();
    ~WindowTest() override;

    MDI_Main &frame();
    // Opens a spellbook through the frame's Spellbooks drop-down, as a click on the entry does.
    Frm_Browser *openBrowser(const QString &spellbook);
    // The browsers open in the frame, in the order they were opened.
    QList<Frm_Browser *> openBrowsers();
    // Chooses an entry of the frame's menus and gives the window of that kind it opened or brought
    // forward (such a window is named after its class); fails the test when there is none.
    template<typename Window>
    Window *openFromMenu(const QString &entry)
    {
        chooseMenuEntry(&frame(), entry);
        auto *window =
            OpenWindows::named<Window>(frame().area(), QLatin1String(Window::staticMetaObject.className()));
        if (!window)
            ADD_FAILURE() << entry.toStdString() << " opened no window";
        return window;
    }

    TestLibrary library;
    ScriptedPrompt prompt;

private:
    std::unique_ptr<MDI_Main> m_frame;
};

// Runs steps on the modal dialog of that kind once it is up (the command that opens it waits in
// it), and fails the test when none came up or the steps leave it open (it is closed then). The
// steps die with the context, so a dialog that never came up is not answered in a later test.
template<typename Dialog>
void whenDialogIsUp(QObject *context, const std::function<void(Dialog *)> &steps)
{
    QTimer::singleShot(0, context, [steps] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no dialog came up";
        steps(dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            dialog->reject();
        }
    });
}

// A child control by name; fails the test when there is none.
template<typename Control>
Control *control(const QObject *window, const QString &name)
{
    auto *found = window->findChild<Control *>(name);
    if (!found)
        ADD_FAILURE() << "no control named " << name.toStdString();
    return found;
}

// The texts of one column of a list view, top to bottom.
QStringList columnTexts(const ListView *list, int column = 0);
// Each row's columns joined with "|".
QStringList rowTexts(const ListView *list);
// The texts of a status bar's panels (its labels), in order, "" for a hidden one.
QStringList panelTexts(const QWidget *window, const QString &statusBar);
// Lets a window's running status timer ("Timer1") run out now, as five seconds later.
void letTimerRunOut(const QWidget *window);
// The entries of a menu: texts, separators as "-".
QStringList menuTexts(const QMenu *menu);
// The texts of the selected items of a list box.
QStringList selectedItems(const QWidget *window, const QString &listBox);
