// The two numeric entries of the dialogue, each with its prompt, warnings
// and retry loop.
#pragma once

#include <cstdint>

#include "console/console.h"

namespace molagirlik {

// Held in `p` while no number of decimal places has been read.
inline constexpr int kDecimalPlacesSentinel = -42193742;
// Held in `n` while no atom count has been read.
inline constexpr int kAtomCountSentinel = -9832342;

// Asks for the number of decimal places until `p` holds 0 to 6. `p` must
// hold kDecimalPlacesSentinel. Returns false when the input ends first.
bool enter_decimal_places(Console& console, int& p);

// Asks for the atom count of element `x` until `n` holds 0 or more.
// Returns false when the input ends first.
bool enter_atom_count(Console& console, std::int64_t x, int& n);

}  // namespace molagirlik
