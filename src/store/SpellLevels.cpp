#include "store/SpellLevels.h"

namespace SpellLevels {

std::optional<int> levelOf(const QString &text)
{
    bool ok = false;
    const int level = text.trimmed().toInt(&ok);
    return ok && isLevel(level) ? std::optional<int>(level) : std::nullopt;
}

QString ordinal(int level)
{
    static const char *const suffixes[] = {"st", "nd", "rd"};
    return QString::number(level) + QLatin1String(level >= 1 && level <= 3 ? suffixes[level - 1] : "th");
}

const QStringList &ordinals()
{
    static const QStringList names = [] {
        QStringList all;
        for (int level = 1; level <= kCount; ++level)
            all.append(ordinal(level));
        return all;
    }();
    return names;
}

const QStringList &columnNames()
{
    static const QStringList names = {
        QStringLiteral("First"),   QStringLiteral("Second"), QStringLiteral("Third"),
        QStringLiteral("Fourth"),  QStringLiteral("Fifth"),  QStringLiteral("Sixth"),
        QStringLiteral("Seventh"), QStringLiteral("Eighth"), QStringLiteral("Ninth")};
    return names;
}

QString columnList()
{
    return columnNames().join(QStringLiteral(", "));
}

QString casterColumnList()
{
    return QStringLiteral("Spellbook, Lvl, Race, Class, ") + columnList();
}

std::optional<int> casterFigure(const QString &field)
{
    bool ok = false;
    // Blanks pad the fixed-width fields of older libraries.
    const int value = field.trimmed().toInt(&ok);
    return ok && value >= 0 ? std::optional<int>(value) : std::nullopt;
}

} // namespace SpellLevels
