// The frame's child windows: what opens a spellbook, a card, the maintenance windows, the
// memorized and scroll windows, and how a new child window is shown.

#include "shell/MDI_Main.h"

#include "browse/Frm_Browser.h"
#include "browse/Frm_Memorized.h"
#include "browse/Frm_Spell.h"
#include "browse/VM_DragDropAssistant.h"
#include "import/Frm_Import.h"
#include "maintain/Frm_ManageSchools.h"
#include "maintain/Frm_ManageSpellbooks.h"
#include "maintain/Frm_ManageSpells.h"
#include "scrolls/Frm_Scrolls.h"
#include "shell/Frm_About.h"
#include "shell/ShellArt.h"
#include "store/AppFolder.h"
#include "store/Blanks.h"
#include "store/Names.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/Constants.h"
#include "widgets/Keyboard.h"
#include "widgets/LibraryEvents.h"
#include "widgets/OpenWindows.h"
#include "widgets/PrintableWindow.h"
#include "widgets/Prompt.h"
#include "widgets/ToolIcons.h"
#include "widgets/WindowArrangement.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

void MDI_Main::openSpellbook(const QString &spellbook)
{
    TB_Main_ButtonMenuClick(spellbook);
}

void MDI_Main::viewSpell(const QString &spell, QWidget *opener)
{
    BusyCursor busy;
    auto *card = new Frm_Spell;
    card->Initialize(spell, opener, *this);
    showChild(card);
}

void MDI_Main::manageSpell(const QString &spell, QWidget *opener)
{
    // Every opener reaches the one window the same way; it needs nothing of the opener.
    Q_UNUSED(opener);
    if (auto *open = OpenWindows::named<Frm_ManageSpells>(m_area, QStringLiteral("Frm_ManageSpells"))) {
        OpenWindows::bringToFront(open);
        if (!spell.trimmed().isEmpty())
            open->showSpell(spell);
        return;
    }
    BusyCursor busy;
    auto window = std::make_unique<Frm_ManageSpells>();
    if (!window->Initialize(*this, spell))
        return;
    showChild(window.release());
}

void MDI_Main::Main_Tools_Spells_Click()
{
    manageSpell(QString(), activeBrowser());
}

void MDI_Main::showMemorized(const QString &caster)
{
    const QString name = trimBlanks(caster);
    if (name.isEmpty())
        return; // no browser has had the focus yet
    if (name == kReservedSpellbook) {
        Prompt::message(this,
                        QStringLiteral("KXR is the whole library, not a caster: it memorizes no spells"));
        return;
    }
    if (auto *open = OpenWindows::find<Frm_Memorized>(
            m_area, [&name](const Frm_Memorized *window) { return window->tag() == name; })) {
        OpenWindows::bringToFront(open);
        return;
    }
    auto window = std::make_unique<Frm_Memorized>();
    BusyCursor busy(m_panel2,
                    QStringLiteral("Retrieving Memorized Spells of ") + name + QStringLiteral("..."));
    if (!window->Initialize(*this, name))
        return;
    showChild(window.release());
}

void MDI_Main::Main_Tools_Memorized_Click()
{
    // The memorized spells of the caster whose browser was used last.
    const Frm_Browser *browser = activeBrowser();
    showMemorized(browser ? browser->tag() : Constants::Active_Browser_Name);
}

QMdiSubWindow *MDI_Main::showChild(QWidget *window)
{
    QMdiSubWindow *subWindow = m_area->addSubWindow(window);
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    Keyboard::prepare(window);
    // The Window menu's Close owns the close keys; a second claim would leave them doing nothing.
    if (QMenu *system = subWindow->systemMenu()) {
        for (QAction *entry : system->actions()) {
            if (entry->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_W)) ||
                entry->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_F4)))
                entry->setShortcuts({});
        }
    }
    subWindow->setWindowIcon(window->windowIcon().isNull() ? windowIcon() : window->windowIcon());
    // The sub-window is as small as the window may get, so that its content is never cut off.
    subWindow->setMinimumSize(subWindow->minimumSizeHint());
    subWindow->adjustSize();
    // A window opens inside the area, staggered from the last one, no larger than the area
    // shows but never below its own minimum.
    subWindow->setGeometry(WindowArrangement::placeNew(m_area, subWindow));
    subWindow->show();
    m_area->setActiveSubWindow(subWindow);
    return subWindow;
}

void MDI_Main::Main_Tools_Scrolls_Click()
{
    if (Frm_Scrolls *open = OpenWindows::named<Frm_Scrolls>(m_area, QStringLiteral("Frm_Scrolls"))) {
        OpenWindows::bringToFront(open);
        return;
    }
    auto window = std::make_unique<Frm_Scrolls>();
    {
        BusyCursor busy;
        if (!window->Initialize(*this))
            return;
    }
    showChild(window.release());
}

namespace {

// Brings the open window of a class forward, or creates, initializes and shows a new one. A
// window that could not load what it shows is not left open.
template<typename Window>
void openSingle(MDI_Main &frame, const QString &name)
{
    if (Window *open = OpenWindows::named<Window>(frame.area(), name)) {
        OpenWindows::bringToFront(open);
        return;
    }
    BusyCursor busy;
    auto window = std::make_unique<Window>();
    if (!window->Initialize(frame))
        return;
    frame.showChild(window.release());
}

} // namespace

void MDI_Main::Main_Tools_Spellbooks_Click()
{
    openSingle<Frm_ManageSpellbooks>(*this, QStringLiteral("Frm_ManageSpellbooks"));
}

void MDI_Main::Main_Tools_Schools_Click()
{
    openSingle<Frm_ManageSchools>(*this, QStringLiteral("Frm_ManageSchools"));
}
