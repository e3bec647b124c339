#pragma once

#include "BrowserFixture.h"
#include "Clicks.h"

#include "browse/Frm_Browser.h"
#include "browse/Frm_Unlearned.h"
#include "browse/VM_DragDropAssistant.h"
#include "maintain/Frm_Search.h"
#include "shell/MDI_Main.h"
#include "widgets/ListView.h"
#include "widgets/OpenWindows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The browser scenarios' library, with the search window and the failed-spells window.
class SearchTest : public BrowserTest
{
protected:
    // The search window, opened (or brought forward) by the frame's menu entry.
    Frm_Search *openSearch()
    {
        chooseMenuEntry(&frame(), "Main_Manage_Search");
        return OpenWindows::named<Frm_Search>(frame().area(), "Frm_Search");
    }

    Frm_Unlearned *unlearnedWindow()
    {
        return OpenWindows::named<Frm_Unlearned>(frame().area(), "Frm_Unlearned");
    }

    // Types the text, clicks the field and mode options, picks the scope and clicks "Search".
    static void search(Frm_Search *window, const QString &text, const char *field = "Opt_Name",
                       const char *mode = "optAny", const QString &scope = "KXR")
    {
        auto *box = control<QLineEdit>(window, "Txt_Search");
        box->clear();
        QTest::keyClicks(box, text);
        clickOption(control<QRadioButton>(window, QLatin1String(field)));
        clickOption(control<QRadioButton>(window, QLatin1String(mode)));
        auto *scopes = control<QComboBox>(window, "Cmb_Type");
        scopes->setCurrentIndex(scopes->findText(scope));
        QTest::mouseClick(control<QPushButton>(window, "Cmd_Search"), Qt::LeftButton);
    }

    // A click on the option's round button, where a user aims.
    static void clickOption(QRadioButton *option)
    {
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
        EXPECT_TRUE(option->isChecked()) << option->objectName().toStdString();
    }

    static ListView *hitsOf(const Frm_Search *window) { return control<ListView>(window, "LV_Search"); }
    static ListView *failedOf(const Frm_Unlearned *window) { return control<ListView>(window, "LV_Spells"); }

    static QStringList comboTexts(const QWidget *window, const QString &name)
    {
        QStringList texts;
        const auto *combo = control<QComboBox>(window, name);
        for (int i = 0; i < combo->count(); ++i)
            texts.append(combo->itemText(i));
        return texts;
    }

    static void selectRows(ListView *list, const QStringList &names)
    {
        list->clearSelection();
        for (int row = 0; row < list->rowCount(); ++row) {
            if (names.contains(list->text(row)))
                list->setRowSelected(row, true);
        }
    }

    // A drag that ends on a list, as the platform delivers it: the source packs, the target
    // takes the drop, the source ends its drag.
    template<typename Source>
    static void dragOnto(Source *from, bool (Source::*start)(), void (Source::*complete)(), ListView *target)
    {
        ASSERT_TRUE((from->*start)());
        dropOnList(target);
        (from->*complete)();
    }
};
