#include "shell/Constants.h"
#include "shell/ShellArt.h"

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

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumar"));
    QApplication::setApplicationVersion(Constants::versionNumber());
    QApplication::setWindowIcon(ShellArt::windowIcon());
    return Constants::Main({});
}
