// Runs the whole dialogue on arbitrary bytes, through the same console the
// program uses, and checks what must hold for any input:
// - the dialogue ends (the end of input stops it);
// - its output stays within a fixed bound per input byte (no endless
//   warnings);
// - the output does not depend on how the input arrives (all at once or in
//   small reads).
// AddressSanitizer checks that nothing outlives the run.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "console/console.h"
#include "dialogue/dialogue.h"
#include "string_streams.h"

namespace {

using molagirlik::Console;
using molagirlik::LetterEncoding;
using molagirlik::Sink;
using molagirlik::StringSink;
using molagirlik::StringSource;

std::string run(std::string_view input, std::size_t chunk,
                LetterEncoding letters) {
  StringSource source(input, chunk);
  StringSink sink;
  {
    Console console(source, sink, letters);
    molagirlik::run_dialogue(console);
  }
  return sink.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const LetterEncoding letters =
      size % 2 == 0 ? LetterEncoding::cp857 : LetterEncoding::utf8;
  const std::string whole = run(input, SIZE_MAX, letters);

  // The shortest compound ("0son" and two characters) prints about 2 KB;
  // nothing may print more per input byte than that.
  if (whole.size() > 4096 + 1024 * size) std::abort();

  const std::size_t chunk = size == 0 ? 1 : data[0] % 13 + 1;
  if (run(input, chunk, letters) != whole) std::abort();
  return 0;
}
