#include "store/VM_Library.h"

#include "store/Status.h"

namespace {

// The fields a search may look in, by the label the search window shows, and their columns.
struct SearchField
{
    const char *label;
    const char *condition; // ?1 is the pattern
};

const SearchField kSearchFields[] = {
    {"Name", "Spells.Name LIKE ?1 ESCAPE '\\'"},
    {"Description", "Spells.Description LIKE ?1 ESCAPE '\\'"},
    // The casting time is a number and a unit; a text found in either finds the spell.
    {"Casting Time",
     "(Spells.[Casting Time] LIKE ?1 ESCAPE '\\' OR Spells.[Casting Time Type] LIKE ?1 ESCAPE '\\')"},
    {"Duration", "Spells.Duration LIKE ?1 ESCAPE '\\'"},
    {"Range", "Spells.Range LIKE ?1 ESCAPE '\\'"},
    {"Area of Effect", "Spells.[Area of Effect] LIKE ?1 ESCAPE '\\'"},
    {"Saving Throw", "Spells.[Saving Throw] LIKE ?1 ESCAPE '\\'"},
    {"Author", "Spells.Author LIKE ?1 ESCAPE '\\'"},
};

// The user's text is matched literally: only "*" keeps its meaning of any run of characters.
QString likePattern(const QString &text, bool anywhere)
{
    QString pattern;
    pattern.reserve(text.size() + 4);
    if (anywhere)
        pattern += QLatin1Char('%');
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            pattern += QLatin1Char('\\');
        pattern += c == QLatin1Char('*') ? QLatin1Char('%') : c;
    }
    pattern += QLatin1Char('%');
    return pattern;
}

} // namespace

QString VM_Library::Search(const QString &field, const QString &scope, const QString &text,
                           const QString &mode)
{
    return statusFrom([&]() -> QString {
        m_search.reset();
        const SearchField *chosen = nullptr;
        for (const SearchField &candidate : kSearchFields) {
            if (field == QLatin1String(candidate.label))
                chosen = &candidate;
        }
        if (!chosen)
            return QStringLiteral("\"%1\" is not a field that can be searched").arg(field);

        // One row per spell and school, schools in order, so that a spell's rows come together.
        const bool wholeLibrary = scope == QLatin1String("KXR");
        Statement select(
            db(),
            QStringLiteral("SELECT Spells.Name, Spells.Lvl, Spells.Frequency, Spells.Book, "
                           "Spells.Page, SpellandSphere.Sphere "
                           "FROM Spells LEFT JOIN SpellandSphere ON SpellandSphere.Name = Spells.Name "
                           "WHERE %1%2 "
                           "ORDER BY Spells.Name COLLATE NOCASE, Spells.Name, "
                           "SpellandSphere.Sphere COLLATE NOCASE, SpellandSphere.Sphere")
                .arg(QLatin1String(chosen->condition),
                     wholeLibrary ? QString()
                                  : QStringLiteral(" AND Spells.Name IN "
                                                   "(SELECT SpellName FROM Spellbook WHERE Caster = ?2)")));
        select.bind(1, likePattern(text, mode != QLatin1String("Starts")));
        if (!wholeLibrary)
            select.bind(2, scope.trimmed());

        QList<QString> cells;
        bool first = true;
        while (select.step()) {
            const QString name = select.text(0);
            if (!first && name == cells[cells.size() - 6]) {
                cells.last() += QStringLiteral(", ") + select.text(5);
                continue;
            }
            first = false;
            for (int column = 0; column < 6; ++column)
                cells.append(column == 0 ? name : select.text(column));
        }
        if (!cells.isEmpty())
            m_search = Table(6, std::move(cells));
        return {};
    });
}
