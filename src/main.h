// The dialogue of molagirlik, run against any console.
#pragma once

#include "dialogue/console.h"

namespace molagirlik {

// Runs compound after compound until the user declines another one or the
// input ends. Returns 0, the program's exit status.
int run_dialogue(Console& console);

}  // namespace molagirlik
