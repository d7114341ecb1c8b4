// Standard input and output under WASI, as a WASI runtime or the web page
// hands them over: no signals, and nothing to wait on, as the runtime's
// calls block. The page's read cannot block: built with binaryen's
// Asyncify, the program unwinds its stack there into the region below and
// is rewound once a line has been typed.
#include <cstdint>

#include "console/posix_streams.h"

namespace molagirlik {
namespace {

class WasiStreams final : public PosixDescriptors {
 public:
  void wait(bool) override {}
};

WasiStreams streams;

// Where the stack is kept while the read waits: Asyncify's header (where
// the kept stack ends, and its limit) and then the stack itself. The
// deepest read keeps a few hundred bytes.
struct {
  std::uint32_t end;
  std::uint32_t limit;
  unsigned char data[16 * 1024];
} suspended_stack;

}  // namespace

SystemStreams& system_streams(LetterEncoding) { return streams; }

}  // namespace molagirlik

// The region, emptied, for the page to unwind into: called before each
// unwind (a wasm32 address is 32 bits).
extern "C" __attribute__((export_name("molagirlik_suspended_stack"))) void*
molagirlik_suspended_stack() {
  auto& stack = molagirlik::suspended_stack;
  const auto address = [](const void* at) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(at));
  };
  stack.end = address(stack.data);
  stack.limit = address(stack.data + sizeof stack.data);
  return &stack;
}
