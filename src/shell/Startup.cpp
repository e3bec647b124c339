#include "shell/Startup.h"

#include "shell/Frm_Open.h"
#include "shell/MDI_Main.h"
#include "store/AppFolder.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

#include <memory>

namespace Constants {

namespace {

// $VELLUMAR_CLOSE_AFTER_START lets a test start the installed program and see it come up: the
// frame, once shown, writes its title and its library's path to standard output and ends the
// program. The program takes no command-line text, so the signal has to come this way.
void closeAfterStartWhenAsked(MDI_Main &frame)
{
    if (!qEnvironmentVariableIsSet("VELLUMAR_CLOSE_AFTER_START"))
        return;
    QTimer::singleShot(0, &frame, [&frame] {
        std::printf("%s\n%s\n", qUtf8Printable(frame.windowTitle().trimmed()), qUtf8Printable(libraryPath()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}

} // namespace

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
        closeAfterStartWhenAsked(*frame);
        return true;
    });
    splash.show();
    const int exitCode = QApplication::exec();
    // The frame's windows go before the application does.
    frame.reset();
    return exitCode;
}

} // namespace Constants
