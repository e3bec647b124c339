#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the second program of the tests (or any other) on a library folder and waits for it;
// returns what it printed on both channels and its exit code, "exit N: text".
inline QString runProgram(const QString &program, const QStringList &arguments, const QString &folder,
                          const QByteArray &input = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELLUMAR_HOME"), folder);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return QStringLiteral("not started: ") + process.errorString();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return QStringLiteral("exit %1: %2")
        .arg(process.exitCode())
        .arg(QString::fromUtf8(process.readAll()).trimmed());
}

inline QString runPeer(const QStringList &arguments, const QString &folder)
{
    return runProgram(QStringLiteral(LIBRARY_PEER), arguments, folder);
}

// The plain SQLCipher shell, as a user or a backup tool would run it on the library.
inline QString runShell(const QString &path, const QByteArray &sql)
{
    return runProgram(QStringLiteral("sqlcipher"), {path}, QString(),
                      "PRAGMA key = 'wyvern4';\nPRAGMA cipher_page_size = 4096;\n" + sql + "\n");
}
