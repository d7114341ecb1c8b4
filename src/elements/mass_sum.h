// Adding an element's atoms to a molecular mass.
#pragma once

namespace molagirlik {

// Returns n * m + sum formed as with a 64-bit significand: the product
// exact, the sum rounded once to 64 significant bits, then once to single
// precision (each to the nearest, ties to even). The result is the same
// whatever the compiler's long double. `n` >= 0; `m` and `sum` are 0 or
// positive normal numbers, as masses and molecular masses are.
float add_atoms(float sum, int n, float m);

}  // namespace molagirlik
