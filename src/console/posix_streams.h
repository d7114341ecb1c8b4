// Standard input and output through POSIX read and write, for the POSIX
// and WASI streams: each platform adds only how it waits.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

#include "console/standard_streams.h"

namespace molagirlik {

// What a read or write that returned `count` did; when `count` is negative,
// errno says why. A count of 0 or more never looks at errno, which may
// still hold an earlier call's error.
inline Transfer posix_transfer(long long count) {
  if (count >= 0) return {Transfer::done, static_cast<std::size_t>(count), 0};
  switch (errno) {
    case EINTR:
      return {Transfer::interrupted, 0, 0};
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
      return {Transfer::not_ready, 0, 0};
    case EPIPE:
      return {Transfer::closed, 0, 0};
    default:
      return {Transfer::failed, 0, errno};
  }
}

// Descriptors 0 and 1, read and written with the POSIX calls.
class PosixDescriptors : public SystemStreams {
 public:
  Transfer read(char* buffer, std::size_t size) override {
    return posix_transfer(::read(STDIN_FILENO, buffer, size));
  }
  Transfer write(const char* data, std::size_t size) override {
    return posix_transfer(::write(STDOUT_FILENO, data, size));
  }

 protected:
  ~PosixDescriptors() = default;
};

}  // namespace molagirlik
