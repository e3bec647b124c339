#pragma once

#include <QStringList>
#include <Qt>

#include <optional>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QWidget;
class VM_Library;

// What the forms do with their lists and drop-downs, written once: the texts chosen in a list
// box, a drop-down refilled without a choice, and a stored value kept even when the drop-down
// does not offer it.
namespace FormControls {

// The texts (or another role's values) of a list box's selected items, in list order.
QStringList selectedTexts(const QListWidget *list, int role = Qt::DisplayRole);

// Qt shows a tool tip as rich text when it looks like markup: a spell or school named "<b>x" would
// not show as typed, and one named "<img src=…>" would make Qt read the file it names (the
// library's among them). Text from the library or a file goes into a tool tip through this.
QString plainToolTip(const QString &text);

// Adds an entry to a list box, its tool tip its whole text: long names are cut short in the
// narrow lists.
QListWidgetItem *addEntry(QListWidget *list, const QString &text);

// Fills a list box with entries, selecting those in selected, without announcing each change.
void fillList(QListWidget *list, const QStringList &entries, const QStringList &selected);

// Fills a drop-down with entries and leaves it without a choice.
void refill(QComboBox *combo, const QStringList &entries);

// A stored value the drop-down does not offer (an imported spell's, say) leaves it without a
// selection; it shows greyed as the placeholder and is what chosenValue keeps, so nothing is lost.
void choose(QComboBox *combo, const QString &value);
QString chosenValue(const QComboBox *combo);

// The library's spellbook names; a library that cannot be read is reported to the user over window
// and gives none.
std::optional<QStringList> spellbookNames(QWidget *window, VM_Library &library);

// Fills a drop-down with the library's frequency scale, each entry's data its FrequencyID, and
// leaves it without a choice. Returns the library's status text; throws VmError.
QString fillFrequencies(QComboBox *combo, VM_Library &library);

} // namespace FormControls
