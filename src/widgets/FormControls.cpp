#include "widgets/FormControls.h"

#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/Prompt.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTextDocument>

namespace FormControls {

QStringList selectedTexts(const QListWidget *list, int role)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            texts.append(list->item(row)->data(role).toString());
    }
    return texts;
}

QString plainToolTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}

QListWidgetItem *addEntry(QListWidget *list, const QString &text)
{
    auto *item = new QListWidgetItem(text, list);
    item->setToolTip(plainToolTip(text));
    return item;
}

void fillList(QListWidget *list, const QStringList &entries, const QStringList &selected)
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (const QString &entry : entries)
        addEntry(list, entry)->setSelected(selected.contains(entry));
}

void refill(QComboBox *combo, const QStringList &entries)
{
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setPlaceholderText(QString());
}

void choose(QComboBox *combo, const QString &value)
{
    const int index = value.isEmpty() ? -1 : combo->findText(value);
    combo->setCurrentIndex(index);
    combo->setPlaceholderText(index < 0 ? value : QString());
}

QString chosenValue(const QComboBox *combo)
{
    return combo->currentIndex() >= 0 ? combo->currentText() : combo->placeholderText();
}

std::optional<QStringList> spellbookNames(QWidget *window, VM_Library &library)
{
    try {
        return library.Get_Exisiting_Spellbook_Names();
    } catch (const VmError &error) {
        Prompt::report(window, error);
        return std::nullopt;
    }
}

QString fillFrequencies(QComboBox *combo, VM_Library &library)
{
    combo->clear();
    if (const QString status = library.Fetch_Frequencies(); !status.isEmpty())
        return status;
    // The scale is read back at once: the library keeps it where the scroll list is kept too.
    if (const OptionalTable scale = library.Fetch_Scrolls_Array(); scale && scale->columns() >= 2) {
        for (int row = 0; row < scale->rows(); ++row)
            combo->addItem(scale->at(0, row), scale->at(1, row).toInt());
    }
    combo->setCurrentIndex(-1);
    return QString();
}

} // namespace FormControls
