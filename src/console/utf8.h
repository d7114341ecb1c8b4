// What the console and the Windows layer need to know of UTF-8.
#pragma once

#include <cstddef>

namespace molagirlik {

// How many bytes at the end of `data` begin a UTF-8 sequence that `data`
// does not finish.
inline std::size_t unfinished_utf8(const char* data, std::size_t size) {
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(data[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
    const std::size_t length = byte >= 0xF0   ? 4
                               : byte >= 0xE0 ? 3
                               : byte >= 0xC0 ? 2
                                              : 1;
    return length > back ? back : 0;
  }
  return 0;
}

}  // namespace molagirlik
