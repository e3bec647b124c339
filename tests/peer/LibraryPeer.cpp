// A second program on the library of $VELLUMAR_HOME, for the tests of faults that need two
// processes. Usage:
//   library_peer startup            starts the program's frame on the library, then closes it
//   library_peer add NAME           adds a spell of that name
//   library_peer abandon NAME       adds it and ends without closing the library, as a crash does
//   library_peer checkpoint NAME    adds it, then folds the whole log into the library and empties it
//   library_peer import FILE        imports every spell of a spellbook file, replacing its list
//   library_peer describe NAME TEXT gives a spell a new description
// Prints what went wrong and exits with 1 on a failure.
#include "exchange/VM_SpellSaver.h"
#include "shell/MDI_Main.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"
#include "widgets/Prompt.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// What the program would show, printed instead: nobody is there to close a message box.
class PrintedPrompt : public Prompt
{
protected:
    void showMessage(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool showQuestion(QWidget *parent, const QString &text) override
    {
        showMessage(parent, text);
        return false;
    }
    Choice showSaveQuestion(QWidget *parent, const QString &text) override
    {
        showMessage(parent, text);
        return Choice::Cancel;
    }
    std::optional<QString> showSaveFile(QWidget *, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QString> showOpenFile(QWidget *, const QString &) override { return std::nullopt; }
};

// The program's own start-up past the splash, and its close.
int startup()
{
    PrintedPrompt prompt;
    Prompt::install(&prompt);
    int exitCode = 1;
    {
        MDI_Main frame;
        if (frame.MDIForm_Load()) {
            frame.show();
            QApplication::processEvents();
            frame.close();
            exitCode = 0;
        }
    }
    Prompt::install(nullptr);
    return exitCode;
}

void add(const QString &name)
{
    VM_Spell spell;
    spell.Set_Spell_Name(name);
    spell.Set_Spell_Level(QStringLiteral("1"));
    const QString status = spell.Add_New_Spell();
    if (!status.isEmpty())
        throw VmError(-1, QStringLiteral("add"), status);
}

void describe(const QString &name, const QString &text)
{
    VM_Spell spell;
    if (!spell.Set_Spell_Details(name))
        throw VmError(-1, QStringLiteral("describe"), QStringLiteral("no such spell"));
    spell.Set_Spell_Description(text);
    const QString status = spell.Update_Existing_Spell(name, true);
    if (!status.isEmpty())
        throw VmError(-1, QStringLiteral("describe"), status);
}

void import(const QString &path)
{
    VM_SpellSaver saver;
    ListRows list;
    saver.OpenSpellbookFile2(list, path);
    for (ListRow &row : list)
        row.checked = true;
    saver.ImportSpellbook(list, true, true, true);
}

} // namespace

int main(int argc, char **argv)
{
    // Only the frame needs a display (the tests give it the offscreen one).
    const bool frame = argc > 1 && qstrcmp(argv[1], "startup") == 0;
    std::unique_ptr<QCoreApplication> app =
        frame ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    try {
        const QString command = args.value(1);
        if (frame)
            return startup();
        else if (command == QLatin1String("add"))
            add(args.value(2));
        else if (command == QLatin1String("abandon")) {
            VM_Library keeper; // a connection that stays open, so the log stays beside the library
            add(args.value(2));
            std::_Exit(0);
        } else if (command == QLatin1String("checkpoint")) {
            add(args.value(2));
            Connection(libraryPath()).exec("PRAGMA wal_checkpoint(TRUNCATE);");
        } else if (command == QLatin1String("import"))
            import(args.value(2));
        else if (command == QLatin1String("describe"))
            describe(args.value(2), args.value(3));
        else
            throw VmError(-1, QStringLiteral("peer"), QStringLiteral("unknown command"));
    } catch (const VmError &error) {
        std::fprintf(stderr, "%s\n", error.description.toUtf8().constData());
        return 1;
    }
    return 0;
}
