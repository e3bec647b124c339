#pragma once

#include <QString>

// The folder that holds the program, its library file Spells.mdb, the report layouts and
// "Read Me.txt". setAppFolder() wins over $VELLUMAR_HOME, which wins over the executable's folder.
QString appFolder();
void setAppFolder(const QString &folder);

// Full path of the library file in the application folder.
QString libraryPath();
