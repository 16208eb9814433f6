#include "SchemaModule.h"

#include <nvtarnix/Error.h>

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace tarnixcli {

namespace {

// Where the program file is: its directory holds the module's relative
// path whether the program runs from the build or from an installation.
// Read from the kernel, as it is needed before any application object
// exists (edit makes its own).
QString programDirectory()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

const SchemaModule *loadSchemaModule()
{
    const QString path =
        QDir::cleanPath(programDirectory() + QLatin1Char('/') + QStringLiteral(TARNIX_SCHEMA_MODULE));
    QLibrary library(path);
    using Entry = const SchemaModule *(*)();
    const auto entry = reinterpret_cast<Entry>(library.resolve(SchemaModuleEntry));
    if (!entry)
        throw nvtarnix::Error(nvtarnix::errors::ErrorLoadingLibrary, QStringLiteral("tarnix"),
                              QStringLiteral("Error in loading DLL: %1").arg(library.errorString()));
    // The library stays loaded: QLibrary unloads only when asked to.
    return entry();
}

} // namespace

const SchemaModule &schemaModule()
{
    static const SchemaModule *const module = loadSchemaModule();
    return *module;
}

} // namespace tarnixcli
