#include "vbscript/ExecutionSettings.h"

#include "vbscript/ScriptError.h"

namespace vbscript {

void Limits::checkString(qsizetype length) const
{
    if (length > maxStringLength || length < 0)
        raise(err::OutOfStringSpace);
}

qint64 Limits::elementCount(std::span<const qint32> ubounds) const
{
    if (ubounds.empty())
        return 0;
    qint64 total = 1;
    for (qint32 ub : ubounds) {
        if (ub < -1)
            raise(err::SubscriptOutOfRange);
        total *= qint64(ub) + 1;
        if (total > qint64(maxArrayElements))
            raise(err::OutOfMemory);
    }
    return total;
}

void ExecutionSettings::refuseText()
{
    raise(err::OutOfStringSpace);
}

std::shared_ptr<SafeArray> ExecutionSettings::newArray(std::span<const qint32> ubounds, bool charge) const
{
    const qint64 bytes = MemoryMeter::arrayBytes(limits.elementCount(ubounds));
    if (charge)
        memory.charge(bytes);
    else
        memory.require(bytes);
    return SafeArray::create(ubounds, limits.maxArrayElements);
}

} // namespace vbscript
