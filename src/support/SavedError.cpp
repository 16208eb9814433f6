#include "support/SavedError.h"

#include "support/ComponentErrors.h"

#include <new>

namespace nvtarnix {

namespace {

struct Kept
{
    int number = 0;
    QString source;
    QString description;
};

Kept &kept()
{
    thread_local Kept k;
    return k;
}

} // namespace

void SaveError(const Error &error)
{
    kept() = {error.number(), error.source(), error.description()};
}

void SaveError(const std::exception &error)
{
    if (const auto *numbered = dynamic_cast<const Error *>(&error)) {
        SaveError(*numbered);
    } else if (dynamic_cast<const std::bad_alloc *>(&error)) {
        SaveError(componentError(ComponentError::OutOfMemory));
    } else {
        SaveError(componentError(ComponentError::InternalError, QString::fromLocal8Bit(error.what())));
    }
}

void RaiseSavedError(const QString &replacement)
{
    const Kept &k = kept();
    throw Error(k.number, k.source, replacement.trimmed().isEmpty() ? k.description : replacement);
}

} // namespace nvtarnix
