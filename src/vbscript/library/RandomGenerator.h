#pragma once

#include <cstdint>

// VBScript's random numbers: a 24-bit linear congruential generator whose state
// is also what Rnd returns (state / 2^24), so that a seeded sequence repeats
// the Windows engine's numbers exactly. The state lives with the script engine.
namespace vbscript::rnd {

inline constexpr uint32_t kInitialSeed = 0x50000;

// Rnd(x): x > 0 or missing steps the generator; x = 0 repeats the last
// number; x < 0 reseeds from the bits of x as a Single and then steps.
float next(uint32_t &seed);
float current(uint32_t seed);
float reseedAndNext(uint32_t &seed, float negative);

// Randomize x: mixes the high half of the Double x into the middle bytes of
// the state, keeping its lowest byte.
void randomize(uint32_t &seed, double number);

} // namespace vbscript::rnd
