#pragma once

#include <QStringList>

namespace tarnixcli {

// The subcommands that work on a schema file's variables. Each takes the
// arguments after its name and returns the process's exit status: 0 done,
// 1 a negative answer (a failed check, a cancelled wizard), 2 an error.
int convertCommand(const QStringList &arguments);
int checkCommand(const QStringList &arguments);
int editCommand(const QStringList &arguments);

} // namespace tarnixcli
