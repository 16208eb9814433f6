#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace tarnixcli {

// The commands that work on a schema file's variables live in a module of
// their own, loaded only when one of them runs: they need the component, and
// with it Qt's GUI libraries, whose loading alone takes longer than the rest
// of a short `tarnix apply`. This is what the module hands the program.
struct SchemaModule
{
    int (*convert)(const QStringList &arguments);
    int (*check)(const QStringList &arguments);
    // Makes the GUI application the wizard needs, then runs `edit` with the
    // arguments after the subcommand's name.
    int (*edit)(int &argc, char **argv);
    // The expression in database form, its captions read through the view
    // that --schema, --catalog and --view of `parser` name. Raises nvtarnix::Error.
    QString (*toDatabaseForm)(const QCommandLineParser &parser, const QString &expression);
};

// The module's one exported function, which returns its SchemaModule. The
// name carries the version of the struct above, so a module left over from
// another build is refused rather than called wrongly.
inline constexpr char SchemaModuleEntry[] = "tarnix_schema_module_1";

// Loads the module on first use, from where the build or the installation
// put it beside the program. Raises nvtarnix::Error 48 when it cannot.
const SchemaModule &schemaModule();

} // namespace tarnixcli
