#pragma once

#include <QStringList>

// The subcommands of tarnix. Each takes the arguments after its name and
// returns the process exit code.
struct TarnixCommand
{
    const char *name;
    const char *usage;
    int (*run)(const QStringList &args);
};

int runEvalCommand(const QStringList &args);
int runRunCommand(const QStringList &args);

namespace tarnixcli {
int applyCommand(const QStringList &arguments);
}
