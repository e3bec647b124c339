#include "ReportTest.h"

#include "store/Database.h"

#include <QDir>
#include <QFile>

ReportTest::ReportTest()
{
    library.addReportFiles();
}

QString ReportTest::writeReport(const QString &fileName, const QString &content)
{
    const QString path = ReportEngine::reportPath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.write(content.toUtf8());
    return path;
}

void ReportTest::exec(const QString &sql)
{
    library.db().exec(sql.toUtf8().constData());
}

void ReportTest::run(const QString &fileName, ReportEngine::Destination destination,
                     const QStringList &subreports)
{
    ReportEngine engine(&owner);
    engine.setReportFileName(ReportEngine::reportPath(fileName));
    engine.setPassword(QString::fromLatin1(kLibraryPassword));
    for (const QString &subreport : subreports) {
        engine.setSubreportToChange(subreport);
        engine.setPassword(QString::fromLatin1(kLibraryPassword));
    }
    engine.setSubreportToChange(QString());
    engine.setDestination(destination);
    engine.start();
}
