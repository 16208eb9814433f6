// The entry point of the tarnix-schema module: the schema commands, and the
// conversion that `apply --schema` borrows.

#include "SchemaBuilder.h"
#include "SchemaCommands.h"
#include "SchemaModule.h"

#include <QApplication>

#include <cstring>

namespace tarnixcli {

namespace {

// Whether a GUI application can start: Qt ends the process when the
// platform it picks finds no display, so tarnix asks first and can say so.
bool displayAvailable(int argc, char **argv)
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0)
            platform = argv[i + 1];
    }
    const bool x11 = qEnvironmentVariableIsSet("DISPLAY") && !qgetenv("DISPLAY").isEmpty();
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && !qgetenv("WAYLAND_DISPLAY").isEmpty();
    if (platform.startsWith("xcb"))
        return x11;
    if (platform.startsWith("wayland"))
        return wayland;
    // offscreen, minimal, vnc, eglfs ... need no display server.
    if (!platform.isEmpty())
        return true;
    return x11 || wayland;
}

int runEdit(int &argc, char **argv)
{
    if (!displayAvailable(argc, argv)) {
        // --help still works, and anything else is told there is no display.
        QCoreApplication app(argc, argv);
        return editCommand(QCoreApplication::arguments().mid(2));
    }
    QApplication app(argc, argv);
    return editCommand(QCoreApplication::arguments().mid(2));
}

QString toDatabaseForm(const QCommandLineParser &parser, const QString &expression)
{
    return schemaBuilder(parser)->ConvertScriptToDatabase(expression);
}

constexpr SchemaModule TheModule{convertCommand, checkCommand, runEdit, toDatabaseForm};

} // namespace

} // namespace tarnixcli

extern "C" Q_DECL_EXPORT const tarnixcli::SchemaModule *tarnix_schema_module_1()
{
    return &tarnixcli::TheModule;
}
