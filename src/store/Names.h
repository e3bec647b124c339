#pragma once

#include <QString>

// The reserved spellbook that stands for the whole library: it has no caster row and no
// membership rows, and heads every list of spellbooks.
inline const QString kReservedSpellbook = QStringLiteral("KXR");
