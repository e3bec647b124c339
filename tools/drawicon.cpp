// vellumar-drawicon: paints the program's emblem into PNG files for the desktop's icon theme.
//
//   vellumar-drawicon SIZE OUTPUT.png [SIZE OUTPUT.png ...]
//
// The icons come from the same painting as the window icon, so the menu shows what the
// program shows.

#include "shell/ShellArt.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // A build machine has no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    QTextStream err(stderr);
    if (arguments.isEmpty() || arguments.size() % 2 != 0) {
        err << "usage: vellumar-drawicon SIZE OUTPUT.png [SIZE OUTPUT.png ...]\n";
        return 2;
    }
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        bool isNumber = false;
        const int size = arguments.at(i).toInt(&isNumber);
        if (!isNumber || size < 1 || size > 1024) {
            err << "not an icon size: " << arguments.at(i) << '\n';
            return 2;
        }
        if (!ShellArt::emblem(size).save(arguments.at(i + 1), "PNG")) {
            err << "cannot write " << arguments.at(i + 1) << '\n';
            return 1;
        }
    }
    return 0;
}
