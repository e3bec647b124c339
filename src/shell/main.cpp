#include "shell/Constants.h"
#include "shell/ShellArt.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumar"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vellumar"));
    QApplication::setApplicationVersion(Constants::versionNumber());
    QApplication::setWindowIcon(ShellArt::windowIcon());
    // Qt has taken its own options out of the arguments; anything left ends the program.
    return Constants::Main(QCoreApplication::arguments().mid(1));
}
