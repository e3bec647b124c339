#include "shell/Prompt.h"
#include "store/VM_Library.h"
#include "store/VmError.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumar"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vellumar"));

    std::unique_ptr<VM_Library> library;
    try {
        library = std::make_unique<VM_Library>();
    } catch (const VmError &error) {
        Prompt::message(nullptr, error.description.trimmed());
        return 1;
    }

    QMainWindow frame;
    frame.setObjectName(QStringLiteral("MDI_Main"));
    frame.setWindowTitle(
        QStringLiteral(" Vellumar, Version %1.%2").arg(VELLUMAR_VERSION_MAJOR).arg(VELLUMAR_VERSION_MINOR));
    frame.resize(1024, 700);
    frame.show();
    return app.exec();
}
