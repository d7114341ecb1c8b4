// Standard input and output under WASI, as a WASI runtime or the web page
// hands them over: no signals, and nothing to wait on, as the runtime's
// calls block (in the page, the read is suspended until a line is typed).
#include "console/posix_streams.h"

namespace molagirlik {
namespace {

class WasiStreams final : public PosixDescriptors {
 public:
  void wait(bool) override {}
};

WasiStreams streams;

}  // namespace

SystemStreams& system_streams(LetterEncoding) { return streams; }

}  // namespace molagirlik
