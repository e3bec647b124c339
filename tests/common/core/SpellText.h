#pragma once

#include "store/VM_Spell.h"

#include <QStringList>

// Every field of a spell record in the order of a spell line, joined with "|", so that a test
// compares a whole record in one expectation: name, level, frequency, book, page, components,
// range, duration, area of effect, casting time type, casting time, saving throw, description,
// author.
inline QString spellText(const VM_Spell &spell)
{
    return QStringList{spell.Fetch_Spell_Name(),           spell.Fetch_Spell_Level(),
                       spell.Fetch_Spell_Frequency(),      spell.Fetch_Spell_Book_Number(),
                       spell.Fetch_Spell_Page_Number(),    spell.Fetch_Spell_Components(),
                       spell.Fetch_Spell_Range(),          spell.Fetch_Spell_Duration(),
                       spell.Fetch_Spell_Area_of_Effect(), spell.Fetch_Spell_Casting_Time_Type(),
                       spell.Fetch_Spell_Casting_Time(),   spell.Fetch_Spell_Saving_Throw(),
                       spell.Fetch_Spell_Description(),    spell.Fetch_Spell_Author()}
        .join(QLatin1Char('|'));
}
