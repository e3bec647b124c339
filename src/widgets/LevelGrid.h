#pragma once

#include <QSize>
#include <QStringList>
#include <Qt>

class QListWidget;
class QWidget;

// The nine spell levels, "1st" to "9th", as the filters that choose several of them show them: a
// list named "Lst_Levels" of three columns of three cells, with no scroll bars.
namespace LevelGrid {

// Each cell holds its level, "1" to "9", under LevelRole, whatever its text shows.
inline constexpr int LevelRole = Qt::UserRole;

QListWidget *create(QWidget *parent);
// The levels chosen, "1" to "9", in level order.
QStringList chosenLevels(const QListWidget *levels);
// The room three cells (or rows of cells) take in the list, frame and spacing included.
QSize threeByThree(const QListWidget *levels);

} // namespace LevelGrid
