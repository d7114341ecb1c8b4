// The dialogue of molagirlik, run against any console.
#pragma once

#include <cstdint>

#include "dialogue/console.h"

namespace molagirlik {

// Runs compound after compound, the first one numbered `first_compound`,
// until the user declines another one or the input ends.
void run_dialogue(Console& console, std::int64_t first_compound = 1);

}  // namespace molagirlik
