#include "store/SpellFields.h"

#include "store/Schema.h"
#include "store/SpellLevels.h"
#include "store/VM_Spell.h"

#include <array>

namespace SpellFields {

namespace {

using C = Control;

const QStringList &noChoices()
{
    static const QStringList none;
    return none;
}

const std::array<FieldDescription, Count> kFields = {{
    {Level, "Lvl", 1, "Level", C::Choice, levelNames, &VM_Spell::Fetch_Spell_Level,
     &VM_Spell::Set_Spell_Level, "Cmbo_Levels", "Level:", "cbo_Level", "Level:"},
    {Frequency, "Frequency", 2, "Frequency", C::Choice, frequencyNames, &VM_Spell::Fetch_Spell_Frequency,
     &VM_Spell::Set_Spell_Frequency, "Cmbo_Frequency", "Frequency:", "", ""},
    {Book, "Book", 4, "Book", C::Line, noChoices, &VM_Spell::Fetch_Spell_Book_Number,
     &VM_Spell::Set_Spell_Book_Number, "txt_Book", "Book:", "txt_Book", "Book:"},
    {Page, "Page", 5, "Page", C::Line, noChoices, &VM_Spell::Fetch_Spell_Page_Number,
     &VM_Spell::Set_Spell_Page_Number, "txt_Page", "Page:", "txt_Page", "Page:"},
    {Components, "Components", 6, "Components", C::Choice, componentSets, &VM_Spell::Fetch_Spell_Components,
     &VM_Spell::Set_Spell_Components, "Cmbo_Components", "Components:", "cbo_Components", "Components:"},
    {Range, "Range", 7, "Range", C::Line, noChoices, &VM_Spell::Fetch_Spell_Range, &VM_Spell::Set_Spell_Range,
     "txt_Range", "Range:", "txt_Range", "Range:"},
    {Duration, "Duration", 8, "Duration", C::Line, noChoices, &VM_Spell::Fetch_Spell_Duration,
     &VM_Spell::Set_Spell_Duration, "txt_Duration", "Duration:", "txt_Duration", "Duration:"},
    {AreaOfEffect, "[Area of Effect]", 9, "Area of Effect", C::Line, noChoices,
     &VM_Spell::Fetch_Spell_Area_of_Effect, &VM_Spell::Set_Spell_Area_of_Effect, "txt_AOE",
     "Area of Effect:", "txt_AOE", "AoE:"},
    {CastingTime, "[Casting Time]", 11, "Casting Time", C::Line, noChoices,
     &VM_Spell::Fetch_Spell_Casting_Time, &VM_Spell::Set_Spell_Casting_Time, "txt_CT",
     "Casting Time:", "txt_CT", "Casting Time:"},
    {CastingTimeType, "[Casting Time Type]", 10, "Casting Time Type", C::Choice, castingTimeTypes,
     &VM_Spell::Fetch_Spell_Casting_Time_Type, &VM_Spell::Set_Spell_Casting_Time_Type, "cbo_Type", "",
     "cbo_CT", ""},
    {SavingThrow, "[Saving Throw]", 12, "Saving Throw", C::Line, noChoices,
     &VM_Spell::Fetch_Spell_Saving_Throw, &VM_Spell::Set_Spell_Saving_Throw, "txt_ST",
     "Saving Throw:", "txt_ST", "Saving Throw:"},
    {Description, "Description", 13, "Description", C::Text, noChoices, &VM_Spell::Fetch_Spell_Description,
     &VM_Spell::Set_Spell_Description, "RTB_Desc", "", "txt_Desc", "Description:"},
    {Author, "Author", 14, "Author", C::Line, noChoices, &VM_Spell::Fetch_Spell_Author,
     &VM_Spell::Set_Spell_Author, "Txt_Author", "Author:", "txt_Caster", "Caster:"},
}};

} // namespace

std::span<const FieldDescription> all()
{
    return kFields;
}

const FieldDescription &of(Field field)
{
    return kFields.at(size_t(field));
}

QString value(const VM_Spell &spell, Field field)
{
    return (spell.*of(field).read)();
}

void setValue(VM_Spell &spell, Field field, const QString &value)
{
    (spell.*of(field).write)(value);
}

const QStringList &levelNames()
{
    static const QStringList names = [] {
        QStringList levels;
        for (int level = 1; level <= SpellLevels::kCount; ++level)
            levels.append(QString::number(level));
        return levels;
    }();
    return names;
}

QString columnList()
{
    QStringList columns;
    for (const FieldDescription &field : kFields)
        columns.append(QLatin1String(field.column));
    return columns.join(QStringLiteral(", "));
}

} // namespace SpellFields
