#include "shell/Constants.h"

#include "shell/Frm_Open.h"
#include "shell/MDI_Main.h"

#include <QApplication>

#include <memory>

namespace Constants {

bool Previews_Maximized = true;
QString Browser_Tooltip_Text;
QString Active_Browser_Name;

QString browserTooltip()
{
    return QStringLiteral(
        "Drag Spells from another Spellbook or from the Search Form to add spells to this Spellbook");
}

QString versionNumber()
{
    return QStringLiteral("%1.%2").arg(VELLUMAR_VERSION_MAJOR).arg(VELLUMAR_VERSION_MINOR);
}

int Main(const QStringList &commandLine)
{
    if (!commandLine.isEmpty())
        return 0;

    std::unique_ptr<MDI_Main> frame;
    Frm_Open splash([&frame] {
        frame = std::make_unique<MDI_Main>();
        if (!frame->MDIForm_Load()) {
            frame.reset();
            return false;
        }
        frame->show();
        return true;
    });
    splash.show();
    const int exitCode = QApplication::exec();
    // The frame's windows go before the application does.
    frame.reset();
    return exitCode;
}

} // namespace Constants
