#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a reader took from an exchange file. A file that breaks off part way still yields the
// lines before the fault, with error saying what is wrong and on which line.
struct ExchangeContent
{
    QStringList caster;        // the 13 caster fields; empty unless a valid caster line was read
    QList<QStringList> spells; // the first 16 fields of each spell line, in file order
    QString error;             // empty when the whole file was read
    // The header was valid, so a spellbook file's caster line was read or failed to read.
    bool casterLineReached = false;
    // The header and the number of spells were valid: whatever follows is this file's content.
    bool headerRead = false;
    // Lines left out while the rest of the file was read: the first few messages, each naming
    // its line, and how many there were in all.
    QStringList refused;
    int refusedCount = 0;
};

// Parses exchange files without trusting them: the count is never used to size anything, and
// every fault ends the reading with a message that names the line.
class ExchangeReader
{
public:
    enum class Kind { SpellsFile, SpellbookFile };

    static ExchangeContent parse(QByteArrayView bytes, Kind kind);
    // The bytes of a file; throws VmError (source "read") when it cannot be read.
    static QByteArray load(const QString &path);

    // Files larger than this are refused before they are read: a spells file of the whole
    // delivered library is a few hundred kilobytes, one of 10,000 spells a few megabytes. Each
    // byte read takes several in memory once it is a list of spells to import.
    static constexpr qint64 kMaximumFileSize = qint64(64) * 1024 * 1024;
    // Reading stops with a message after this many spell lines, whatever the file announces.
    static constexpr int kMaximumSpells = 200000;
    // A spell line with more schools than this is left out: no spell has that many, and each
    // would be a row of the library.
    static constexpr int kMaximumSchools = 64;
    // Messages kept for lines left out; the others are only counted.
    static constexpr int kRefusalsShown = 10;
};
