#include "Installed.h"

#include <QProcess>

std::string ProcessRun::report() const
{
    return QStringLiteral("exit %1%2\n--- out\n%3--- err\n%4")
        .arg(exitCode)
        .arg(finished ? QString() : QStringLiteral(" (did not finish)"), out, err)
        .toStdString();
}

ProcessRun runProgram(const QString &program, const QStringList &arguments,
                      const QProcessEnvironment &environment, const QString &workingFolder, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    ProcessRun run;
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError()) + process.errorString();
    return run;
}

QString buildFolder()
{
    return QStringLiteral(VELLUMAR_BUILD_DIR);
}

QString cmakeCommand()
{
    return QStringLiteral(VELLUMAR_CMAKE);
}

QString cpackCommand()
{
    return QStringLiteral(VELLUMAR_CPACK);
}

QString appId()
{
    return QStringLiteral("org.example.vellumar.Vellumar");
}

QProcessEnvironment freshUser(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"VELLUMAR_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "DISPLAY",
                             "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("VELLUMAR_CLOSE_AFTER_START"), QStringLiteral("1"));
    return environment;
}
