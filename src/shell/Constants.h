#pragma once

#include <QString>
#include <QStringList>

// The process-wide values that several windows read, and the entry procedure. Nothing here
// is saved between runs.
namespace Constants {

// Report previews open maximized. Set when the frame loads.
extern bool Previews_Maximized;
// Tool-tip text of every spellbook list; empty while tool tips are switched off.
extern QString Browser_Tooltip_Text;
// Spellbook name of the browser whose list last had the focus; the frame routes the
// browser's popup-menu commands to it.
extern QString Active_Browser_Name;

// What the spellbook lists say while tool tips are on.
QString browserTooltip();

// "1.0": the major and minor version numbers.
QString versionNumber();

// Any command-line text ends the program at once, without a window. Otherwise shows the
// splash, then the main frame, and runs until the frame closes. Returns the exit code.
int Main(const QStringList &commandLine);

} // namespace Constants
