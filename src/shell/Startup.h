#pragma once

#include <QStringList>

// The program's entry procedure. It sits with the values of Constants in name only: it knows
// the splash and the frame, which no window may.
namespace Constants {

// Any command-line text ends the program at once, without a window. Otherwise shows the
// splash, then the main frame, and runs until the frame closes. Returns the exit code.
int Main(const QStringList &commandLine);

} // namespace Constants
