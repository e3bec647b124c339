// A second program on the library of $VELLUMAR_HOME, for the tests of faults that need two
// processes. Usage:
//   library_peer startup            opens the library as the program does at start-up, then quits
//   library_peer add NAME           adds a spell of that name
//   library_peer abandon NAME       adds it and ends without closing the library, as a crash does
//   library_peer import FILE        imports every spell of a spellbook file, replacing its list
// Prints what went wrong and exits with 1 on a failure.
#include "exchange/VM_SpellSaver.h"
#include "store/VM_Library.h"
#include "store/VM_Spell.h"
#include "store/VmError.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

void startup()
{
    VM_Library library;
    std::printf("%d spellbooks\n", int(library.Get_Exisiting_Spellbook_Names().size()));
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
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        const QString command = args.value(1);
        if (command == QLatin1String("startup"))
            startup();
        else if (command == QLatin1String("add"))
            add(args.value(2));
        else if (command == QLatin1String("abandon")) {
            VM_Library keeper; // a connection that stays open, so the log stays beside the library
            add(args.value(2));
            std::_Exit(0);
        } else if (command == QLatin1String("import"))
            import(args.value(2));
        else
            throw VmError(-1, QStringLiteral("peer"), QStringLiteral("unknown command"));
    } catch (const VmError &error) {
        std::fprintf(stderr, "%s\n", error.description.toUtf8().constData());
        return 1;
    }
    return 0;
}
