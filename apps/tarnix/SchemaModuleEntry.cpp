// The entry point of the tarnix-schema module: the schema commands, and the
// conversion that `apply --schema` borrows.

#include "SchemaBuilder.h"
#include "SchemaCommands.h"
#include "SchemaModule.h"

#include <QApplication>

namespace tarnixcli {

namespace {

int runEdit(int &argc, char **argv)
{
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
