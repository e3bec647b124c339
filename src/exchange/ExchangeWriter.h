#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Builds an exchange file in memory and writes it in one piece. A value the format cannot carry
// ("||" inside a field, a line break outside the description, "~~" inside a school) refuses the
// whole file before anything is written, naming the record and the field.
class ExchangeWriter
{
public:
    // The caster line of a spellbook file: its 13 values, blanks already removed.
    void setCaster(const QStringList &fields);
    // A spell line from the values of fields 0 to 14 (blanks already removed) and the schools.
    void addSpell(const QStringList &fields, const QStringList &schools);

    int spellCount() const { return m_spellCount; }
    QByteArray content() const;
    // Replaces the file at path only once everything is written: a failure part way (a full
    // disk, no permission) leaves any earlier file of that name as it was.
    void save(const QString &path) const;

private:
    std::optional<QString> m_casterLine;
    // The spell lines one after the other, each with its line end: one growing text rather than
    // a string per line.
    QString m_spellLines;
    int m_spellCount = 0;
};
