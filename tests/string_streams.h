// In-memory sources and sinks, for tests and the fuzzer. The programs never
// include this: what they link stays free of allocation.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "console/byte_stream.h"

namespace molagirlik {

// Input from a string, handed out `chunk` bytes a read, so that tests can
// cut the input at any point.
class StringSource final : public Source {
 public:
  explicit StringSource(std::string_view text, std::size_t chunk = SIZE_MAX)
      : text_(text), chunk_(chunk == 0 ? 1 : chunk) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, chunk_, text_.size()});
    std::memcpy(buffer, text_.data(), count);
    text_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view text_;
  std::size_t chunk_;
};

// Output collected in a string, up to 4 MiB: past that the write fails,
// so that a dialogue that never stops warning ends instead of filling the
// memory.
class StringSink final : public Sink {
 public:
  static constexpr std::size_t kLimit = std::size_t{4} << 20;
  Status write(const char* data, std::size_t size) override {
    if (size > kLimit - text.size()) return Status::failed;
    text.append(data, size);
    return Status::ok;
  }
  std::string text;
};

}  // namespace molagirlik
