// vellumar-makedb: makes a library file from the delivered content.
//
//   vellumar-makedb [--keep-existing] OUTPUT.mdb CONTENT-FOLDER
//
// The library is built beside OUTPUT under a temporary name and moved into place only when
// complete. An existing OUTPUT is never overwritten: with --keep-existing that is success.

#include "store/LibraryContent.h"
#include "store/VmError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool keepExisting = arguments.removeAll(QStringLiteral("--keep-existing")) > 0;
    QTextStream err(stderr);
    QTextStream out(stdout);
    if (arguments.size() != 2) {
        err << "usage: vellumar-makedb [--keep-existing] OUTPUT.mdb CONTENT-FOLDER\n";
        return 2;
    }
    const QString output = arguments.at(0);
    const QString folder = arguments.at(1);

    if (keepExisting && QFileInfo::exists(output)) {
        out << "Keeping the existing library " << output << '\n';
        return 0;
    }

    try {
        const LibraryContentSummary summary = makeLibraryFile(output, folder);
        out << "Made " << output << ": " << summary.schools << " schools, " << summary.spells << " spells, "
            << summary.casters << " casters\n";
        return 0;
    } catch (const VmError &error) {
        err << "vellumar-makedb: " << error.description << '\n';
        return 1;
    }
}
