#include "support/SavedError.h"

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

void RaiseSavedError(const QString &replacement)
{
    const Kept &k = kept();
    throw Error(k.number, k.source, replacement.trimmed().isEmpty() ? k.description : replacement);
}

} // namespace nvtarnix
