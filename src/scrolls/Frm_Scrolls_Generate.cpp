// The scroll manager's Generate tab: the levels, schools and counts of a random scroll, drawn and
// saved.

#include "scrolls/Frm_Scrolls.h"

#include "scrolls/Frm_ScrollSaver.h"
#include "store/VM_Library.h"
#include "widgets/BusyCursor.h"
#include "widgets/FormControls.h"
#include "widgets/LevelGrid.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"

#include <QComboBox>
#include <QListWidget>

#include <cmath>

// The Generate tab: a scroll drawn at random from the chosen levels, schools and frequencies.

namespace {

constexpr int kMostSpells = 99;

} // namespace

void Frm_Scrolls::Opt_All_Click()
{
    m_schools->selectAll();
}

void Frm_Scrolls::Opt_None_Click()
{
    m_schools->clearSelection();
}

void Frm_Scrolls::Opt_All_Levels_Click()
{
    m_levels->selectAll();
}

void Frm_Scrolls::Opt_None_Levels_Click()
{
    m_levels->clearSelection();
}

void Frm_Scrolls::cmbo_Spells_Change()
{
    // Two figures at most: typing 100 leaves 10.
    const QString count = m_count->currentText().trimmed();
    if (count.size() > 2)
        m_count->setEditText(count.left(2));
}

void Frm_Scrolls::Cmd_Apply_Click()
{
    if (m_tab != GenerateTab)
        return;
    const QString countText = m_count->currentText().trimmed();
    bool numeric = false;
    const double count = countText.toDouble(&numeric);
    if (countText.isEmpty() || !numeric || std::isnan(count) || count < 1) {
        Prompt::message(this, QStringLiteral("Please input a valid number of spells"));
        m_count->setFocus();
        return;
    }
    // Halves go to the even neighbour.
    const double spells = std::nearbyint(count);
    if (spells > kMostSpells) {
        Prompt::message(this, QStringLiteral("Please limit the spell number to 99 or less"));
        m_count->setFocus();
        return;
    }
    if (m_frequency->currentText().isEmpty()) {
        Prompt::message(this, QStringLiteral("Please select a valid lowest frequency"));
        m_frequency->setFocus();
        return;
    }

    BusyCursor busy;
    const QStringList levels = LevelGrid::chosenLevels(m_levels);
    if (levels.isEmpty()) {
        Prompt::message(this, QStringLiteral("You must select at least 1 level"));
        return;
    }
    const QStringList schools = FormControls::selectedTexts(m_schools);
    if (schools.isEmpty()) {
        Prompt::message(this, QStringLiteral("You must select at least 1 School"));
        return;
    }
    int lowestFrequency = 0;
    for (int item = 0; item < m_frequency->count(); ++item) {
        if (m_frequency->itemText(item) == m_frequency->currentText())
            lowestFrequency = m_frequency->itemData(item).toInt();
    }

    m_generated->rows()->clear();
    const QString status = m_library->CreateScroll(levels, schools, lowestFrequency, int(spells));
    if (!status.isEmpty()) {
        refreshStates();
        Prompt::message(this, status.trimmed());
        return;
    }
    // Taken out of the library object at once, so that a draw without candidates shows nothing
    // rather than the draw before it.
    const OptionalTable drawn = m_library->Fetch_LibScrolls_Array();
    m_library->Fetch_LibScrolls_Array(std::nullopt);
    if (drawn) {
        QList<QString> cells;
        cells.reserve(qsizetype(drawn->rows()) * 5);
        for (int row = 0; row < drawn->rows(); ++row)
            cells << drawn->at(0, row) << drawn->at(1, row) << drawn->at(4, row) << drawn->at(2, row)
                  << drawn->at(3, row);
        m_generated->rows()->setCells(std::move(cells));
    }
    refreshStates();
}

void Frm_Scrolls::saveGenerated()
{
    if (m_savingGenerated || m_generated->rowCount() == 0)
        return;
    m_savingGenerated = true;
    refreshStates();
    {
        Frm_ScrollSaver saver(this);
        saver.Initialize(*m_workspace, rowsOf(m_generated), [this] { LoadScrollNames(); });
    }
    m_savingGenerated = false;
    refreshStates();
}
