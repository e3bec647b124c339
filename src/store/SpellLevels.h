#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Spell levels, written once: how many there are, what they are called, and the caster columns
// that hold a number for each.
namespace SpellLevels {

// Levels run from 1 to kCount.
inline constexpr int kCount = 9;

// Something kept for each level, at index level - 1.
template<typename T>
using PerLevel = std::array<T, kCount>;

// Whether a number is a spell level.
constexpr bool isLevel(int level)
{
    return level >= 1 && level <= kCount;
}

// The level a text names ("3", " 3 "), or no value for anything else.
std::optional<int> levelOf(const QString &text);

// 1 -> "1st", 2 -> "2nd", 3 -> "3rd", 4 -> "4th" ... 9 -> "9th".
QString ordinal(int level);
// "1st" to "9th", in level order.
const QStringList &ordinals();

// The caster's columns, one a level: "First" to "Ninth".
const QStringList &columnNames();
// The same, joined for a statement: "First, Second, ..., Ninth".
QString columnList();

// A caster's record as a statement reads and writes it, in this order: the spellbook's name, the
// caster's level, race and class, then the figure for each spell level.
inline constexpr int kCasterColumnCount = 4 + kCount;
QString casterColumnList();

// A caster's figure for a level, as typed in the caster's record: how many spells of that level the
// caster can hold. A whole number of 0 or more is that figure; anything else (empty, text, a
// negative number) sets none. The two readings below follow from this one: a book without a figure
// has no limit at that level, and a day without a figure starts with no slots.
std::optional<int> casterFigure(const QString &field);

} // namespace SpellLevels
