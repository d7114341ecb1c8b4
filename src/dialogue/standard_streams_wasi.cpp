// Standard input and output under WASI, as a browser page or a WASI runtime
// hands them over: no signals, and nothing to wait on.
#include <unistd.h>

#include <charconv>
#include <cstring>

#include "dialogue/posix_transfer.h"

namespace molagirlik {
namespace {

class WasiStreams final : public SystemStreams {
 public:
  Transfer read(char* buffer, std::size_t size) override {
    return posix_transfer(::read(STDIN_FILENO, buffer, size));
  }
  Transfer write(const char* data, std::size_t size) override {
    return posix_transfer(::write(STDOUT_FILENO, data, size));
  }
  // WASI has no way to wait for a descriptor; the runtime's calls block.
  void wait(bool) override {}
};

WasiStreams streams;

}  // namespace

SystemStreams& system_streams(LetterEncoding) { return streams; }

std::int64_t first_compound(int argc, char** argv) {
  if (argc < 2) return 1;
  std::int64_t z = 0;
  const char* end = argv[1] + std::strlen(argv[1]);
  const auto [rest, error] = std::from_chars(argv[1], end, z);
  return error == std::errc() && rest == end && z > 0 ? z : 1;
}

}  // namespace molagirlik
