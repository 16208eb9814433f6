#pragma once

#include <QtGlobal>

namespace testsupport {

// The smallest thread stack a rule must be safe on. AddressSanitizer's frames
// are several times larger than the engine's own, so under it the same
// depths get the same headroom from a stack four times the size.
#if defined(__SANITIZE_ADDRESS__)
constexpr qsizetype kSmallStack = 1024 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr qsizetype kSmallStack = 1024 * 1024;
#else
constexpr qsizetype kSmallStack = 256 * 1024;
#endif
#else
constexpr qsizetype kSmallStack = 256 * 1024;
#endif

} // namespace testsupport
