#include "Files.h"

#include "store/Database.h"

#include <QProcess>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs the build's tools and the installed program as separate processes, as a user's
// machine would.
struct ProcessRun
{
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;

    bool ok() const { return finished && exitCode == 0; }
    std::string report() const
    {
        return QString("exit %1%2\n--- out\n%3--- err\n%4")
            .arg(exitCode)
            .arg(finished ? "" : " (did not finish)", out, err)
            .toStdString();
    }
};

ProcessRun runProgram(const QString &program, const QStringList &arguments,
                      const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                      const QString &workingFolder = {}, int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    ProcessRun run;
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError()) + process.errorString();
    return run;
}

const QString buildFolder = VELLUMAR_BUILD_DIR;
const QString appId = "org.example.vellumar.Vellumar";

// A fresh user: a home of their own, no $VELLUMAR_HOME, no XDG folders pointing elsewhere, no
// display; the program ends as soon as its frame is up.
QProcessEnvironment freshUser(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name :
         {"VELLUMAR_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    environment.insert("HOME", home);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("VELLUMAR_CLOSE_AFTER_START", "1");
    return environment;
}

// Width and height from a PNG file's header, or {0, 0} for anything else.
QSize pngSize(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    if (!bytes.startsWith("\x89PNG\r\n\x1a\n") || bytes.size() < 24)
        return {};
    auto number = [&](int at) {
        return int(quint8(bytes[at]) << 24 | quint8(bytes[at + 1]) << 16 | quint8(bytes[at + 2]) << 8 |
                   quint8(bytes[at + 3]));
    };
    return {number(16), number(20)};
}

int casterCount(const QString &library, const QString &name)
{
    Connection db(library, Connection::Access::ReadOnly);
    Statement count(db, "SELECT COUNT(*) FROM SpellCasters WHERE Spellbook = ?");
    count.bind(1, name);
    return count.step() ? int(count.integer(0)) : -1;
}

// The frame, once up, names itself and its library on the way out.
void expectStartedOn(const ProcessRun &run, const QString &library)
{
    ASSERT_TRUE(run.ok()) << run.report();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.report();
    EXPECT_EQ(lines[0], "Vellumar, Version 1.0");
    EXPECT_EQ(lines[1], library);
}

class Installed : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", root.path());
        const ProcessRun install =
            runProgram(VELLUMAR_CMAKE, {"--install", buildFolder, "--prefix", "/usr"}, environment);
        ASSERT_TRUE(install.ok()) << install.report();
    }

    QString path(const QString &inPrefix) const { return root.path() + "/usr/" + inPrefix; }

    QTemporaryDir root;
};

} // namespace

TEST_F(Installed, FilesLandWhereTheDesktopLooksAndPassItsValidators)
{
    EXPECT_TRUE(QFileInfo(path("bin/vellumar")).isExecutable());
    for (const char *name : {"Spells.mdb", "Read Me.txt", "singlespell.rpt", "fullspellbook.rpt",
                             "filteredspellbook.rpt", "scrolls.rpt", "spells.schema.json"})
        EXPECT_TRUE(QFile::exists(path("share/vellumar/") + name)) << name;
    // The installed library is the delivered one, whatever the build folder's has become.
    EXPECT_EQ(casterCount(path("share/vellumar/Spells.mdb"), "Maelis Thorn"), 1);

    const QString desktop = path("share/applications/" + appId + ".desktop");
    const QStringList entry = QString::fromUtf8(fileBytes(desktop)).split('\n');
    for (const QString &line :
         QStringList{"Name=Vellumar", "Exec=vellumar", "Categories=Game;RolePlaying;", "Icon=" + appId})
        EXPECT_TRUE(entry.contains(line)) << line.toStdString();
    EXPECT_TRUE(QFile::exists(path("share/icons/hicolor/scalable/apps/" + appId + ".svg")));
    for (const int size : {48, 128})
        EXPECT_EQ(pngSize(path(QString("share/icons/hicolor/%1x%1/apps/").arg(size) + appId + ".png")),
                  QSize(size, size));

    const QString metainfo = path("share/metainfo/" + appId + ".metainfo.xml");
    EXPECT_TRUE(fileBytes(metainfo).contains("<release version=\"1.0\""))
        << "the version comes from the build";
    for (const QStringList &check : {QStringList{"desktop-file-validate", desktop},
                                     QStringList{"appstreamcli", "validate", "--no-net", metainfo}}) {
        const QString tool = QStandardPaths::findExecutable(check.first());
        ASSERT_FALSE(tool.isEmpty()) << check.first().toStdString()
                                     << " is missing: run scripts/install-deps.sh";
        const ProcessRun validation = runProgram(tool, check.mid(1));
        EXPECT_TRUE(validation.ok()) << validation.report();
    }
}

TEST_F(Installed, EachUserGetsALibraryOfTheirOwnOnceAndKeepsTheirChanges)
{
    QTemporaryDir home;
    const QString data = home.path() + "/.local/share/Vellumar";
    const QString library = data + "/Spells.mdb";
    const QByteArray deliveredLibrary = fileBytes(path("share/vellumar/Spells.mdb"));

    expectStartedOn(runProgram(path("bin/vellumar"), {}, freshUser(home.path())), library);
    for (const char *name : {"Spells.mdb", "Read Me.txt", "singlespell.rpt", "scrolls.rpt"})
        EXPECT_TRUE(QFile::exists(data + "/" + name)) << name;

    // The user changes their library and a layout.
    {
        Connection db(library);
        db.exec("INSERT INTO SpellCasters (Spellbook, Lvl, Race, Class) VALUES ('Installed Tester', '3', "
                "'Gnome', 'Mage')");
    }
    QFile layout(data + "/scrolls.rpt");
    ASSERT_TRUE(layout.open(QIODevice::Append));
    layout.write("\n{{! the user's note }}\n");
    layout.close();
    const QByteArray changedLayout = fileBytes(data + "/scrolls.rpt");

    expectStartedOn(runProgram(path("bin/vellumar"), {}, freshUser(home.path())), library);
    EXPECT_EQ(casterCount(library, "Installed Tester"), 1);
    EXPECT_EQ(fileBytes(data + "/scrolls.rpt"), changedLayout);
    EXPECT_EQ(fileBytes(path("share/vellumar/Spells.mdb")), deliveredLibrary)
        << "the shared copy stays as delivered";

    // $VELLUMAR_HOME still wins over the data folder.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::copy(path("share/vellumar/Spells.mdb"), elsewhere.filePath("Spells.mdb")));
    QProcessEnvironment withVariable = freshUser(home.path());
    withVariable.insert("VELLUMAR_HOME", elsewhere.path());
    expectStartedOn(runProgram(path("bin/vellumar"), {}, withVariable), elsewhere.filePath("Spells.mdb"));
}

TEST(BuildFolder, AProgramBesideItsLibraryUsesItAndCopiesNothing)
{
    QTemporaryDir home;
    expectStartedOn(runProgram(buildFolder + "/vellumar", {}, freshUser(home.path())),
                    buildFolder + "/Spells.mdb");
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/.local/share/Vellumar"));
}

// Slow: cpack installs the whole project again and asks dpkg-shlibdeps for the libraries.
TEST(DebPackage, NamesItsRuntimeLibrariesAndCarriesTheInstalledFiles)
{
    QTemporaryDir out;
    const ProcessRun cpack = runProgram(VELLUMAR_CPACK, {"-G", "DEB", "-B", out.path()},
                                        QProcessEnvironment::systemEnvironment(), buildFolder, 600000);
    ASSERT_TRUE(cpack.ok()) << cpack.report();
    const QString deb = out.filePath(
        QStringLiteral("vellumar_%1.%2_amd64.deb").arg(VELLUMAR_VERSION_MAJOR).arg(VELLUMAR_VERSION_MINOR));
    ASSERT_TRUE(QFile::exists(deb)) << QDir(out.path()).entryList().join(' ').toStdString();

    const ProcessRun fields = runProgram("dpkg-deb", {"--field", deb, "Package", "Architecture", "Depends"});
    ASSERT_TRUE(fields.ok()) << fields.report();
    EXPECT_TRUE(fields.out.contains("Package: vellumar\n")) << fields.out.toStdString();
    EXPECT_TRUE(fields.out.contains("Architecture: amd64\n")) << fields.out.toStdString();
    const QString depends = fields.out.section("Depends: ", 1);
    for (const char *package :
         {"libqt6widgets6", "libqt6printsupport6", "libsqlcipher0", "libssl3", "qt6-qpa-plugins"})
        EXPECT_TRUE(depends.contains(package)) << package << " missing from: " << depends.toStdString();

    const ProcessRun contents = runProgram("dpkg-deb", {"--contents", deb});
    ASSERT_TRUE(contents.ok()) << contents.report();
    for (const QString &file : QStringList{
             "./usr/bin/vellumar", "./usr/share/vellumar/Spells.mdb", "./usr/share/vellumar/Read Me.txt",
             "./usr/share/vellumar/scrolls.rpt", "./usr/share/applications/" + appId + ".desktop",
             "./usr/share/metainfo/" + appId + ".metainfo.xml",
             "./usr/share/icons/hicolor/48x48/apps/" + appId + ".png",
             "./usr/share/icons/hicolor/scalable/apps/" + appId + ".svg",
             "./usr/share/doc/vellumar/copyright", "./usr/share/doc/vellumar/changelog.gz"})
        EXPECT_TRUE(contents.out.contains(file + '\n')) << file.toStdString();

    // The description's lines reach the control file as lines, not joined by ";".
    const ProcessRun description = runProgram("dpkg-deb", {"--field", deb, "Description"});
    ASSERT_TRUE(description.ok()) << description.report();
    EXPECT_FALSE(description.out.contains(';')) << description.out.toStdString();
    EXPECT_GE(description.out.count("\n "), 3) << description.out.toStdString();

    // Checked as Debian checks packages: no error.
    const ProcessRun lintian = runProgram("lintian", {"--fail-on", "error", deb},
                                          QProcessEnvironment::systemEnvironment(), {}, 600000);
    EXPECT_TRUE(lintian.ok()) << lintian.report();
    EXPECT_FALSE(lintian.out.contains("\nE: ") || lintian.out.startsWith("E: ")) << lintian.out.toStdString();
}
