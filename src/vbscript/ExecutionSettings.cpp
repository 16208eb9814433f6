#include "vbscript/ExecutionSettings.h"

#include "vbscript/ScriptError.h"

namespace vbscript {

void Limits::checkString(qsizetype length) const
{
    if (length > maxStringLength || length < 0)
        raise(err::OutOfStringSpace);
}

std::shared_ptr<SafeArray> Limits::newArray(std::span<const qint32> ubounds) const
{
    return SafeArray::create(ubounds, maxArrayElements);
}

} // namespace vbscript
