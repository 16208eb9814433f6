#include "component/modMain.h"

#include <new>

namespace nvtarnix {

void SaveError(const std::exception &error)
{
    if (const auto *numbered = dynamic_cast<const Error *>(&error)) {
        SaveError(*numbered);
    } else if (dynamic_cast<const std::bad_alloc *>(&error)) {
        SaveError(Error(7, QStringLiteral("nvTarnix"), QStringLiteral("Out of memory")));
    } else {
        SaveError(Error(51, QStringLiteral("nvTarnix"),
                        QStringLiteral("Internal error: %1").arg(QString::fromLocal8Bit(error.what()))));
    }
}

} // namespace nvtarnix
