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

// Windows reach the frame through the workspace, and the shared widgets stand below every window:
// only the shell knows the frame, and src/widgets knows no window folder.
TEST(Layering, OnlyTheShellKnowsTheFrameAndWidgetsKnowNoWindow)
{
    const QRegularExpression frame(QStringLiteral(R"(#\s*include\s*"shell/MDI_Main\.h")"));
    const QRegularExpression window(
        QStringLiteral(R"(#\s*include\s*"(browse|shell|maintain|scrolls|exchange)/)"));
    int checked = 0;
    QDirIterator it(QStringLiteral(VELLUMAR_SOURCE_DIR "/src"), {"*.h", "*.cpp"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        if (!path.contains(QLatin1String("/src/shell/"))) {
            EXPECT_FALSE(frame.match(text).hasMatch()) << path.toStdString();
        }
        if (path.contains(QLatin1String("/src/widgets/"))) {
            EXPECT_FALSE(window.match(text).hasMatch()) << path.toStdString();
        }
        ++checked;
    }
    EXPECT_GT(checked, 50);
}
