#include "Files.h"

#include "store/AppFolder.h"

#include <QTemporaryDir>

namespace {

// Makes a folder unwritable for the test's life, and writable again after, so the temporary
// folder can be removed.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(QString path) : m_path(std::move(path))
    {
        QFile::setPermissions(m_path,
                              QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    }
    ~ReadOnlyFolder()
    {
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QString m_path;
};

} // namespace

TEST(AppFolder, OwnFolderOnlyWithAWritableLibraryAndTheVariableAlwaysWins)
{
    QTemporaryDir own;
    QTemporaryDir data;
    QTemporaryDir variable;
    const QString library = own.filePath("Spells.mdb");

    // Installed: the program's folder holds no library.
    EXPECT_EQ(chooseAppFolder({}, own.path(), data.path()), data.path());
    EXPECT_EQ(chooseAppFolder(variable.path(), own.path(), data.path()), variable.path());

    // A build folder or an unpacked copy: the library beside the program is used.
    writeFile(own.path(), "Spells.mdb", "library");
    EXPECT_EQ(chooseAppFolder({}, own.path(), data.path()), own.path());
    EXPECT_EQ(chooseAppFolder(variable.path() + "/", own.path(), data.path()), variable.path());

    // A library the user could not change is not theirs to use: neither a read-only file nor
    // one in a read-only folder, where the journal beside it cannot be made.
    QFile::setPermissions(library, QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_EQ(chooseAppFolder({}, own.path(), data.path()), data.path());
    QFile::setPermissions(library, QFile::ReadOwner | QFile::WriteOwner);
    {
        ReadOnlyFolder readOnly(own.path());
        EXPECT_EQ(chooseAppFolder({}, own.path(), data.path()), data.path());
        EXPECT_EQ(chooseAppFolder(variable.path(), own.path(), data.path()), variable.path());
    }
    EXPECT_EQ(chooseAppFolder({}, own.path(), data.path()), own.path());

    // A folder named Spells.mdb is no library.
    QFile::remove(library);
    QDir(own.path()).mkdir("Spells.mdb");
    EXPECT_EQ(chooseAppFolder({}, own.path(), data.path()), data.path());
}

TEST(AppFolder, DeliveredFilesFillWhatTheDataFolderLacksAndNeverReplaceTheUsersOwn)
{
    QTemporaryDir delivered;
    QTemporaryDir home;
    for (const char *name : {"Spells.mdb", "Read Me.txt", "singlespell.rpt", "scrolls.rpt"})
        writeFile(delivered.path(), name, QByteArray("delivered ") + name);
    writeFile(delivered.path(), "notes.txt", "not delivered");
    QFile::setPermissions(delivered.filePath("Spells.mdb"), QFile::ReadOwner | QFile::ReadGroup);
    const QString data = home.filePath("share/Vellumar");

    // The first start makes the folder and copies everything, writable for its user.
    EXPECT_EQ(provideDeliveredFiles(data, delivered.path()), QString());
    for (const char *name : {"Spells.mdb", "Read Me.txt", "singlespell.rpt", "scrolls.rpt"})
        EXPECT_EQ(fileBytes(data + "/" + name), QByteArray("delivered ") + name) << name;
    EXPECT_FALSE(QFile::exists(data + "/notes.txt"));
    EXPECT_TRUE(QFile::permissions(data + "/Spells.mdb") & QFile::WriteOwner);

    // Later starts keep the user's library and layouts, and bring back only what is gone.
    writeFile(data, "Spells.mdb", "the user's library");
    writeFile(data, "scrolls.rpt", "the user's layout");
    QFile::remove(data + "/Read Me.txt");
    EXPECT_EQ(provideDeliveredFiles(data, delivered.path()), QString());
    EXPECT_EQ(fileBytes(data + "/Spells.mdb"), "the user's library");
    EXPECT_EQ(fileBytes(data + "/scrolls.rpt"), "the user's layout");
    EXPECT_EQ(fileBytes(data + "/Read Me.txt"), "delivered Read Me.txt");
    EXPECT_EQ(QDir(data).entryList(QDir::Files).size(), 4) << "no temporary copy is left behind";

    // A data folder that cannot be made is a clear message, not a silent empty start.
    writeFile(home.path(), "blocked", "a file where the folder should be");
    const QString problem = provideDeliveredFiles(home.filePath("blocked/Vellumar"), delivered.path());
    EXPECT_TRUE(problem.contains("cannot create")) << problem.toStdString();
}
