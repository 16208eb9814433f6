#include "SchemaBuilder.h"

#include "schema/SchemaFile.h"
#include "support/MainModule.h"

namespace tarnixcli {

namespace {

[[noreturn]] void raise(int number, const QString &description)
{
    throw nvtarnix::Error(number, QStringLiteral("tarnix"), description);
}

} // namespace

std::unique_ptr<nvtarnix::TarnixObject> schemaBuilder(const QCommandLineParser &parser)
{
    const QString path = parser.value(QStringLiteral("schema"));
    const auto schema = nvtarnix::SchemaFile::load(path);

    QString catalogID = parser.value(QStringLiteral("catalog"));
    if (catalogID.isEmpty()) {
        if (schema->Catalogs().Count() == 0)
            raise(nvtarnix::SchemaFile::InvalidDocument,
                  QStringLiteral("The schema file %1 holds no catalog").arg(path));
        catalogID = schema->Catalogs().Item(1)->ID();
    }
    if (!schema->Catalogs().Exists(catalogID))
        raise(nvtarnix::errors::InvalidProcedureCall,
              QStringLiteral("Invalid procedure call or argument: the schema file %1 has no catalog \"%2\"")
                  .arg(path, catalogID));
    const auto catalog = schema->GetCatalog(catalogID);

    QString viewID = parser.value(QStringLiteral("view"));
    if (viewID.isEmpty())
        viewID = catalog->defaultview();
    if (viewID.isEmpty()) {
        if (catalog->Views().Count() == 0)
            raise(nvtarnix::SchemaFile::InvalidDocument,
                  QStringLiteral("The catalog \"%1\" of %2 has no view").arg(catalogID, path));
        viewID = catalog->Views().Item(1)->ID();
    }
    if (!catalog->Views().Exists(viewID))
        raise(nvtarnix::errors::InvalidProcedureCall,
              QStringLiteral("Invalid procedure call or argument: the catalog \"%1\" of %2 has no view \"%3\"")
                  .arg(catalogID, path, viewID));

    nvtarnix::MainModule();
    auto builder = std::make_unique<nvtarnix::TarnixObject>();
    builder->setBuilderSchema(schema);
    builder->Init(catalogID, viewID);
    return builder;
}

} // namespace tarnixcli
