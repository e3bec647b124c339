#include "browse/Frm_Print.h"

#include "browse/Frm_Browser.h"
#include "browse/PrintCommand.h"
#include "browse/ReportEngine.h"
#include "store/Blanks.h"
#include "store/Database.h"
#include "store/VM_Library.h"
#include "widgets/ListView.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kMinimumWidth = 360;

} // namespace

Frm_Print::Frm_Print(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_Print"));
    setModal(true);

    auto *label =
        new QLabel(QStringLiteral("What name would you like to give to this filtered Spellbook?"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("Txt_Filtered"));
    label->setBuddy(m_name);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *print = buttons->addButton(QStringLiteral("&Print"), QDialogButtonBox::AcceptRole);
    print->setObjectName(QStringLiteral("Cmd_Print"));
    print->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
    // The buttons do the work themselves; the box only lays them out.
    connect(print, &QPushButton::clicked, this, &Frm_Print::Cmd_Print_Click);
    connect(cancel, &QPushButton::clicked, this, &Frm_Print::Cmd_Cancel_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_name);
    layout->addWidget(buttons);
    setMinimumWidth(kMinimumWidth);

    m_crystal = new ReportEngine(this);
}

Frm_Print *Frm_Print::shared(Workspace &workspace)
{
    QWidget *frame = workspace.area()->window();
    auto *dialog = frame->findChild<Frm_Print *>(QStringLiteral("Frm_Print"), Qt::FindDirectChildrenOnly);
    return dialog ? dialog : new Frm_Print(frame);
}

void Frm_Print::Initialize(Frm_Browser *browser, Workspace &workspace, ReportEngine::Destination destination)
{
    m_browser = browser;
    m_workspace = &workspace;
    m_library = &workspace.library();
    m_destination = destination;
    // Each use starts afresh and says what it will do: a preview is not a print.
    const bool preview = destination == ReportEngine::Destination::Window;
    m_name->clear();
    setWindowTitle((preview ? QStringLiteral("Previewing Filtered Spellbook ")
                            : QStringLiteral("Printing Filtered Spellbook ")) +
                   trimBlanks(browser->tag()));
    // The title names the caster: it stands whole beside the title bar's icon and buttons, as far
    // as the screen is wide.
    const QFontMetrics titleMetrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    int titleWidth = titleMetrics.horizontalAdvance(windowTitle()) +
                     4 * style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    if (const QScreen *shownOn = screen())
        titleWidth = std::min(titleWidth, shownOn->availableGeometry().width());
    setMinimumWidth(std::max(kMinimumWidth, titleWidth));
    findChild<QPushButton *>(QStringLiteral("Cmd_Print"))
        ->setText(preview ? QStringLiteral("Pre&view") : QStringLiteral("&Print"));
    m_name->setFocus();
    exec();
}

void Frm_Print::Cmd_Print_Click()
{
    const QString filterName = trimBlanks(m_name->text());
    if (filterName.isEmpty()) {
        Prompt::message(this, QStringLiteral("You must indicate a name for this filtered Spellbook"));
        m_name->setFocus();
        return;
    }
    if (!m_browser || !m_library) {
        unload(); // the browser closed meanwhile: there is no list left to print
        return;
    }

    PrintCommand command(parentWidget(), m_workspace ? m_workspace->progressPanel() : nullptr);
    command.showProgress((m_destination == ReportEngine::Destination::Window
                              ? QStringLiteral("Previewing Filtered Spellbook ")
                              : QStringLiteral("Printing Filtered Spellbook ")) +
                         filterName + QStringLiteral("..."));
    const bool done = command.run([&] {
        hide();

        const QString caster = trimBlanks(m_browser->tag());
        m_library->Print_Filtered_Spellbook(
            rowsOf(m_browser->findChild<ListView *>(QStringLiteral("LV_Spells"))), caster);
        const QString status = m_library->Set_Caster_Hold(caster, filterName);
        if (!status.isEmpty()) {
            command.tell(status);
            return;
        }
        // Previews of a filtered print open at their normal size, whatever the frame's option.
        ReportRequest request{QStringLiteral("filteredspellbook.rpt"), m_destination, QString()};
        request.followPreviewOption = false;
        m_crystal->run(request);
    });
    if (done && m_destination != ReportEngine::Destination::Window)
        unload();
}

void Frm_Print::Cmd_Cancel_Click()
{
    unload();
}

void Frm_Print::reject()
{
    unload();
    QDialog::reject();
}

// The one dialog lives as long as the frame, so previews it opened stay open; unloading it
// hides it and forgets the name, as a dialog loaded afresh would.
void Frm_Print::unload()
{
    hide();
    m_name->clear();
}
