#pragma once

#include <nvtarnix/TarnixObject.h>

#include <QCommandLineParser>

#include <memory>

namespace tarnixcli {

// A builder bound to the catalog and view of the --schema file that `parser`
// holds: --catalog or the file's first catalog, --view or that catalog's
// default view (its first one when it names none). Raises nvtarnix::Error.
std::unique_ptr<nvtarnix::TarnixObject> schemaBuilder(const QCommandLineParser &parser);

} // namespace tarnixcli
