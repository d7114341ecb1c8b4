// The process's standard input and output, under the console.
//
// The operating system's calls sit in one file per platform behind
// SystemStreams; the loops here that retry, wait and finish partial writes
// are the same everywhere.
#pragma once

#include <cstddef>

#include "console/byte_stream.h"
#include "console/letters.h"

namespace molagirlik {

// What one call on a standard stream did.
struct Transfer {
  enum Result {
    done,         // `count` bytes moved; a read of 0 is the end of input
    interrupted,  // a signal came first: call again
    not_ready,    // non-blocking and not ready: wait, then call again
    closed,       // output: the reader went away
    failed,       // any other error, `error` says which (an errno value)
  };
  Result result = done;
  std::size_t count = 0;
  int error = 0;
};

// The operating system's calls on standard input and output.
class SystemStreams {
 public:
  virtual Transfer read(char* buffer, std::size_t size) = 0;
  virtual Transfer write(const char* data, std::size_t size) = 0;
  // Waits until standard output (or input) is ready after not_ready.
  virtual void wait(bool output) = 0;

 protected:
  ~SystemStreams() = default;
};

// This platform's standard streams, set up for a program writing its
// letters in `letters`: a reader that goes away is reported as `closed`.
// Files and pipes move the bytes unchanged; a Windows console is written
// and read in its wide characters, converted from and to `letters`.
SystemStreams& system_streams(LetterEncoding letters);

// Standard input as a source: retried until it gives bytes or ends. An
// input that cannot be read ends like the end of a file.
class StandardInput final : public Source {
 public:
  explicit StandardInput(SystemStreams& system) : system_(system) {}
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  SystemStreams& system_;
};

// Standard output as a sink: every byte is written, or the reason why not
// is reported. A write that takes nothing counts as a full device.
class StandardOutput final : public Sink {
 public:
  explicit StandardOutput(SystemStreams& system) : system_(system) {}
  Status write(const char* data, std::size_t size) override;
  // The errno value of the failure, once write has returned failed.
  int error() const { return error_; }

 private:
  SystemStreams& system_;
  int error_ = 0;
};

}  // namespace molagirlik
