#include "shell/ShellArt.h"
#include "shell/Startup.h"
#include "store/AppFolder.h"
#include "widgets/Constants.h"
#include "widgets/Prompt.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Any command-line text ends the program quietly. That is decided before Qt starts, so
    // Qt's own options count too and no display is needed to end.
    QStringList commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    if (!commandLine.isEmpty())
        return Constants::Main(commandLine);

    // Qt's own dialogs, never a desktop's in this process: a desktop's file dialog looks into the
    // files it lists, the library's journals among them, and closing such a file drops the locks
    // of every connection of the program to it.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumar"));
    QApplication::setApplicationVersion(Constants::versionNumber());
    QApplication::setWindowIcon(ShellArt::windowIcon());
    // An installed program gives each user a library of their own on the first start. When
    // that fails, the frame's own message about the missing library follows this one.
    if (const QString problem = prepareAppFolder(); !problem.isEmpty())
        Prompt::message(nullptr, problem);
    return Constants::Main({});
}
