// The frame's search and failed-spells windows, and the popup commands of their lists.

#include "shell/MDI_Main.h"

#include "browse/Frm_Browser.h"
#include "browse/Frm_Unlearned.h"
#include "maintain/Frm_Search.h"
#include "scrolls/Frm_Scrolls.h"
#include "widgets/BusyCursor.h"
#include "widgets/Constants.h"
#include "widgets/OpenWindows.h"

#include <QLineEdit>

#include <memory>

// The search window, the failed-spells window and the scroll manager: one of each, and their
// popup menus.

namespace {

const QString kSearch = QStringLiteral("Frm_Search");
const QString kUnlearned = QStringLiteral("Frm_Unlearned");

} // namespace

template<typename Window>
void MDI_Main::routeToOpen(const QString &name, void (Window::*command)())
{
    if (Window *window = OpenWindows::named<Window>(m_area, name))
        (window->*command)();
}

void MDI_Main::Main_Manage_Search_Click()
{
    Frm_Search *search = OpenWindows::named<Frm_Search>(m_area, kSearch);
    if (search) {
        OpenWindows::bringToFront(search);
    } else {
        auto created = std::make_unique<Frm_Search>();
        if (!created->Initialize(*this))
            return;
        search = created.get();
        showChild(created.release());
    }
    // Ctrl+F means "let me type what to find": the text is ready to be typed over.
    if (auto *text = search->findChild<QLineEdit *>(QStringLiteral("Txt_Search"))) {
        text->setFocus(Qt::ShortcutFocusReason);
        text->selectAll();
    }
}

void MDI_Main::Main_Tools_Unlearned_Click()
{
    // The failed spells of the caster whose browser was used last.
    const Frm_Browser *browser = activeBrowser();
    showUnlearned(browser ? browser->tag() : Constants::Active_Browser_Name);
}

void MDI_Main::showUnlearned(const QString &caster)
{
    if (auto *unlearned = OpenWindows::named<Frm_Unlearned>(m_area, kUnlearned)) {
        unlearned->showCaster(caster);
        OpenWindows::bringToFront(unlearned);
        return;
    }
    BusyCursor busy;
    auto unlearned = std::make_unique<Frm_Unlearned>();
    if (!unlearned->Initialize(*this, caster))
        return;
    showChild(unlearned.release());
}

void MDI_Main::Private_Search_View_Click()
{
    routeToOpen(kSearch, &Frm_Search::S_Menu_View_Click);
}

void MDI_Main::Private_Search_Manage_Click()
{
    routeToOpen(kSearch, &Frm_Search::S_Menu_Manage_Click);
}

void MDI_Main::Private_Search_Export_Click()
{
    routeToOpen(kSearch, &Frm_Search::S_Menu_Export_Click);
}

void MDI_Main::Private_Search_Deck_Click()
{
    routeToOpen(kSearch, &Frm_Search::S_Menu_Deck_Click);
}

void MDI_Main::Private_Unlearned_View_Click()
{
    routeToOpen(kUnlearned, &Frm_Unlearned::U_Menu_View_Click);
}

void MDI_Main::Private_Unlearned_Manage_Click()
{
    routeToOpen(kUnlearned, &Frm_Unlearned::U_Menu_Manage_Click);
}

void MDI_Main::Private_Unlearned_Remove_Click()
{
    routeToOpen(kUnlearned, &Frm_Unlearned::U_Menu_Remove_Click);
}

void MDI_Main::Private_Unlearned_Learned_Click()
{
    routeToOpen(kUnlearned, &Frm_Unlearned::U_Menu_Read_Click);
}

void MDI_Main::Private_Scroll_View_Click()
{
    routeToOpen(QStringLiteral("Frm_Scrolls"), &Frm_Scrolls::B_Menu_View_Click);
}

void MDI_Main::Private_Scroll_Manage_Click()
{
    routeToOpen(QStringLiteral("Frm_Scrolls"), &Frm_Scrolls::B_Menu_Manage_Click);
}

void MDI_Main::Private_Scroll_Remove_Click()
{
    routeToOpen(QStringLiteral("Frm_Scrolls"), &Frm_Scrolls::B_Menu_Remove_Click);
}
