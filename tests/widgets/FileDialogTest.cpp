#include "Peer.h"
#include "ProcessLocks.h"
#include "TestLibrary.h"

#include "store/AppFolder.h"
#include "widgets/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMimeDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// Lists `folder` in a file dialog's model and asks for every file's icon and type, as a view
// showing the folder asks, then waits for the model's gatherer thread to finish what it was asked.
void loadFolder(QFileDialog &dialog, const QString &folder)
{
    auto *model = dialog.findChild<QFileSystemModel *>();
    ASSERT_TRUE(model);
    bool loaded = false;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog,
                     [&](const QString &path) { loaded = loaded || path == folder; });
    dialog.setDirectory(folder);
    EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }, 10000));
    const QModelIndex root = model->index(folder);
    for (int row = 0; row < model->rowCount(root); ++row) {
        for (int column = 0; column < model->columnCount(root); ++column) {
            const QModelIndex cell = model->index(row, column, root);
            cell.data(Qt::DisplayRole);
            cell.data(Qt::DecorationRole);
        }
    }
    QTest::qWait(300);
}

// Runs a real file dialog of the program through Prompt: once it is up, `use` gets it after it
// has loaded `folder`; `use` then closes the dialog.
std::optional<QString> withRealDialog(const std::function<std::optional<QString>()> &open,
                                      const QString &folder, const std::function<void(QFileDialog &)> &use)
{
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        loadFolder(*dialog, folder);
        use(*dialog);
    });
    return open();
}

QStringList shownNames(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QListView *>(QStringLiteral("listView"));
    QStringList names;
    for (int row = 0; view && row < view->model()->rowCount(view->rootIndex()); ++row)
        names.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
    names.sort();
    return names;
}

void addSpell(Connection &connection, const QString &name)
{
    Transaction change(connection);
    Statement(connection, "INSERT INTO Spells (Name, Lvl) VALUES (?, '1')").bind(1, name).run();
    change.commit();
}

// Browses for the output file in Qt's own print dialog, with "Print to File" chosen: Qt's file
// dialog opens outside Prompt, with Qt's icon provider, in the folder of the file to print to.
void browseInQtsPrintDialog(const QString &folder)
{
    QPrinter printer;
    printer.setOutputFileName(QDir(folder).filePath(QStringLiteral("Spells.pdf")));
    QPrintDialog print(&printer);
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        const auto closePrint = qScopeGuard([&] { print.reject(); });
        auto *browse = print.findChild<QToolButton *>(QStringLiteral("fileBrowser"));
        ASSERT_TRUE(browse && browse->isEnabled());
        bool browsed = false;
        QTimer::singleShot(0, &context, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            browsed = true;
            loadFolder(*dialog, folder);
            // What Qt's icon provider does for a file whose name tells nothing: it reads its start.
            for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files))
                QMimeDatabase().mimeTypeForFile(file);
            dialog->reject();
        });
        QTest::mouseClick(browse, Qt::LeftButton);
        EXPECT_TRUE(browsed);
    });
    print.exec();
}

} // namespace

// A file dialog that shows the library's folder opens the library's files to find their types
// (Qt's icon provider does, in dialogs of Qt that do not go through Prompt). Closing such a handle
// must not drop the locks of the program's connections: another program would then take itself to
// be alone, rebuild the shared index and remove the log under this one.
TEST(FileDialog, ListingTheLibrarysFolderKeepsTheProgramsLocks)
{
    const struct
    {
        const char *dialog;
        std::function<void(const QString &folder)> list;
    } cases[] = {
        {"the program's own, through Prompt",
         [](const QString &folder) {
             const QString previous = QDir::currentPath();
             QDir::setCurrent(folder); // where a dialog starts in a build folder
             QStringList shown;
             const auto chosen = withRealDialog(
                 [] { return Prompt::openFile(nullptr, QStringLiteral("All Files (*)|*")); }, folder,
                 [&](QFileDialog &dialog) {
                     shown = shownNames(dialog);
                     dialog.reject();
                 });
             QDir::setCurrent(previous);
             EXPECT_FALSE(chosen);
             EXPECT_EQ(shown, QStringList{"Spells.mdb"}); // the journals are no file to open
         }},
        {"Qt's, from its print dialog", browseInQtsPrintDialog},
    };
    for (const auto &each : cases) {
        SCOPED_TRACE(each.dialog);
        TestLibrary library;
        setAppFolder(library.folder());
        const QString path = library.path();
        const QStringList files = {path, path + "-wal", path + "-shm"};
        Connection &first = library.db();
        addSpell(first, QStringLiteral("Before the dialog"));
        const QStringList locks = heldLocks(files);
        ASSERT_FALSE(locks.isEmpty());

        each.list(library.folder());
        EXPECT_EQ(heldLocks(files), locks);

        // Other programs write, fold the log into the library and close; this one's later changes
        // must all stay.
        EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("From the peer")}, library.folder()),
                  "exit 0: ");
        addSpell(first, QStringLiteral("After the peer"));
        EXPECT_EQ(runPeer({QStringLiteral("checkpoint"), QStringLiteral("Second peer")}, library.folder()),
                  "exit 0: ");
        addSpell(first, QStringLiteral("Last"));
        // As a third program finds the library: changes written to a log that was removed are lost.
        EXPECT_EQ(runShell(path, "PRAGMA integrity_check; SELECT group_concat(Name, '|') FROM "
                                 "(SELECT Name FROM Spells ORDER BY Name);"),
                  "exit 0: ok\nAfter the peer|Before the dialog|From the peer|Last|Second peer");
        setAppFolder(QString());
    }
}

// Qt takes a name filter's patterns from its parentheses, separated by blanks: "*.spel;*.sbok" would
// be one pattern that matches no file, and the Open dialog would list an empty folder.
TEST(FileDialog, FiltersListTheFilesOfTheirTypes)
{
    const struct
    {
        const char *filter;
        const char *qt;
    } cases[] = {
        {"Vellumar Files (*.spel;*.sbok)|*.spel;*.sbok", "Vellumar Files (*.spel *.sbok)"},
        {"Spell Files (*.spel)|*.spel|Markdown (*.md)|*.md", "Spell Files (*.spel);;Markdown (*.md)"},
        {"PDF Files|*.pdf", "PDF Files (*.pdf)"},
    };
    for (const auto &each : cases)
        EXPECT_EQ(Prompt::qtFilter(QString::fromLatin1(each.filter)), QString::fromLatin1(each.qt))
            << each.filter;

    // A real dialog, given the filter as the program gives it, lists the files of both types.
    QTemporaryDir dir;
    for (const char *name : {"a.spel", "b.sbok", "c.txt", "d.spel.bak"})
        QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(Prompt::qtFilter(QStringLiteral("Vellumar Files (*.spel;*.sbok)|*.spel;*.sbok"))
                              .split(QStringLiteral(";;")));
    auto *model = dialog.findChild<QFileSystemModel *>();
    ASSERT_TRUE(model);
    bool loaded = false;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog,
                     [&](const QString &path) { loaded = loaded || path == dir.path(); });
    dialog.setDirectory(dir.path());
    dialog.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownNames(dialog).size() == 2; }, 5000));
    EXPECT_EQ(shownNames(dialog), (QStringList{"a.spel", "b.sbok"}));
    dialog.hide();
}
