#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the build's own tools and the installed program as separate processes, as a user's
// machine would.
struct ProcessRun
{
    int exitCode = -1;
    QString out;
    QString err;
    bool finished = false;

    bool ok() const { return finished && exitCode == 0; }
    std::string report() const;
};

ProcessRun runProgram(const QString &program, const QStringList &arguments,
                      const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                      const QString &workingFolder = {}, int timeoutMs = 60000);

// Where `cmake --install` would take its files from, and the build's cmake and cpack.
QString buildFolder();
QString cmakeCommand();
QString cpackCommand();

// The id the menu entry, the metainfo and the icons share.
QString appId();

// A fresh user: a home of their own, no $VELLUMAR_HOME, no XDG folders pointing elsewhere,
// no display; the program ends as soon as its frame is up.
QProcessEnvironment freshUser(const QString &home);
