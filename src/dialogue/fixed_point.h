// A single-precision number in fixed-point notation, exactly.
#pragma once

#include <cstddef>

namespace molagirlik {

// Enough for any float with 6 decimals: a sign, 39 integer digits, the
// point and the decimals.
inline constexpr std::size_t kFixedPointSize = 48;

// Writes `value` with `decimals` (0 to 6) digits after the point, at least
// one before it, as "%1.<decimals>f" does: the exact binary value rounded
// once to the nearest, ties to even. Returns the number of characters
// written to `out`, which holds kFixedPointSize.
std::size_t format_fixed(float value, int decimals, char* out);

}  // namespace molagirlik
