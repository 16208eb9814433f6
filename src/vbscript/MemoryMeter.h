#pragma once

// What one run of the engine may build. Each engine counts, in a meter of
// its own (thread-confined, nothing shared between threads), the bytes that
// the places where a run can grow make: text from concatenation and the
// built-ins, arrays, Dictionary entries, class instances, and the trees of
// Eval and Execute. Every size is charged before it is allocated, so a run
// that would pass its budget stops with 7 "Out of memory" without having
// made the memory.
//
// What a run lets go of is given back where that is cheap and certain: a
// temporary text or array consumed by an operator or a built-in, the value a
// variable held before an assignment, the locals of a procedure that
// returns, the entries a Dictionary removes. So the count follows what the
// run holds, and a loop that builds and drops text does not add up its
// history. Whatever is not given back stays counted: the count is never less
// than what the run holds, which keeps the peak within the budget.

#include "vbscript/Variant.h"

namespace vbscript {

class MemoryMeter
{
public:
    // A new run: nothing counted, `budget` bytes to spend (<= 0: none).
    void start(qint64 budget)
    {
        m_budget = budget;
        m_used = 0;
    }
    // Counts `bytes` about to be allocated; 7 "Out of memory" when they
    // would pass the budget.
    void charge(qint64 bytes)
    {
        if (bytes > m_budget - m_used)
            refuse();
        m_used += bytes;
    }
    // Raises 7 when `bytes` more could not be charged, without counting them:
    // for a built-in whose result is counted when it returns.
    void require(qint64 bytes) const
    {
        if (bytes > m_budget - m_used)
            refuse();
    }
    void credit(qint64 bytes) { m_used -= bytes; }
    qint64 used() const { return m_used; }

    // The bytes `value` holds that nothing else shares: a text or an array
    // only it refers to (an array's texts counted one level deep). A shared
    // value is 0: charging it again, or giving it back, would count twice.
    // Inline, as every built-in's result and arguments pass through it.
    static qint64 ownedBytes(const Variant &value)
    {
        if (value.isString()) {
            const QString &s = value.rawString();
            return s.isDetached() && !s.isEmpty() ? textBytes(s.size()) : 0;
        }
        return value.isArray() ? ownedArrayBytes(value) : 0;
    }
    static qint64 textBytes(qint64 length) { return 2 * length + kTextOverhead; }
    static qint64 arrayBytes(qint64 elements);
    // A class instance, a Dictionary or another object the run creates.
    static qint64 objectBytes(qint64 fields) { return kObjectOverhead + fields * kValueBytes; }
    // One entry of a Dictionary, beside its key's and item's own text: the
    // entry, its place in the index, and the index's text of the key, which
    // measured at about twice its length once the index has grown.
    static qint64 entryBytes(qint64 keyLength) { return kEntryOverhead + 2 * textBytes(keyLength); }
    // The tokens, tree and line texts of `length` characters of code read by
    // Eval or Execute, at their densest (short statements such as "x=1",
    // measured at about 170 bytes a character).
    static qint64 codeBytes(qint64 length) { return length * kCodeBytesPerChar; }

    // What a text or array costs beside its characters or elements: header,
    // terminator, and the allocator's own share, measured.
    static constexpr qint64 kTextOverhead = 48;
    static constexpr qint64 kArrayOverhead = 80;
    static constexpr qint64 kValueBytes = 32;
    static constexpr qint64 kObjectOverhead = 256;
    static constexpr qint64 kEntryOverhead = 4 * kValueBytes + 128;
    static constexpr qint64 kCodeBytesPerChar = 192;

private:
    [[noreturn]] static void refuse();
    static qint64 ownedArrayBytes(const Variant &array);

    qint64 m_budget = 256 * 1024 * 1024;
    qint64 m_used = 0;
};

} // namespace vbscript
