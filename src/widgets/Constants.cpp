#include "widgets/Constants.h"

namespace Constants {

bool Previews_Maximized = true;
QString Browser_Tooltip_Text;
QString Active_Browser_Name;

QString browserTooltip()
{
    return QStringLiteral(
        "Drag Spells from another Spellbook or from the Search Form to add spells to this Spellbook");
}

QString versionNumber()
{
    return QStringLiteral("%1.%2").arg(VELLUMAR_VERSION_MAJOR).arg(VELLUMAR_VERSION_MINOR);
}

} // namespace Constants
