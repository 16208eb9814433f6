#include "vbscript/MemoryMeter.h"

#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

namespace vbscript {

void MemoryMeter::refuse()
{
    raise(err::OutOfMemory);
}

qint64 MemoryMeter::arrayBytes(qint64 elements)
{
    static_assert(sizeof(Variant) <= kValueBytes);
    // Beside the elements: the array, its shared count, its bounds, and what
    // the allocator keeps beside each of the three allocations.
    return elements * qint64(sizeof(Variant)) + qint64(sizeof(SafeArray)) + kArrayOverhead;
}

qint64 MemoryMeter::ownedArrayBytes(const Variant &array)
{
    const std::shared_ptr<SafeArray> &a = array.rawArray();
    if (!a || a.use_count() != 1)
        return 0;
    qint64 bytes = arrayBytes(qint64(a->data.size()));
    for (const Variant &e : a->data)
        if (e.isString())
            bytes += ownedBytes(e);
    return bytes;
}

} // namespace vbscript
