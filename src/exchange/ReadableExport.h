#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Spells written for people and for other programs rather than for another library: Markdown
// (one section per spell, grouped by level, for a wiki or a forum) and JSON (named fields, the
// layout described in data/spells.schema.json). It takes the same values as the exchange
// writer and saves the same way, in one piece.
class ReadableExport
{
public:
    enum class Format { Markdown, Json };

    // The format a file name asks for by its extension (.md, .markdown, .json); none for any
    // other name, which gets the exchange file.
    static std::optional<Format> formatOf(const QString &path);

    explicit ReadableExport(Format format);

    // The caster of a spellbook export: the 13 values of an exchange caster line.
    void setCaster(const QStringList &fields);
    // The values of an exchange spell line (fields 0 to 14) and the spell's schools.
    void addSpell(const QStringList &fields, const QStringList &schools);

    QByteArray content() const; // UTF-8
    // Throws VmError; an earlier file of that name is left as it was on failure.
    void save(const QString &path) const;

private:
    struct Spell
    {
        QStringList fields;
        QStringList schools;
    };

    QByteArray markdown() const;
    QByteArray json() const;

    Format m_format;
    std::optional<QStringList> m_caster;
    QList<Spell> m_spells;
};
