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

qint64 MemoryMeter::ownedBytes(const Variant &value)
{
    if (value.isString()) {
        const QString &s = value.rawString();
        return s.isDetached() && !s.isEmpty() ? textBytes(s.size()) : 0;
    }
    if (value.isArray()) {
        const std::shared_ptr<SafeArray> &a = value.rawArray();
        if (!a || a.use_count() != 1)
            return 0;
        qint64 bytes = arrayBytes(qint64(a->data.size()));
        for (const Variant &e : a->data)
            if (e.isString() && e.rawString().isDetached() && !e.rawString().isEmpty())
                bytes += textBytes(e.rawString().size());
        return bytes;
    }
    return 0;
}

} // namespace vbscript
