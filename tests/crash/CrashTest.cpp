#include "Files.h"
#include "Peer.h"

#include "exchange/VM_SpellSaver.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace {

constexpr int kSpells = 20'000;

QByteArray spellbookFile()
{
    QByteArray file = "For Vellumar Use Only\r\n" + QByteArray::number(kSpells) + "\r\n" +
                      "Mira||7||Elf||Mage||4||3||2||1||0||0||0||0||0\r\n";
    for (int i = 0; i < kSpells; ++i)
        file += "Spell " + QByteArray::number(i) +
                "||1||Rare||||PHB||9||V||Touch||1 round||One||Round(s)||1||None||A spell.^^Second line.||Me||"
                "A~~B\r\n";
    return file;
}

qint64 number(Connection &connection, const char *sql)
{
    Statement select(connection, sql);
    return select.step() ? select.integer(0) : -1;
}

// What must hold however the import was stopped.
void expectSound(const QString &path)
{
    Connection library(path);
    Statement check(library, "PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), "ok");
    EXPECT_EQ(number(library,
                     "SELECT count(*) FROM Spellbook WHERE SpellName NOT IN (SELECT Name FROM Spells) "
                     "OR Caster NOT IN (SELECT Spellbook FROM SpellCasters)"),
              0);
    EXPECT_EQ(number(library, "SELECT count(*) - count(DISTINCT Name) FROM Spells"), 0);
    EXPECT_EQ(number(library, "SELECT count(*) FROM (SELECT 1 FROM Spellbook GROUP BY Caster, SpellName "
                              "HAVING count(*) > 1)"),
              0);
}

} // namespace

// A program killed while it imports (a crash, a power cut, the user ending it) leaves a sound
// library that the same import completes without doubling anything.
TEST(Crash, AnImportKilledAtAnyMomentLeavesASoundLibraryThatAnotherImportCompletes)
{
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = libraryPath();
    createLibrary(path);
    const QString file = writeFile(dir.path(), "many.sbok", spellbookFile());

    // How long a whole import takes, so that the moments fall inside one.
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runPeer({QStringLiteral("import"), file}, dir.path()), "exit 0: ");
    const qint64 whole = timer.elapsed();
    expectSound(path);
    {
        Connection library(path);
        library.exec("DELETE FROM Spells; DELETE FROM SpellandSphere; DELETE FROM Spellbook; DELETE FROM "
                     "SpellCasters;");
    }

    std::random_device device;
    const unsigned seed = device();
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", a whole import takes " << whole << " ms");
    std::mt19937 random(seed);
    std::uniform_int_distribution<qint64> moment(0, whole);
    for (int round = 0; round < 5; ++round) {
        const qint64 after = moment(random);
        SCOPED_TRACE(testing::Message() << "killed after " << after << " ms");
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VELLUMAR_HOME"), dir.path());
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral(LIBRARY_PEER), {QStringLiteral("import"), file});
        ASSERT_TRUE(child.waitForStarted());
        if (!child.waitForFinished(int(after)))
            child.kill();
        child.waitForFinished();

        expectSound(path);
        {
            VM_SpellSaver saver;
            ListRows list;
            saver.OpenSpellbookFile2(list, file);
            for (ListRow &row : list)
                row.checked = true;
            saver.ImportSpellbook(list, round % 2 == 0, true, true);
        }
        expectSound(path);
        Connection library(path);
        EXPECT_EQ(number(library, "SELECT count(*) FROM Spells"), kSpells);
        EXPECT_EQ(number(library, "SELECT count(*) FROM SpellandSphere"), 2 * kSpells);
        EXPECT_EQ(number(library, "SELECT count(*) FROM SpellCasters"), 1);
        if (round % 2 == 0) { // the list replaced; otherwise the list the stopped import left is kept
            EXPECT_EQ(number(library, "SELECT count(*) FROM Spellbook"), kSpells);
        }
        library.exec("DELETE FROM Spells; DELETE FROM SpellandSphere; DELETE FROM Spellbook; DELETE FROM "
                     "SpellCasters;");
    }
    setAppFolder(QString());
}
