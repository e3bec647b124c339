#pragma once

#include <QString>
#include <QStringList>

// The process-wide values that several windows read. Nothing here is saved between runs.
// The entry procedure, Constants::Main, belongs to the shell (shell/Startup.h).
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

} // namespace Constants
