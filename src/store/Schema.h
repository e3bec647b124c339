#pragma once

#include <QString>
#include <QStringList>

class Connection;

// The frequency scale, rarest last; FrequencyID counts from 1 in this order.
extern const char *const kFrequencies[6];

// The values a spell's frequency, components and casting-time unit may take, in the order the
// lists that offer them show them; the library's content is checked against the same lists.
const QStringList &frequencyNames();
const QStringList &componentSets();
const QStringList &castingTimeTypes();

// Makes an empty library file at path: every table, the saved query AddSpheres, the indexes
// and the frequency scale; no schools and no spells. Refuses a path that already exists.
void createLibrary(const QString &path);

// The same on an already created, empty, keyed connection (used by the library tool, which
// goes on to load the delivered content over the same connection).
void createSchema(Connection &connection);

// Adds the project's indexes that a library made by another tool lacks, for the tables it has,
// in one transaction; does nothing when they are all there. Throws VmError when they cannot be
// made.
void createMissingIndexes(Connection &connection);

// Brings a library made by an older version up to date; called on the first connection that may
// write to it while the process has it open. Does nothing to a library that is up to date.
void upgradeLibrary(Connection &connection);

// Adds the tables of memorized spells (the day, its slots, its plans) to a library that lacks
// them. Does nothing to a file that is not a library yet (one being created) or already has them.
// Throws VmError.
void addMemorizedTable(Connection &connection);
