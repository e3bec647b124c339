#pragma once

#include "store/VmError.h"

#include <QString>

// What an operation raised, as "number source: description", or "" when it raised nothing, so
// that a test states the whole error in one expectation.
template<typename Operation>
QString raised(Operation &&operation)
{
    try {
        operation();
    } catch (const VmError &error) {
        return QStringLiteral("%1 %2: %3").arg(error.number).arg(error.source, error.description);
    }
    return {};
}
