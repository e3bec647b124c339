#include "store/VM_Memorized.h"

#include "store/Blanks.h"
#include "store/Schema.h"
#include "store/SpellLevels.h"
#include "store/Status.h"
#include "store/Undo.h"

#include <sqlite3.h>

namespace {

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

// Whether the library has a caster of that name; the statement is read to its end at once.
bool hasCaster(Connection &connection, const QString &owner)
{
    Statement record(connection, "SELECT 1 FROM SpellCasters WHERE Spellbook = ?");
    record.bind(1, owner);
    const bool found = record.step();
    record.reset();
    return found;
}

} // namespace

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
    const QString owner = trimBlanks(caster);
    Statement record(db(),
                     QStringLiteral("SELECT %1 FROM SpellCasters WHERE Spellbook = ? ORDER BY rowid LIMIT 1")
                         .arg(SpellLevels::columnList()));
    record.bind(1, owner);
    if (!record.step())
        return perLevel;
    for (int index = 0; index < SpellLevels::kCount; ++index)
        perLevel[index] = slotsOf(record.text(index));
    record.reset();
    Statement set(db(), "SELECT SpellLevel, Slots FROM MemorizedSlots WHERE Caster = ?");
    set.bind(1, owner);
    while (set.step()) {
        if (const auto level = SpellLevels::levelOf(set.text(0)))
            perLevel[*level - 1] = int(std::clamp<qint64>(set.integer(1), 0, kMostSlots));
    }
    return perLevel;
}

QString VM_Memorized::Update_Slots_Per_Level(const QString &caster, int level, int slotCount)
{
    const UndoStep step(
        QStringLiteral("Slots of %1 at %2 Level").arg(caster.trimmed(), SpellLevels::ordinal(level)));
    const QString owner = trimBlanks(caster);
    if (!SpellLevels::isLevel(level))
        return QStringLiteral("Spells are memorized at the levels 1st to 9th.");
    if (slotCount < 0 || slotCount > kMostSlots)
        return QStringLiteral("A level has 0 to %1 slots.").arg(kMostSlots);
    return statusFrom([&]() -> QString {
        Transaction transaction(db());
        if (!hasCaster(db(), owner))
            return QStringLiteral("Spellbook details could not be found");
        Statement remove(db(), "DELETE FROM MemorizedSlots WHERE Caster = ? AND SpellLevel = ?");
        remove.bind(1, owner).bind(2, QString::number(level)).run();
        Statement insert(db(), "INSERT INTO MemorizedSlots (Caster, SpellLevel, Slots) VALUES (?, ?, ?)");
        insert.bind(1, owner).bind(2, QString::number(level)).bind(3, qint64(slotCount)).run();
        transaction.commit();
        return {};
    });
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

QStringList VM_Memorized::placeSpells(const QString &owner, const QStringList &spells,
                                      const QString &notInBook)
{
    const SlotsPerLevel capacity = Fetch_Slots_Per_Level(owner);
    // What the caster's book holds, at which level the library has each spell now.
    Statement held(db(), "SELECT trim(s.Lvl) FROM Spellbook b JOIN Spells s ON s.Name = b.SpellName "
                         "WHERE b.Caster = ? AND b.SpellName = ? ORDER BY s.rowid LIMIT 1");
    Statement used(db(), "SELECT count(*), coalesce(max(SlotOrder), 0) FROM Memorized "
                         "WHERE Caster = ? AND SpellLevel = ?");
    Statement insert(db(), "INSERT INTO Memorized (Caster, SpellName, SpellLevel, SlotOrder, IsCast) "
                           "VALUES (?, ?, ?, ?, 0)");
    QStringList outside;
    QStringList noLevel;
    SpellLevels::PerLevel<QStringList> noRoom;
    for (const QString &name : spells) {
        const QString spell = trimBlanks(name);
        held.bind(1, owner).bind(2, spell);
        const bool found = held.step();
        const std::optional<int> level = found ? SpellLevels::levelOf(held.text(0)) : std::nullopt;
        held.reset();
        if (!found) {
            outside.append(spell);
            continue;
        }
        if (!level) {
            noLevel.append(spell);
            continue;
        }
        used.bind(1, owner).bind(2, QString::number(*level));
        used.step();
        const int memorized = int(used.integer(0));
        const qint64 order = used.integer(1) + 1;
        used.reset();
        if (memorized >= capacity[*level - 1]) {
            noRoom[*level - 1].append(spell);
            continue;
        }
        insert.bind(1, owner).bind(2, spell).bind(3, QString::number(*level)).bind(4, order);
        insert.run();
        insert.reset();
        ++m_memorized;
    }

    QStringList refused;
    if (!outside.isEmpty())
        refused.append(notInBook.arg(owner, named(outside)));
    if (!noLevel.isEmpty())
        refused.append(QStringLiteral("These spells have no level from 1st to 9th and were not memorized: %1")
                           .arg(named(noLevel)));
    for (int level = 1; level <= SpellLevels::kCount; ++level) {
        const QStringList &left = noRoom[level - 1];
        if (left.isEmpty())
            continue;
        const int slotCount = capacity[level - 1];
        if (slotCount == 0)
            refused.append(QStringLiteral("%1 has no %2-level slots, so these were not memorized: %3. Give "
                                          "the level slots to memorize spells of it.")
                               .arg(owner, SpellLevels::ordinal(level), named(left)));
        else
            refused.append(
                QStringLiteral("No %1-level slot of %2 is free (%3 of %3 memorized), so these were "
                               "not memorized: %4. Forget a spell of that level, or give the level "
                               "more slots.")
                    .arg(SpellLevels::ordinal(level), owner)
                    .arg(slotCount)
                    .arg(named(left)));
    }
    return refused;
}

QString VM_Memorized::Add_Spells_To_Memorized(const QString &caster, const QStringList &spells)
{
    const UndoStep step(
        QStringLiteral("Memorize %1 for %2")
            .arg(UndoStep::counted(spells.size(), QStringLiteral("Spell")), caster.trimmed()));
    m_memorized = 0;
    const QString owner = trimBlanks(caster);
    return statusFrom([&]() -> QString {
        Transaction transaction(db());
        if (!hasCaster(db(), owner))
            return QStringLiteral("Spellbook details could not be found");
        const QStringList refused = placeSpells(
            owner, spells,
            QStringLiteral("These spells are not in the spellbook of %1 and were not memorized: %2"));
        transaction.commit();
        return refused.join(QLatin1Char('\n'));
    });
}

QStringList VM_Memorized::Fetch_Plan_Names(const QString &caster)
{
    QStringList names;
    Statement select(db(), "SELECT DISTINCT PlanName FROM MemorizedPlans WHERE Caster = ? "
                           "ORDER BY PlanName COLLATE NOCASE, PlanName");
    select.bind(1, trimBlanks(caster));
    while (select.step())
        names.append(select.text(0));
    return names;
}

QString VM_Memorized::Save_Plan(const QString &caster, const QString &plan)
{
    const UndoStep step(QStringLiteral("Save Plan ") + UndoStep::quoted(plan));
    const QString owner = trimBlanks(caster);
    const QString name = plan.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Type a name for the plan first.");
    return statusFrom([&]() -> QString {
        Transaction transaction(db());
        Statement count(db(), "SELECT count(*) FROM Memorized WHERE Caster = ?");
        count.bind(1, owner).step();
        if (count.integer(0) == 0)
            return QStringLiteral("%1 has no memorized spells to keep as a plan.").arg(owner);
        count.reset();
        Statement remove(db(), "DELETE FROM MemorizedPlans WHERE Caster = ? AND PlanName = ?");
        remove.bind(1, owner).bind(2, name).run();
        Statement copy(db(),
                       "INSERT INTO MemorizedPlans (Caster, PlanName, SpellName, SpellLevel, SlotOrder) "
                       "SELECT Caster, ?, SpellName, SpellLevel, SlotOrder FROM Memorized "
                       "WHERE Caster = ? ORDER BY CAST(SpellLevel AS INTEGER), SlotOrder, rowid");
        copy.bind(1, name).bind(2, owner).run();
        transaction.commit();
        return {};
    });
}

QString VM_Memorized::Load_Plan(const QString &caster, const QString &plan)
{
    const UndoStep step(QStringLiteral("Load Plan ") + UndoStep::quoted(plan));
    m_memorized = 0;
    const QString owner = trimBlanks(caster);
    const QString name = plan.trimmed();
    return statusFrom([&]() -> QString {
        Transaction transaction(db());
        QStringList spells;
        Statement select(db(), "SELECT SpellName FROM MemorizedPlans WHERE Caster = ? AND PlanName = ? "
                               "ORDER BY CAST(SpellLevel AS INTEGER), SlotOrder, rowid");
        select.bind(1, owner).bind(2, name);
        while (select.step())
            spells.append(select.text(0));
        if (spells.isEmpty())
            return QStringLiteral("%1 has no plan named %2.").arg(owner, name);
        Statement clear(db(), "DELETE FROM Memorized WHERE Caster = ?");
        clear.bind(1, owner).run();
        const QStringList refused = placeSpells(
            owner, spells,
            QStringLiteral("These spells of the plan are no longer in the spellbook of %1 and were not "
                           "memorized: %2"));
        transaction.commit();
        return refused.join(QLatin1Char('\n'));
    });
}

QString VM_Memorized::Remove_Plan(const QString &caster, const QString &plan)
{
    const UndoStep step(QStringLiteral("Delete Plan ") + UndoStep::quoted(plan));
    return statusOf([&] {
        Transaction transaction(db());
        Statement remove(db(), "DELETE FROM MemorizedPlans WHERE Caster = ? AND PlanName = ?");
        remove.bind(1, trimBlanks(caster)).bind(2, plan.trimmed()).run();
        transaction.commit();
    });
}

QString VM_Memorized::Update_Memorized_Cast(const QString &caster, const MemorizedSlot &slot, bool cast)
{
    const UndoStep step((cast ? QStringLiteral("Cast ") : QStringLiteral("Uncast ")) +
                        UndoStep::quoted(slot.spell));
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
    const UndoStep step(QStringLiteral("Forget ") + UndoStep::quoted(slot.spell));
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
    const UndoStep step(QStringLiteral("Rest of ") + caster.trimmed());
    return statusOf([&] {
        Transaction transaction(db());
        Statement rest(db(), "UPDATE Memorized SET IsCast = 0 WHERE Caster = ? AND IsCast <> 0");
        rest.bind(1, trimBlanks(caster)).run();
        transaction.commit();
    });
}

QString VM_Memorized::Remove_All_Memorized(const QString &caster)
{
    const UndoStep step(QStringLiteral("Clear Memorized Spells of ") + caster.trimmed());
    return statusOf([&] {
        Transaction transaction(db());
        Statement clear(db(), "DELETE FROM Memorized WHERE Caster = ?");
        clear.bind(1, trimBlanks(caster)).run();
        transaction.commit();
    });
}
