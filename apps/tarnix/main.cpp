#include "Commands.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const TarnixCommand kCommands[] = {
    {"eval", "tarnix eval [--locale NAME]   evaluate expressions read from standard input, one a line",
     runEvalCommand},
    {"run", "tarnix run FILE.vbs [ARGS...]  run a script as the console script host does", runRunCommand},
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
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString name = args.takeFirst();
    for (const TarnixCommand &c : kCommands)
        if (name == QLatin1String(c.name))
            return c.run(args);
    QTextStream(stderr) << "tarnix: unknown command '" << name << "'\n";
    return usage();
}
