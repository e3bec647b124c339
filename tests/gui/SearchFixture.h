#pragma once

#include "BrowserFixture.h"

#include "browse/Frm_Unlearned.h"
#include "browse/VM_DragDropAssistant.h"
#include "maintain/Frm_Search.h"

#include <QRadioButton>

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
        typeKeys(window, "Txt_Search", text);
        clickOption(control<QRadioButton>(window, QLatin1String(field)));
        clickOption(control<QRadioButton>(window, QLatin1String(mode)));
        chooseItem(window, "Cmb_Type", scope);
        clickButton(window, "Cmd_Search");
    }

    // A click on the option's round button, where a user aims.
    static void clickOption(QRadioButton *option)
    {
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
        EXPECT_TRUE(option->isChecked()) << option->objectName().toStdString();
    }

    static ListView *hitsOf(const Frm_Search *window) { return control<ListView>(window, "LV_Search"); }
    static ListView *failedOf(const Frm_Unlearned *window) { return control<ListView>(window, "LV_Spells"); }

    // A drag of a list's selected rows that ends on another list.
    static void dragOnto(ListView *from, ListView *target)
    {
        EXPECT_TRUE(dragAndDrop(from, target->viewport()));
    }
};
