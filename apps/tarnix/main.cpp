#include "CommandOptions.h"
#include "Commands.h"
#include "SchemaModule.h"

#include <QCoreApplication>
#include <QTextStream>

#include "vbscript/ScriptError.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
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

void writeUsage(QTextStream &out)
{
    out << "usage:\n";
    for (const TarnixCommand &c : kCommands)
        out << "  " << c.usage << '\n';
    out << "Each command prints its own help with --help: tarnix COMMAND --help\n";
}

int usage()
{
    QTextStream err(stderr);
    writeUsage(err);
    return 2;
}

bool isHelp(const QString &word)
{
    return word == QLatin1String("--help") || word == QLatin1String("-h") || word == QLatin1String("help");
}

// eval and run read their few options themselves; their --help is this.
// run's script arguments may be anything, so only a --help before the
// script's path asks for help.
const struct
{
    const char *name;
    const char *help;
} kOwnHelp[] = {
    {"eval", "Usage: tarnix eval [--locale NAME]\n\n"
             "Evaluates the expressions read from standard input, one a line, each in a fresh "
             "VBScript engine, and prints one result line each on standard output: the value "
             "with its type, or the error. The exit status is 0 when every line was evaluated "
             "and 1 when any line failed.\n\n"
             "Options:\n  --locale NAME  the locale of conversions and formatting (for example "
             "el_GR or en_US)\n  -h, --help     show this help\n"},
    {"run", "Usage: tarnix run [--encoding NAME] FILE.vbs [ARGS...]\n\n"
            "Runs a VBScript file as the console script host does; ARGS are the script's "
            "WScript.Arguments.\n\n"
            "Options:\n  --encoding NAME  the code page of a file without a byte order mark "
            "(UTF-8 by default)\n  -h, --help       show this help\n"},
};

std::optional<int> ownHelp(const QString &name, const QStringList &args)
{
    for (const auto &command : kOwnHelp) {
        if (name != QLatin1String(command.name))
            continue;
        const auto helpOption = [](const QString &a) {
            return a == QLatin1String("--help") || a == QLatin1String("-h");
        };
        const bool asked = name == QLatin1String("run") ? !args.isEmpty() && isHelp(args.first())
                                                         : std::any_of(args.begin(), args.end(), helpOption);
        if (!asked)
            return std::nullopt;
        std::fputs(command.help, stdout);
        return 0;
    }
    return std::nullopt;
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
    if (isHelp(name)) {
        QTextStream out(stdout);
        out << "tarnix: the expression wizard's engine and schema tools on the command line.\n";
        writeUsage(out);
        return 0;
    }
    if (const auto done = ownHelp(name, args))
        return *done;
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
