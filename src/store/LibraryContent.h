#pragma once

#include <QString>

class Connection;

struct LibraryContentSummary
{
    int schools = 0;
    int spells = 0;
    int casters = 0;
};

// Loads the delivered content of a folder (schools.json, spells/level-*.json and the optional
// casters.json, described in
// data/library/README.md) into a library made by createSchema, in one transaction. Content that
// breaks the library's rules (unknown level, frequency, component or casting-time unit, unknown
// school, duplicate name, "||" or "~~" in a value) is refused with a message naming the file and
// the spell, and nothing is written.
LibraryContentSummary loadLibraryContent(Connection &connection, const QString &folder);

// Makes a library file at output from the content of a folder. The file is built beside output
// under a temporary name and moved into place only when complete, so a failure leaves no file
// that could later be opened as a whole library. An existing output is refused.
LibraryContentSummary makeLibraryFile(const QString &output, const QString &folder);
