// The elements the program knows, hydrogen to element 112, with the atomic
// masses that molecular masses are built from.
#pragma once

#include <array>
#include <string_view>

#include "console/console.h"

namespace molagirlik {

struct Element {
  std::string_view symbol;  // as in the periodic table, case and all
  float mass;               // atomic mass, always greater than zero
};

// In order of atomic number.
extern const std::array<Element, 112> kElements;

// The mass of the element whose symbol is exactly `word`, or 0 when no
// symbol is: nothing is trimmed, folded or abbreviated.
float symbol_mass(std::string_view word);

// Tells the user that `word` is no element symbol and asks again.
void reject_symbol(Console& console, std::string_view word);

}  // namespace molagirlik
