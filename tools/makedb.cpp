// vellumar-makedb: makes a library file from the delivered content.
//
//   vellumar-makedb [--keep-existing] OUTPUT.mdb CONTENT-FOLDER
//
// The library is built beside OUTPUT under a temporary name and moved into place only when
// complete. An existing OUTPUT is never overwritten: with --keep-existing that is success.

#include "store/Database.h"
#include "store/LibraryContent.h"
#include "store/Schema.h"
#include "store/VmError.h"

#include <QCoreApplication>
#include <QFile>
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

    if (QFileInfo::exists(output)) {
        if (keepExisting) {
            out << "Keeping the existing library " << output << '\n';
            return 0;
        }
        err << output << " already exists; a library is never written over.\n";
        return 1;
    }

    const QString partial = output + QStringLiteral(".new");
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(partial + QLatin1String(suffix));
    try {
        LibraryContentSummary summary;
        {
            auto connection = Connection::create(partial);
            createSchema(*connection);
            summary = loadLibraryContent(*connection, folder);
        } // closing the last connection folds the write-ahead log into the file
        if (!QFile::rename(partial, output)) {
            err << "Could not move " << partial << " to " << output << '\n';
            return 1;
        }
        out << "Made " << output << ": " << summary.schools << " schools, " << summary.spells << " spells, "
            << summary.casters << " casters\n";
        return 0;
    } catch (const VmError &error) {
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(partial + QLatin1String(suffix));
        err << "vellumar-makedb: " << error.description << '\n';
        return 1;
    }
}
