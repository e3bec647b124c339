#include "Controls.h"
#include "ScriptedPrompt.h"
#include "shell/Frm_About.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Puts only the given folder on the PATH while it lives.
class OnlyOnPath
{
public:
    explicit OnlyOnPath(const QString &folder) : m_saved(qgetenv("PATH"))
    {
        qputenv("PATH", folder.toLocal8Bit());
    }
    ~OnlyOnPath() { qputenv("PATH", m_saved); }

private:
    QByteArray m_saved;
};

} // namespace

TEST(About, SystemInfoStartsTheFirstToolFoundOrSaysItIsUnavailable)
{
    QTemporaryDir bin;
    ScriptedPrompt prompt;
    Frm_About about;
    {
        OnlyOnPath path(bin.path());
        clickButton(&about, "cmdSysInfo");
    }
    EXPECT_EQ(prompt.messages(), QStringList{"System Information Is Unavailable At This Time"});

    // A tool on the PATH is started; it leaves a mark to show it ran.
    const QString marker = bin.filePath("ran");
    QFile tool(bin.filePath(Frm_About::systemInfoTools().constLast()));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write(QStringLiteral("#!/bin/sh\n: > '%1'\n").arg(marker).toLocal8Bit());
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    prompt.clear();
    {
        OnlyOnPath path(bin.path());
        clickButton(&about, "cmdSysInfo");
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
    EXPECT_TRUE(prompt.shown().isEmpty());
}
