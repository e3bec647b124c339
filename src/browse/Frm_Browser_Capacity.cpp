// The spellbook browser's capacity: the counts per level beside the caster's numbers, and the
// question asked before a book goes past them.

#include "browse/Frm_Browser.h"

#include "browse/LevelCountDelegate.h"
#include "store/VmError.h"
#include "widgets/Prompt.h"

#include <QListWidget>

// How full each level of the caster's book is, shown in the "Levels" filter, and the question
// before a drop takes a level past what the caster can hold.

namespace {

// A level over capacity is drawn in this colour, the printed spellbook's warning red.
const QColor kOverCapacity(176, 32, 32);

} // namespace

void Frm_Browser::showLevelCounts()
{
    // KXR is the whole library: it has no capacity, and its levels stay plain.
    if (isLibrary() || !m_levels)
        return;
    if (!m_capacity)
        m_capacity = std::make_unique<CasterCapacity>();
    SpellbookLoad load;
    try {
        load = m_capacity->load(m_name);
    } catch (const VmError &) {
        // The counts are a gauge: a library that cannot be read now leaves the levels plain,
        // and the command that needs the library says why.
        for (int row = 0; row < m_levels->count(); ++row) {
            QListWidgetItem *item = m_levels->item(row);
            item->setData(LevelCountDelegate::CountRole, QVariant());
            item->setData(Qt::ForegroundRole, QVariant());
            item->setToolTip(QString());
        }
        return;
    }

    const QFontMetrics metrics = m_levels->fontMetrics();
    QFont bold = m_levels->font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    int widest = 0;
    for (int row = 0; row < m_levels->count() && row < int(load.size()); ++row) {
        const LevelLoad &level = load[row];
        const QString count = level.limited() ? QString::number(level.inBook) + QLatin1Char('/') +
                                                    QString::number(level.capacity)
                                              : QString::number(level.inBook);
        QListWidgetItem *item = m_levels->item(row);
        item->setData(LevelCountDelegate::CountRole, count);
        item->setData(Qt::AccessibleTextRole,
                      item->text() + QStringLiteral("  ") + count +
                          (level.over() ? QStringLiteral(", over capacity") : QString()));
        item->setData(Qt::ForegroundRole, level.over() ? QVariant(QBrush(kOverCapacity)) : QVariant());
        item->setToolTip(CasterCapacity::describe(level));
        const QString shown = level.over() ? count + LevelCountDelegate::overMark() : count;
        widest = std::max(widest, metrics.horizontalAdvance(item->text()) + 10 +
                                      boldMetrics.horizontalAdvance(shown));
    }
    int cellWidth = 0;
    for (int row = 0; row < m_levels->count(); ++row) {
        QListWidgetItem *item = m_levels->item(row);
        item->setSizeHint(QSize(std::max(item->sizeHint().width(), widest + 12), item->sizeHint().height()));
        cellWidth = std::max(cellWidth, item->sizeHint().width());
    }
    // Three wider cells a row still need room: take it from the list where it can spare it, and
    // let the list grow a row where it cannot.
    widenFilters(3 * (cellWidth + 2 * m_levels->spacing()) + m_levels->spacing() +
                 2 * m_levels->frameWidth() + 2);
    fitLevelsHeight();
    m_levels->viewport()->update();
}

bool Frm_Browser::acceptOverCapacity(const QStringList &spells)
{
    if (isLibrary() || spells.isEmpty())
        return true;
    if (!m_capacity)
        m_capacity = std::make_unique<CasterCapacity>();
    QString question;
    try {
        question = m_capacity->joiningQuestion({m_name}, spells);
    } catch (const VmError &) {
        // Adding reports a library it cannot reach in its own words.
        return true;
    }
    return question.isEmpty() || Prompt::ask(this, question);
}
