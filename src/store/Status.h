#pragma once

#include "store/VmError.h"

#include <QString>

// Runs a changing operation and turns its outcome into status text: empty on success,
// otherwise the trimmed description of what failed.
template<typename Operation>
QString statusOf(Operation &&operation)
{
    try {
        operation();
        return {};
    } catch (const VmError &error) {
        return error.description.trimmed();
    }
}

// The same for an operation that yields its own status text.
template<typename Operation>
QString statusFrom(Operation &&operation)
{
    try {
        return operation();
    } catch (const VmError &error) {
        return error.description.trimmed();
    }
}

// Re-raises any failure of an operation under the operation's own name.
template<typename Operation>
void raiseAs(const char *source, Operation &&operation)
{
    try {
        operation();
    } catch (const VmError &error) {
        throw VmError(-1, QString::fromLatin1(source), error.description.trimmed());
    }
}
