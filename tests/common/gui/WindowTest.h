#pragma once

#include "QtPrinters.h"
#include "ScriptedPrompt.h"
#include "TestLibrary.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

class Frm_Browser;
class MDI_Main;
class ListView;
class QMenu;
class QWidget;

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

    TestLibrary library;
    ScriptedPrompt prompt;

private:
    std::unique_ptr<MDI_Main> m_frame;
};

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
