#include "Commands.h"
#include "SchemaCommands.h"

#include <QApplication>
#include <QTextStream>

#include <cstring>
#include <memory>

namespace {

const TarnixCommand kCommands[] = {
    {"eval", "tarnix eval [--locale NAME]   evaluate expressions read from standard input, one a line",
     runEvalCommand},
    {"run", "tarnix run [--encoding NAME] FILE.vbs [ARGS...]  run a script as the console script host does",
     runRunCommand},
    {"convert", "tarnix convert --schema FILE ... convert an expression between display and database form",
     tarnixcli::convertCommand},
    {"check", "tarnix check --schema FILE ...  check an expression as the wizard's Check button does",
     tarnixcli::checkCommand},
    {"edit", "tarnix edit --schema FILE ...   open the wizard; print the accepted expression",
     tarnixcli::editCommand},
    {"apply", "tarnix apply --database FILE ... evaluate an expression over every row of an SQLite table",
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
    // Only the wizard of `edit` needs a GUI application.
    const bool gui = argc > 1 && std::strcmp(argv[1], "edit") == 0;
    const std::unique_ptr<QCoreApplication> app = gui ? std::make_unique<QApplication>(argc, argv)
                                                      : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        QTextStream(stderr) << "tarnix: error 5: a command is required\n";
        return usage();
    }
    const QString name = args.takeFirst();
    for (const TarnixCommand &c : kCommands)
        if (name == QLatin1String(c.name))
            return c.run(args);
    QTextStream(stderr) << "tarnix: error 5: unknown command \"" << name << "\"\n";
    return usage();
}
