// The library's scrolls: listed, read, saved, updated and deleted.

#include "store/VM_Library.h"

#include "store/Blanks.h"
#include "store/Status.h"
#include "store/Undo.h"

namespace {

// Appends the lines of a scroll in list order.
void insertLines(Connection &db, const QString &scrollName, const QString &caster, const ListRows &lines)
{
    Statement insert(db, "INSERT INTO Scrolls (ScrollName, Caster, Spell, Lvl, Frequency, Book, Page) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?)");
    const QString name = trimBlanks(scrollName);
    const QString owner = trimBlanks(caster);
    for (const ListRow &line : lines) {
        insert.bind(1, name).bind(2, owner).bind(3, trimBlanks(line.text));
        for (int i = 0; i < 4; ++i)
            insert.bind(4 + i, line.subItems.value(i));
        insert.run();
        insert.reset();
    }
}

void deleteScroll(Connection &db, const QString &caster, const QString &scrollName)
{
    Statement remove(db, "DELETE FROM Scrolls WHERE Caster = ? AND ScrollName = ?");
    remove.bind(1, trimBlanks(caster)).bind(2, trimBlanks(scrollName)).run();
}

} // namespace

bool VM_Library::Fetch_Scrolls_List()
{
    m_scrolls.reset();
    // Never false: a failure is raised, so that the window can show what went wrong.
    raiseAs("Fetch_Scrolls_List", [&] {
        // One entry per line; the scroll window folds the repeats into one node per scroll.
        Statement select(db(),
                         "SELECT Caster, ScrollName FROM Scrolls ORDER BY Caster COLLATE NOCASE, Caster, "
                         "ScrollName COLLATE NOCASE, ScrollName, rowid");
        QList<QString> cells;
        while (select.step()) {
            cells.append(trimBlanks(select.text(0)));
            cells.append(trimBlanks(select.text(1)));
        }
        if (!cells.isEmpty())
            m_scrolls = Table(2, std::move(cells));
    });
    return true;
}

void VM_Library::Fetch_Scroll_Details(const QString &scrollName, const QString &caster)
{
    // A scroll that does not exist reads as one empty cell.
    m_scrolls = Table(1, 1);
    raiseAs("Fetch_Scroll_Details", [&] {
        Statement select(db(), "SELECT Spell, Lvl, Frequency, Book, Page FROM Scrolls "
                               "WHERE Caster = ? AND ScrollName = ? ORDER BY rowid");
        select.bind(1, trimBlanks(caster)).bind(2, trimBlanks(scrollName));
        QList<QString> cells;
        while (select.step()) {
            for (int column = 0; column < 5; ++column)
                cells.append(trimBlanks(select.text(column)));
        }
        if (!cells.isEmpty())
            m_scrolls = Table(5, std::move(cells));
    });
}

QString VM_Library::DoesScrollExist(const QString &scrollName, const QString &caster)
{
    return statusFrom([&]() -> QString {
        Statement select(db(), "SELECT 1 FROM Scrolls WHERE ScrollName = ? AND Caster = ? LIMIT 1");
        select.bind(1, trimBlanks(scrollName)).bind(2, trimBlanks(caster));
        if (!select.step())
            return {};
        return scrollName + QStringLiteral(" already exists for Caster ") + caster +
               QStringLiteral(".  Please choose another name");
    });
}

QString VM_Library::SaveScroll(const QString &scrollName, const QString &caster, const ListRows &lines)
{
    const UndoStep step(QStringLiteral("Save Scroll ") + UndoStep::quoted(scrollName));
    return statusOf([&] {
        Transaction transaction(db());
        insertLines(db(), scrollName, caster, lines);
        transaction.commit();
    });
}

QString VM_Library::UpdateScroll(const QString &caster, const QString &scrollName, const ListRows &lines)
{
    const UndoStep step(QStringLiteral("Save Scroll ") + UndoStep::quoted(scrollName));
    // The old lines go and the new ones come in one step: a failure leaves the scroll as it was.
    return statusOf([&] {
        Transaction transaction(db());
        deleteScroll(db(), caster, scrollName);
        insertLines(db(), scrollName, caster, lines);
        transaction.commit();
    });
}

QString VM_Library::DeleteScroll(const QString &kind, const QString &caster, const QString &scrollName)
{
    const UndoStep step(kind == QLatin1String("Caster")
                            ? QStringLiteral("Delete Scrolls of ") + UndoStep::quoted(caster)
                            : QStringLiteral("Delete Scroll ") + UndoStep::quoted(scrollName));
    return statusOf([&] {
        Transaction transaction(db());
        if (kind == QLatin1String("Caster")) {
            Statement remove(db(), "DELETE FROM Scrolls WHERE Caster = ?");
            remove.bind(1, trimBlanks(caster)).run();
        } else if (kind == QLatin1String("Scroll")) {
            deleteScroll(db(), caster, scrollName);
        }
        transaction.commit();
    });
}

QString VM_Library::FillScrollDetails(const QString &kind, const QString &name)
{
    return fillScrollHold(kind, name, std::nullopt);
}

QString VM_Library::FillScrollDetails(const QString &kind, const QString &name, const QString &caster)
{
    return fillScrollHold(kind, name, caster);
}

QString VM_Library::fillScrollHold(const QString &kind, const QString &name,
                                   const std::optional<QString> &caster)
{
    return statusOf([&] {
        Transaction transaction(db());
        db().exec("DELETE FROM ScrollHold;");
        const char *column = kind == QLatin1String("Scroll")   ? "ScrollName"
                             : kind == QLatin1String("Caster") ? "Caster"
                                                               : nullptr;
        if (column) {
            const bool oneCaster = caster && kind == QLatin1String("Scroll");
            Statement select(
                db(),
                QStringLiteral("SELECT ScrollName, Caster, Spell, Lvl, Book, Page FROM Scrolls "
                               "WHERE %1 = ?%2 ORDER BY rowid")
                    .arg(QLatin1String(column), oneCaster ? QStringLiteral(" AND Caster = ?") : QString()));
            Statement insert(db(), "INSERT INTO ScrollHold (ScrollName, Caster, Spell, Lvl, Book, Page) "
                                   "VALUES (?, ?, ?, ?, ?, ?)");
            select.bind(1, trimBlanks(name));
            if (oneCaster)
                select.bind(2, trimBlanks(*caster));
            while (select.step()) {
                for (int i = 0; i < 6; ++i)
                    insert.bind(i + 1, trimBlanks(select.text(i)));
                insert.run();
                insert.reset();
            }
        }
        transaction.commit();
    });
}

OptionalTable VM_Library::Fetch_LibScrolls_Array() const
{
    return m_libScrolls;
}

void VM_Library::Fetch_LibScrolls_Array(const OptionalTable &value)
{
    m_libScrolls = value;
}
