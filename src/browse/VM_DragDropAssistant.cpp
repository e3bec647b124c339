#include "browse/VM_DragDropAssistant.h"

#include "store/Blanks.h"
#include "store/Names.h"
#include "store/Status.h"
#include "store/Undo.h"
#include "store/VM_Memorized.h"

#include <QSet>

namespace {

// The spell names already in a caster's rows of a membership table.
QSet<QString> namesIn(Connection &db, const char *sql, const QString &caster)
{
    QSet<QString> names;
    Statement select(db, sql);
    select.bind(1, caster);
    while (select.step())
        names.insert(select.text(0));
    return names;
}

// The message for dragged spells deleted since the drag began; empty when there are none.
QString notInLibrary(const QStringList &missing)
{
    if (missing.isEmpty())
        return QString();
    return QStringLiteral("These spells are no longer in the library and were not added: %1")
        .arg(missing.join(QStringLiteral(", ")));
}

} // namespace

VM_DragDropAssistant::VM_DragDropAssistant() = default;
VM_DragDropAssistant::~VM_DragDropAssistant() = default;

void VM_DragDropAssistant::Reset_Drag()
{
    m_spells.clear();
    m_dragValid = false;
    m_numberAdded = 0;
}

QString VM_DragDropAssistant::Pack_Data(const ListRows &list, const QString &sourceName)
{
    m_source = trimBlanks(sourceName);
    m_dragValid = false;
    m_spells.clear();
    for (const ListRow &row : list) {
        if (row.selected)
            m_spells.append(row.text);
    }
    m_dragValid = true;
    return {};
}

void VM_DragDropAssistant::endDrag()
{
    m_connection.close();
    m_dragValid = false;
    m_spells.clear();
}

QString VM_DragDropAssistant::Unpack_To_Button(const QString &spellbook)
{
    const UndoStep step(
        QStringLiteral("Drop of %1 onto %2")
            .arg(UndoStep::counted(m_spells.size(), QStringLiteral("Spell")), spellbook.trimmed()));
    const QString caster = trimBlanks(spellbook);
    if (caster == kReservedSpellbook) {
        endDrag();
        return QStringLiteral("KXR is the whole library: spells cannot be added to it");
    }
    QStringList missing;
    const QString status = statusOf([&] {
        Connection &db = m_connection.get();
        Transaction transaction(db);
        // A spell already in the spellbook, or dragged twice, is added once.
        QSet<QString> held = namesIn(db, "SELECT SpellName FROM Spellbook WHERE Caster = ?", caster);
        Statement exists(db, "SELECT 1 FROM Spells WHERE Name = ? LIMIT 1");
        Statement insert(db, "INSERT INTO Spellbook (Caster, SpellName) VALUES (?, ?)");
        int added = 0;
        for (const QString &name : std::as_const(m_spells)) {
            const QString spell = trimBlanks(name);
            if (held.contains(spell))
                continue;
            exists.bind(1, spell);
            const bool found = exists.step();
            exists.reset();
            if (!found) {
                // Someone deleted it since the drag began; the others still go in.
                missing.append(spell);
                continue;
            }
            insert.bind(1, caster).bind(2, spell).run();
            insert.reset();
            held.insert(spell);
            ++added;
        }
        transaction.commit();
        m_numberAdded += added;
    });
    endDrag();
    return status.isEmpty() ? notInLibrary(missing) : status;
}

QString VM_DragDropAssistant::Unpack_To_Unlearned(const QString &caster)
{
    const UndoStep step(
        QStringLiteral("Drop of %1 onto Failed Spells of %2")
            .arg(UndoStep::counted(m_spells.size(), QStringLiteral("Spell")), caster.trimmed()));
    const QString owner = trimBlanks(caster);
    QStringList missing;
    QStringList learned;
    const QString status = statusOf([&] {
        Connection &db = m_connection.get();
        Transaction transaction(db);
        QSet<QString> failed = namesIn(db, "SELECT SpellName FROM FailedSpells WHERE Caster = ?", owner);
        const QSet<QString> inBook = namesIn(db, "SELECT SpellName FROM Spellbook WHERE Caster = ?", owner);
        Statement spell(db, "SELECT Name, Lvl FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1");
        Statement insert(db, "INSERT INTO FailedSpells (Caster, SpellName, SpellLevel) VALUES (?, ?, ?)");
        int added = 0;
        for (const QString &name : std::as_const(m_spells)) {
            const QString trimmed = trimBlanks(name);
            spell.bind(1, trimmed);
            const bool found = spell.step();
            const QString spellName = found ? spell.text(0) : QString();
            const QString level = found ? spell.text(1) : QString();
            spell.reset();
            if (!found) {
                // Someone deleted it since the drag began; the others still go in.
                missing.append(trimmed);
                continue;
            }
            if (failed.contains(spellName))
                continue;
            // A spell the caster has learned cannot also be one she failed to learn.
            if (inBook.contains(spellName)) {
                if (!learned.contains(spellName))
                    learned.append(spellName);
                continue;
            }
            insert.bind(1, owner).bind(2, spellName).bind(3, level).run();
            insert.reset();
            failed.insert(spellName);
            ++added;
        }
        transaction.commit();
        m_numberAdded += added;
    });
    endDrag();
    if (!status.isEmpty())
        return status;
    QStringList refused;
    if (!learned.isEmpty())
        refused.append(QStringLiteral("These spells are already in the spellbook of %1 and were not added to "
                                      "the failed spells: %2")
                           .arg(owner, learned.join(QStringLiteral(", "))));
    if (const QString gone = notInLibrary(missing); !gone.isEmpty())
        refused.append(gone);
    return refused.join(QLatin1Char('\n'));
}

QString VM_DragDropAssistant::Unpack_To_List_View(ListRows &list)
{
    const QString status = statusOf([&] {
        Connection &db = m_connection.get();
        Statement spell(
            db, "SELECT Name, Lvl, Frequency, Book, Page FROM Spells WHERE Name = ? ORDER BY rowid LIMIT 1");
        for (const QString &name : std::as_const(m_spells)) {
            spell.bind(1, trimBlanks(name));
            // A spell deleted since the drag began is left out without a word.
            if (spell.step())
                list.append(ListRow{trimBlanks(spell.text(0)),
                                    {spell.text(1), spell.text(2), spell.text(3), spell.text(4)}});
            spell.reset();
        }
    });
    endDrag();
    return status;
}

QString VM_DragDropAssistant::Unpack_To_Memorized(const QString &caster)
{
    const QString owner = trimBlanks(caster);
    // A caster memorizes from her own book: a spell dragged from anywhere else is not hers yet.
    if (m_source != owner) {
        endDrag();
        return QStringLiteral("Only spells from the spellbook of %1 can be memorized here: drag them from "
                              "the browser of that spellbook.")
            .arg(owner);
    }
    VM_Memorized day;
    const QString status = day.Add_Spells_To_Memorized(owner, m_spells);
    m_numberAdded += day.NumberMemorized();
    endDrag();
    return status;
}
