#pragma once

#include "ResidentPeak.h"

#include <sys/resource.h>

// Caps the process's address space, from what it uses now, for as long as
// it lives, so that the allocator refuses what passes the cap: how a test
// makes the system run out of memory without the machine running out.
//
//     testsupport::AddressSpaceCap cap(512 * 1024 * 1024);
//     if (!cap.isSet())
//         QSKIP("the address space cannot be capped here");

namespace testsupport {

class AddressSpaceCap
{
public:
    explicit AddressSpaceCap(qint64 headroom)
    {
        m_ok = getrlimit(RLIMIT_AS, &m_saved) == 0;
        const rlim_t used = rlim_t(ResidentPeak::statusKb("VmSize:")) * 1024;
        rlimit capped = m_saved;
        capped.rlim_cur = used + rlim_t(headroom);
        m_ok = m_ok && used > 0 && setrlimit(RLIMIT_AS, &capped) == 0;
    }
    ~AddressSpaceCap() { setrlimit(RLIMIT_AS, &m_saved); }
    AddressSpaceCap(const AddressSpaceCap &) = delete;
    AddressSpaceCap &operator=(const AddressSpaceCap &) = delete;

    bool isSet() const { return m_ok; }

private:
    rlimit m_saved{};
    bool m_ok = false;
};

} // namespace testsupport
