// What a POSIX read or write did, for the POSIX and WASI streams.
#pragma once

#include <cerrno>
#include <cstddef>

#include "dialogue/standard_streams.h"

namespace molagirlik {

// What a read or write that returned `count` did; when `count` is negative,
// errno says why.
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

}  // namespace molagirlik
