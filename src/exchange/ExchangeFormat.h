#pragma once

#include <QStringView>

// The layout shared by spells files (.spel) and spellbook files (.sbok): a header line, the
// number of spell lines, a caster line in spellbook files only, then the spell lines. Fields
// are joined by "||", a spell's schools by "~~", and a description's line breaks become "^^".
namespace ExchangeFormat {

inline constexpr QStringView kHeader = u"For Vellumar Use Only";
inline constexpr QStringView kFieldSeparator = u"||";
inline constexpr QStringView kSchoolSeparator = u"~~";
inline constexpr QStringView kLineBreak = u"^^";
inline constexpr QStringView kLineEnd = u"\r\n";

inline constexpr int kCasterFields = 13;
inline constexpr int kSpellFields = 16;

// Positions of the fields of a spell line.
enum SpellField {
    Name,
    Level,
    Frequency,
    InSchool, // written from the library, never read back
    Book,
    Page,
    Components,
    Range,
    Duration,
    AreaOfEffect,
    CastingTimeType,
    CastingTime,
    SavingThrow,
    Description,
    Author,
    Schools,
};

// The casting-time units a reader accepts; any other value reads as an empty unit.
inline constexpr QStringView kCastingTimeTypes[] = {u"Segment(s)", u"Round(s)", u"Turn(s)",
                                                    u"Hour(s)",    u"Day(s)",   u"Special"};

} // namespace ExchangeFormat
