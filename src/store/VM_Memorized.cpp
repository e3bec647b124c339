#include "store/VM_Memorized.h"

#include "store/Blanks.h"
#include "store/SpellLevels.h"
#include "store/Status.h"

#include <sqlite3.h>

namespace {

const char *const kMemorizedSchema = R"SQL(
CREATE TABLE IF NOT EXISTS Memorized (
    Caster TEXT,
    SpellName TEXT,
    SpellLevel TEXT,
    SlotOrder INTEGER,
    IsCast INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS Memorized_ByCaster ON Memorized (Caster, SpellLevel, SlotOrder);
CREATE INDEX IF NOT EXISTS Memorized_BySpell ON Memorized (SpellName);
)SQL";

bool hasTable(Connection &connection, const char *name)
{
    Statement select(connection, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    select.bind(1, QString::fromLatin1(name));
    return select.step();
}

QString named(const QStringList &spells)
{
    return spells.join(QStringLiteral(", "));
}

int changesOf(Connection &connection)
{
    return sqlite3_changes(connection.handle());
}

QString slotGone(const QString &caster, const MemorizedSlot &slot)
{
    return QStringLiteral("%1 is no longer memorized in that %2-level slot of %3; the list shows the day "
                          "as it is now.")
        .arg(slot.spell, SpellLevels::ordinal(slot.level), caster);
}

} // namespace

void addMemorizedTable(Connection &connection)
{
    if (hasTable(connection, "Memorized") || !hasTable(connection, "Spells"))
        return;
    Transaction transaction(connection);
    connection.exec(kMemorizedSchema);
    transaction.commit();
}

VM_Memorized::VM_Memorized() = default;
VM_Memorized::~VM_Memorized() = default;

Connection &VM_Memorized::db()
{
    Connection &connection = m_connection.get();
    // Opening the library adds the table when it can; when it could not (a full disk), trying
    // again here reports why instead of "no such table".
    if (!m_tableChecked) {
        addMemorizedTable(connection);
        m_tableChecked = true;
    }
    return connection;
}

int VM_Memorized::slotsOf(const QString &field)
{
    return SpellLevels::casterFigure(field).value_or(0);
}

SlotsPerLevel VM_Memorized::Fetch_Slots_Per_Level(const QString &caster)
{
    SlotsPerLevel perLevel{};
    Statement record(db(),
                     QStringLiteral("SELECT %1 FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1")
                         .arg(SpellLevels::columnList()));
    record.bind(1, trimBlanks(caster));
    if (record.step()) {
        for (int index = 0; index < SpellLevels::kCount; ++index)
            perLevel[index] = slotsOf(record.text(index));
    }
    record.reset();
    return perLevel;
}

QList<MemorizedSlot> VM_Memorized::Fetch_Memorized_Slots(const QString &caster)
{
    QList<MemorizedSlot> found;
    Statement select(
        db(), "SELECT m.SpellName, m.SpellLevel, m.SlotOrder, m.IsCast, "
              "EXISTS (SELECT 1 FROM Spellbook b WHERE b.Caster = m.Caster AND b.SpellName = m.SpellName), "
              "(SELECT trim(s.Lvl) FROM Spells s WHERE s.Name = m.SpellName ORDER BY s.rowid LIMIT 1) "
              "FROM Memorized m WHERE m.Caster = ? "
              "ORDER BY CAST(m.SpellLevel AS INTEGER), m.SlotOrder, m.rowid");
    select.bind(1, trimBlanks(caster));
    while (select.step()) {
        MemorizedSlot slot;
        slot.spell = select.text(0);
        slot.level = select.text(1).toInt();
        slot.order = int(select.integer(2));
        slot.cast = select.integer(3) != 0;
        slot.inSpellbook = select.integer(4) != 0;
        slot.spellLevel = select.text(5);
        found.append(slot);
    }
    return found;
}

QString VM_Memorized::Add_Spells_To_Memorized(const QString &caster, int level, const QStringList &spells)
{
    m_memorized = 0;
    const QString owner = trimBlanks(caster);
    if (!SpellLevels::isLevel(level))
        return QStringLiteral("Spells are memorized at the levels 1st to 9th.");
    const QString levelText = QString::number(level);
    const QString ordinalText = SpellLevels::ordinal(level);
    return statusFrom([&]() -> QString {
        Transaction transaction(db());
        Statement record(
            db(), QStringLiteral("SELECT %1 FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1")
                      .arg(SpellLevels::columnNames().at(level - 1)));
        record.bind(1, owner);
        if (!record.step())
            return QStringLiteral("Spellbook details could not be found");
        const int capacity = slotsOf(record.text(0));
        record.reset();

        // What the caster's book holds, at which level the library has each spell now.
        Statement held(db(), "SELECT trim(s.Lvl) FROM Spellbook b JOIN Spells s ON s.Name = b.SpellName "
                             "WHERE b.Caster = ? AND b.SpellName = ? ORDER BY s.rowid LIMIT 1");
        QStringList taken;
        QStringList notInBook;
        QStringList otherLevel;
        for (const QString &name : spells) {
            const QString spell = trimBlanks(name);
            held.bind(1, owner).bind(2, spell);
            const bool found = held.step();
            const QString spellLevel = found ? held.text(0) : QString();
            held.reset();
            if (!found)
                notInBook.append(spell);
            else if (spellLevel != levelText)
                otherLevel.append(spell);
            else
                taken.append(spell);
        }

        QStringList refused;
        if (!otherLevel.isEmpty())
            refused.append(
                QStringLiteral("These spells are not %1-level spells and were not memorized there: %2")
                    .arg(ordinalText, named(otherLevel)));
        if (!notInBook.isEmpty())
            refused.append(
                QStringLiteral("These spells are not in the spellbook of %1 and were not memorized: %2")
                    .arg(owner, named(notInBook)));
        if (taken.isEmpty())
            return refused.join(QLatin1Char('\n'));

        if (capacity == 0)
            return QStringLiteral("%1 has no %2-level slots: the caster's record gives that level none, so "
                                  "nothing was memorized.")
                .arg(owner, ordinalText);
        Statement used(db(), "SELECT count(*), coalesce(max(SlotOrder), 0) FROM Memorized "
                             "WHERE Caster = ? AND SpellLevel = ?");
        used.bind(1, owner).bind(2, levelText);
        used.step();
        const int memorized = int(used.integer(0));
        int order = int(used.integer(1));
        used.reset();
        const int free = std::max(0, capacity - memorized);
        if (free == 0)
            return QStringLiteral("The %1-level slots of %2 are full: %3 of %4 memorized. Forget a spell of "
                                  "that level to make room; nothing was memorized.")
                .arg(ordinalText, owner)
                .arg(memorized)
                .arg(capacity);
        if (int(taken.size()) > free)
            return QStringLiteral("Only %1 of the %2-level slots of %3 %4 free, and %5 spells were "
                                  "dropped: nothing was memorized. Forget a spell of that level, or drop "
                                  "fewer.")
                .arg(free)
                .arg(ordinalText, owner, free == 1 ? QStringLiteral("is") : QStringLiteral("are"))
                .arg(taken.size());

        Statement insert(db(), "INSERT INTO Memorized (Caster, SpellName, SpellLevel, SlotOrder, IsCast) "
                               "VALUES (?, ?, ?, ?, 0)");
        for (const QString &spell : std::as_const(taken)) {
            insert.bind(1, owner).bind(2, spell).bind(3, levelText).bind(4, qint64(++order));
            insert.run();
            insert.reset();
        }
        transaction.commit();
        m_memorized = int(taken.size());
        return refused.join(QLatin1Char('\n'));
    });
}

QString VM_Memorized::Update_Memorized_Cast(const QString &caster, const MemorizedSlot &slot, bool cast)
{
    const QString owner = trimBlanks(caster);
    return statusFrom([&]() -> QString {
        Transaction transaction(db());
        Statement update(db(), "UPDATE Memorized SET IsCast = ? WHERE Caster = ? AND SpellLevel = ? "
                               "AND SlotOrder = ? AND SpellName = ?");
        update.bind(1, qint64(cast ? 1 : 0)).bind(2, owner).bind(3, QString::number(slot.level));
        update.bind(4, qint64(slot.order)).bind(5, slot.spell).run();
        if (changesOf(db()) == 0)
            return slotGone(owner, slot);
        transaction.commit();
        return {};
    });
}

QString VM_Memorized::Remove_Memorized_Slot(const QString &caster, const MemorizedSlot &slot)
{
    const QString owner = trimBlanks(caster);
    return statusFrom([&]() -> QString {
        Transaction transaction(db());
        Statement remove(db(), "DELETE FROM Memorized WHERE Caster = ? AND SpellLevel = ? "
                               "AND SlotOrder = ? AND SpellName = ?");
        remove.bind(1, owner).bind(2, QString::number(slot.level)).bind(3, qint64(slot.order));
        remove.bind(4, slot.spell).run();
        if (changesOf(db()) == 0)
            return slotGone(owner, slot);
        transaction.commit();
        return {};
    });
}

QString VM_Memorized::Update_Memorized_Rest(const QString &caster)
{
    return statusOf([&] {
        Transaction transaction(db());
        Statement rest(db(), "UPDATE Memorized SET IsCast = 0 WHERE Caster = ? AND IsCast <> 0");
        rest.bind(1, trimBlanks(caster)).run();
        transaction.commit();
    });
}

QString VM_Memorized::Remove_All_Memorized(const QString &caster)
{
    return statusOf([&] {
        Transaction transaction(db());
        Statement clear(db(), "DELETE FROM Memorized WHERE Caster = ?");
        clear.bind(1, trimBlanks(caster)).run();
        transaction.commit();
    });
}
