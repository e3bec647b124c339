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

namespace {

// Every source file under src, with its path relative to src ("maintain/Frm_Search.cpp").
QList<std::pair<QString, QString>> sourceFiles()
{
    QList<std::pair<QString, QString>> files;
    const QString root = QStringLiteral(VELLUMAR_SOURCE_DIR "/src/");
    QDirIterator it(root, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.append({path.mid(root.size()), QString::fromUtf8(file.readAll())});
    }
    return files;
}

} // namespace

// Windows reach the frame and each other through the workspace, and the shared widgets and
// services stand below every window. Each row: the files it is about, the includes they may not
// have.
TEST(Layering, FoldersIncludeOnlyWhatStandsBelowThem)
{
    struct Rule
    {
        QString files;     // a folder prefix the rule is about
        QString forbidden; // an include pattern those files may not have
        QString except;    // a folder prefix the rule leaves out
    };
    const QList<Rule> rules = {
        {QString(), QStringLiteral(R"(#\s*include\s*"shell/)"), QStringLiteral("shell/")},
        {QStringLiteral("widgets/"),
         QStringLiteral(R"(#\s*include\s*"(browse|shell|maintain|scrolls|import|exchange)/)"),
         {}},
        {QStringLiteral("maintain/"), QStringLiteral(R"(#\s*include\s*"(scrolls|import)/)"), {}},
        {QStringLiteral("scrolls/"), QStringLiteral(R"(#\s*include\s*"(maintain|import)/)"), {}},
        {QStringLiteral("import/"), QStringLiteral(R"(#\s*include\s*"(maintain|scrolls)/)"), {}},
        {QStringLiteral("store/"),
         QStringLiteral(R"(#\s*include\s*"(exchange|widgets|browse|maintain|scrolls|import|shell)/)"),
         {}},
        {QStringLiteral("exchange/"),
         QStringLiteral(R"(#\s*include\s*"(widgets|browse|maintain|scrolls|import|shell)/)"),
         {}},
    };
    const auto files = sourceFiles();
    ASSERT_GT(files.size(), 50);
    for (const Rule &rule : rules) {
        const QRegularExpression forbidden(rule.forbidden);
        int checked = 0;
        for (const auto &[path, text] : files) {
            if (!path.startsWith(rule.files) || (!rule.except.isEmpty() && path.startsWith(rule.except)))
                continue;
            ++checked;
            const auto match = forbidden.match(text);
            EXPECT_FALSE(match.hasMatch()) << path.toStdString() << ": " << match.captured().toStdString();
        }
        EXPECT_GT(checked, 0) << rule.files.toStdString();
    }
}
