#include "Installed.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Slow: cpack installs the whole project again and asks dpkg-shlibdeps for the libraries.
TEST(DebPackage, NamesItsRuntimeLibrariesAndCarriesTheInstalledFiles)
{
    QTemporaryDir out;
    const ProcessRun cpack = runProgram(cpackCommand(), {"-G", "DEB", "-B", out.path()},
                                        QProcessEnvironment::systemEnvironment(), buildFolder(), 600000);
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
             "./usr/share/vellumar/scrolls.rpt", "./usr/share/applications/" + appId() + ".desktop",
             "./usr/share/metainfo/" + appId() + ".metainfo.xml",
             "./usr/share/icons/hicolor/48x48/apps/" + appId() + ".png",
             "./usr/share/icons/hicolor/scalable/apps/" + appId() + ".svg"})
        EXPECT_TRUE(contents.out.contains(file + '\n')) << file.toStdString();
}
