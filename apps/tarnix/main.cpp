#include "CommandOptions.h"
#include "Commands.h"
#include "SchemaModule.h"

#include <QCoreApplication>
#include <QTextStream>

#include "vbscript/ScriptError.h"

#include <cstring>
#include <new>

namespace {

int convertCommand(const QStringList &args)
{
    return tarnixcli::schemaModule().convert(args);
}

int checkCommand(const QStringList &args)
{
    return tarnixcli::schemaModule().check(args);
}

const TarnixCommand kCommands[] = {
    {"eval", "tarnix eval [--locale NAME]   evaluate expressions read from standard input, one a line",
     runEvalCommand},
    {"run", "tarnix run [--encoding NAME] FILE.vbs [ARGS...]  run a script as the console script host does",
     runRunCommand},
    {"convert", "tarnix convert --schema FILE ... convert an expression between display and database form",
     convertCommand},
    {"check", "tarnix check --schema FILE ...  check an expression as the wizard's Check button does",
     checkCommand},
    // main starts edit itself, before any application object exists.
    {"edit", "tarnix edit --schema FILE ...   open the wizard; print the accepted expression", nullptr},
    {"apply", "tarnix apply --database FILE|--postgres CONNINFO ... evaluate an expression over every row of a table",
     tarnixcli::applyCommand},
};

int usage()
{
    QTextStream err(stderr);
    err << "usage:\n";
    for (const TarnixCommand &c : kCommands)
        err << "  " << c.usage << '\n';
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    // The wizard of `edit` runs in a GUI application, which only the schema
    // module can make: the program itself does not load the GUI libraries.
    if (argc > 1 && std::strcmp(argv[1], "edit") == 0) {
        try {
            return tarnixcli::schemaModule().edit(argc, argv);
        } catch (const nvtarnix::Error &e) {
            return tarnixcli::failWith(QString::fromLocal8Bit(argv[1]), e);  // the module is missing
        }
    }
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        QTextStream(stderr) << "tarnix: error 5: a command is required\n";
        return usage();
    }
    const QString name = args.takeFirst();
    for (const TarnixCommand &c : kCommands) {
        if (name != QLatin1String(c.name) || !c.run)
            continue;
        try {
            return c.run(args);
        } catch (const nvtarnix::Error &e) {
            return tarnixcli::failWith(QLatin1String(c.name), e);  // the schema module is missing
        } catch (const std::bad_alloc &) {
            // Memory the system refused outside any run: the command's 7,
            // reported as its other errors are.
            const vbscript::ScriptError e = vbscript::ScriptError::runtime(vbscript::err::OutOfMemory);
            return tarnixcli::failWith(QLatin1String(c.name), nvtarnix::Error(e.number(), e.source(), e.description()));
        }
    }
    QTextStream(stderr) << "tarnix: error 5: unknown command \"" << name << "\"\n";
    return usage();
}
