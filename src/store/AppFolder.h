#pragma once

#include <QString>

// The folder that holds the library file Spells.mdb, the report layouts and "Read Me.txt".
// setAppFolder() wins over $VELLUMAR_HOME, which wins over the program's own folder when that
// holds a library it may write (a build folder, or a copy unpacked somewhere), which wins over
// the user's data folder (an installed program: its own folder is shared and read-only).
QString appFolder();
void setAppFolder(const QString &folder);

// The rule behind appFolder(), apart from where its inputs come from.
QString chooseAppFolder(const QString &variable, const QString &ownFolder, const QString &dataFolder);

// Where an installed program keeps each user's library: ~/.local/share/Vellumar.
QString userDataFolder();

// Where the installation keeps the delivered library, layouts and "Read Me.txt" for the
// first start: share/vellumar beside the program's bin folder.
QString deliveredFolder();

// Gives a data folder what it lacks of the delivered files, copying each missing one, and
// never writes over a file already there: the user's library and layouts are theirs.
// Returns an empty text, or what went wrong.
QString provideDeliveredFiles(const QString &dataFolder, const QString &fromFolder);

// Prepares the application folder for this start: when it is the user's data folder, the
// delivered files it lacks are copied in. Returns an empty text, or what went wrong.
QString prepareAppFolder();

// Full path of the library file in the application folder.
QString libraryPath();
