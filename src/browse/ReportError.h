#pragma once

#include "store/VmError.h"

// A failure of a report: a missing or malformed layout, a query the library refuses, no
// printer. It reaches the printing command as any raised error does.
struct ReportError : VmError
{
    static constexpr int kNumber = 20500;

    explicit ReportError(const QString &description)
        : VmError(kNumber, QStringLiteral("ReportEngine"), description)
    {}
};
