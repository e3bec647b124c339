#include "QtPrinters.h"

#include "widgets/FormControls.h"
#include "widgets/ListStatusPanels.h"

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QStatusBar>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// What Qt shows of a text given as a tool tip or to a label: it takes text that looks like markup
// for rich text.
QString shownText(const QString &text, Qt::TextFormat format = Qt::AutoText)
{
    QTextDocument shown;
    if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text)))
        shown.setHtml(text);
    else
        shown.setPlainText(text);
    return shown.toPlainText();
}

} // namespace

// Names and descriptions come from the library and from spells files: whatever they hold shows as
// typed, and none makes Qt fetch an image it names (the library's own files among them).
TEST(PlainText, SpellTextInToolTipsAndStatusPanelsShowsAsTyped)
{
    const char *const texts[] = {
        "<b>Bold</b> claim", "<img src=\"Spells.mdb-shm\">", "Tom & Jerry &amp; co", "a < b > c", "Fireball",
    };
    QMainWindow window;
    ListStatusPanels panels(window.statusBar(), &window);
    QListWidget list;
    for (const char *each : texts) {
        const QString text = QString::fromUtf8(each);
        SCOPED_TRACE(each);
        EXPECT_EQ(shownText(FormControls::plainToolTip(text)), text);
        EXPECT_EQ(shownText(FormControls::addEntry(&list, text)->toolTip()), text);
        FormControls::fillList(&list, {text}, {});
        EXPECT_EQ(shownText(list.item(0)->toolTip()), text);
        panels.showTransient(text);
        EXPECT_EQ(shownText(panels.panel(3)->text(), panels.panel(3)->textFormat()), text);
    }
}
