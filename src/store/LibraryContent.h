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
