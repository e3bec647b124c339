#include "Peer.h"
#include "TestLibrary.h"

#include "store/AppFolder.h"
#include "store/Database.h"
#include "widgets/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QSet>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace {

// The locks this process holds on the given files, as the kernel lists them in /proc/locks
// ("POSIX ADVISORY READ pid dev:inode start end", the lock's number left out).
QStringList heldLocks(const QStringList &paths)
{
    QSet<QByteArray> inodes;
    for (const QString &path : paths) {
        struct stat status = {};
        if (::stat(QFile::encodeName(path).constData(), &status) == 0)
            inodes.insert(':' + QByteArray::number(quint64(status.st_ino)));
    }
    QFile table(QStringLiteral("/proc/locks"));
    EXPECT_TRUE(table.open(QIODevice::ReadOnly));
    const QByteArray pid = QByteArray::number(::getpid());
    QStringList held;
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 8 || fields.at(1) == "->" || fields.at(4) != pid)
            continue;
        const QByteArray &file = fields.at(5);
        if (inodes.contains(file.mid(file.lastIndexOf(':'))))
            held.append(QString::fromLatin1(fields.mid(1).join(' ')));
    }
    held.sort();
    return held;
}

// Runs a real file dialog of the program through Prompt: once it is up, `use` gets it, with its
// model, after the model has listed `folder` and every file's icon and type have been asked
// for, as a view showing the folder asks; `use` then closes the dialog.
std::optional<QString> withRealDialog(const std::function<std::optional<QString>()> &open,
                                      const QString &folder, const std::function<void(QFileDialog &)> &use)
{
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        auto *model = dialog->findChild<QFileSystemModel *>();
        ASSERT_TRUE(model);
        bool loaded = false;
        QObject::connect(model, &QFileSystemModel::directoryLoaded, dialog,
                         [&](const QString &path) { loaded = loaded || path == folder; });
        dialog->setDirectory(folder);
        EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }, 10000));
        const QModelIndex root = model->index(folder);
        for (int row = 0; row < model->rowCount(root); ++row) {
            for (int column = 0; column < model->columnCount(root); ++column) {
                const QModelIndex cell = model->index(row, column, root);
                cell.data(Qt::DisplayRole);
                cell.data(Qt::DecorationRole);
            }
        }
        QTest::qWait(300); // the model's gatherer thread finishes what it was asked
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

} // namespace

// A file dialog that shows the library's folder must not open the library's files: closing such a
// handle drops the locks of every connection of the program, and another program then takes
// itself to be alone, folds the log into the library and removes it under this one.
TEST(FileDialog, ListingTheLibrarysFolderKeepsTheProgramsLocks)
{
    TestLibrary library;
    setAppFolder(library.folder());
    const QString path = library.path();
    const QStringList files = {path, path + "-wal", path + "-shm"};
    Connection &first = library.db();
    addSpell(first, QStringLiteral("Before the dialog"));
    const QStringList locks = heldLocks(files);
    ASSERT_FALSE(locks.isEmpty());

    const QString previous = QDir::currentPath();
    QDir::setCurrent(library.folder()); // where a dialog starts in a build folder
    QStringList shown;
    const auto chosen = withRealDialog(
        [] { return Prompt::openFile(nullptr, QStringLiteral("All Files (*)|*")); }, library.folder(),
        [&](QFileDialog &dialog) {
            shown = shownNames(dialog);
            dialog.reject();
        });
    QDir::setCurrent(previous);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(shown, QStringList{"Spells.mdb"}); // the journals are no file to open
    EXPECT_EQ(heldLocks(files), locks);

    // Another program writes and closes; this one's later changes must all stay.
    EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("From the peer")}, library.folder()),
              "exit 0: ");
    addSpell(first, QStringLiteral("After the peer"));
    EXPECT_EQ(runPeer({QStringLiteral("add"), QStringLiteral("Second peer")}, library.folder()), "exit 0: ");
    addSpell(first, QStringLiteral("Last"));
    EXPECT_EQ(library.rows(QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
    EXPECT_EQ(library.rows(QStringLiteral("SELECT Name FROM Spells ORDER BY Name")),
              (QStringList{"After the peer", "Before the dialog", "From the peer", "Last", "Second peer"}));
    setAppFolder(QString());
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
    dialog.setNameFilters(
        Prompt::qtFilter(QStringLiteral("Vellumar Files (*.spel;*.sbok)|*.spel;*.sbok")).split(QStringLiteral(";;")));
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
