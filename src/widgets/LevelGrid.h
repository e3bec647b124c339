#pragma once

#include <QSize>

class QListWidget;
class QWidget;

// The nine spell levels, "1st" to "9th", as the filters that choose several of them show them: a
// list named "Lst_Levels" of three columns of three cells, with no scroll bars.
namespace LevelGrid {

QListWidget *create(QWidget *parent);
// The room three cells (or rows of cells) take in the list, frame and spacing included.
QSize threeByThree(const QListWidget *levels);

} // namespace LevelGrid
