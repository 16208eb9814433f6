#include "vbscript/library/RandomGenerator.h"

#include <cstring>

namespace vbscript::rnd {

namespace {
constexpr uint32_t kMask = 0xFFFFFF;
constexpr float kScale = 16777216.0f; // 2^24
} // namespace

float next(uint32_t &seed)
{
    seed = (seed * 0x43FD43FDu + 0xC39EC3u) & kMask;
    return current(seed);
}

float current(uint32_t seed)
{
    return static_cast<float>(seed & kMask) / kScale;
}

float reseedAndNext(uint32_t &seed, float negative)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &negative, sizeof bits);
    seed = (bits + (bits >> 24)) & kMask;
    return next(seed);
}

void randomize(uint32_t &seed, double number)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    const auto high = static_cast<uint32_t>(bits >> 32);
    const uint32_t mixed = ((high & 0xFFFF) ^ (high >> 16)) << 8;
    seed = (seed & 0xFF0000FFu) | (mixed & 0x00FFFF00u);
}

} // namespace vbscript::rnd
