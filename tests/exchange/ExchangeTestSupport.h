#pragma once

#include "TestLibrary.h"
#include "store/ListRows.h"

inline ListRow selected(const QString &name)
{
    return ListRow{name, {}, true, false};
}
