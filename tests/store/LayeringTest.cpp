#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

// The data layer must run headless: nothing under src/store or src/exchange, and no data class
// elsewhere, may pull in a widget header.
TEST(Layering, CoreSourcesIncludeNoWidgetHeaders)
{
    const QRegularExpression widgets(QStringLiteral(
        R"(#\s*include\s*[<"](QtWidgets|QtPrintSupport|QWidget|QMessageBox|QFileDialog|QApplication)\b)"));
    int checked = 0;
    for (const char *folder : {"src/store", "src/exchange", "src/browse"}) {
        QDirIterator it(QStringLiteral(VELLUMAR_SOURCE_DIR "/") + QLatin1String(folder), {"*.h", "*.cpp"});
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = it.fileName();
            const bool core = !QLatin1String(folder).endsWith(QLatin1String("browse")) ||
                              name.startsWith(QLatin1String("VM_"));
            if (!core || name.startsWith(QLatin1String("Frm_")))
                continue;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_FALSE(widgets.match(QString::fromUtf8(file.readAll())).hasMatch()) << path.toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 5);
}
