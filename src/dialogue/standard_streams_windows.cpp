// Standard input and output on Windows.
//
// Redirected streams (files, pipes) move their bytes untouched, both ways:
// no carriage return is added and a 0x1A byte is data. A console gets the
// program's text through its wide-character interface, converted from the
// program's encoding (code page 857, or UTF-8 for molagirlik-utf8), so the
// Turkish letters show right whatever the console's code page; what the
// user types comes back in that same encoding.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "dialogue/standard_streams.h"

namespace molagirlik {
namespace {

// The longest run of bytes that one call converts.
constexpr std::size_t kChunk = 4096;

// The errno value for a failed call's Windows error.
int errno_for(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    default:
      return EIO;
  }
}

bool is_console(HANDLE handle) {
  DWORD mode;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr &&
         GetConsoleMode(handle, &mode) != 0;
}

class WindowsStreams final : public SystemStreams {
 public:
  void open(LetterEncoding letters) {
    code_page_ = letters == LetterEncoding::utf8 ? CP_UTF8 : 857;
    in_ = GetStdHandle(STD_INPUT_HANDLE);
    out_ = GetStdHandle(STD_OUTPUT_HANDLE);
    in_console_ = is_console(in_);
    out_console_ = is_console(out_);
  }

  Transfer read(char* buffer, std::size_t size) override {
    if (in_console_) return read_console(buffer, size);
    DWORD got = 0;
    const auto want =
        static_cast<DWORD>(size < kChunk * 16 ? size : kChunk * 16);
    if (ReadFile(in_, buffer, want, &got, nullptr)) {
      return {Transfer::done, got, 0};
    }
    const DWORD error = GetLastError();
    // The writer of a pipe went away: the end of the input.
    if (error == ERROR_BROKEN_PIPE) return {Transfer::done, 0, 0};
    return {Transfer::failed, 0, errno_for(error)};
  }

  Transfer write(const char* data, std::size_t size) override {
    if (out_console_) return write_console(data, size);
    DWORD done = 0;
    const auto want =
        static_cast<DWORD>(size < kChunk * 16 ? size : kChunk * 16);
    if (WriteFile(out_, data, want, &done, nullptr)) {
      return {Transfer::done, done, 0};
    }
    const DWORD error = GetLastError();
    // The reader went away; Wine says so with ERROR_PIPE_NOT_CONNECTED.
    if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE ||
        error == ERROR_PIPE_NOT_CONNECTED) {
      return {Transfer::closed, 0, 0};
    }
    return {Transfer::failed, 0, errno_for(error)};
  }

  void wait(bool) override {}

 private:
  // Hands out what the user typed, converted to the program's encoding,
  // reading a new line from the console when none is left. Ctrl+Z at the
  // start of a line (then Enter) ends the input.
  Transfer read_console(char* buffer, std::size_t size) {
    while (pending_ == taken_) {
      if (ended_) return {Transfer::done, 0, 0};
      wchar_t wide[kChunk / 4];
      DWORD count = 0;
      std::size_t start = 0;
      if (held_surrogate_ != 0) {
        wide[start++] = held_surrogate_;
        held_surrogate_ = 0;
      }
      if (!ReadConsoleW(in_, wide + start,
                        static_cast<DWORD>(kChunk / 4 - start), &count,
                        nullptr)) {
        return {Transfer::failed, 0, errno_for(GetLastError())};
      }
      std::size_t length = start + count;
      if (count == 0) {
        ended_ = true;
        continue;
      }
      if (at_line_start_ && wide[0] == 0x1A) {
        ended_ = true;
        continue;
      }
      at_line_start_ = wide[length - 1] == L'\n';
      // A high surrogate waits for its partner from the next read.
      if (wide[length - 1] >= 0xD800 && wide[length - 1] <= 0xDBFF) {
        held_surrogate_ = wide[--length];
      }
      taken_ = 0;
      pending_ = length == 0
                     ? 0
                     : static_cast<std::size_t>(WideCharToMultiByte(
                           code_page_, 0, wide, static_cast<int>(length),
                           typed_, sizeof typed_, nullptr, nullptr));
    }
    const std::size_t count =
        pending_ - taken_ < size ? pending_ - taken_ : size;
    std::memcpy(buffer, typed_ + taken_, count);
    taken_ += count;
    return {Transfer::done, count, 0};
  }

  // Converts the bytes to UTF-16 and writes them to the console. A UTF-8
  // sequence cut by the end of the data is kept for the next write.
  Transfer write_console(const char* data, std::size_t size) {
    char bytes[kChunk + 4];
    std::size_t count = carried_;
    std::memcpy(bytes, carry_, carried_);
    const std::size_t taken = size < kChunk ? size : kChunk;
    std::memcpy(bytes + count, data, taken);
    count += taken;
    carried_ = code_page_ == CP_UTF8 ? unfinished_utf8(bytes, count) : 0;
    count -= carried_;
    std::memcpy(carry_, bytes + count, carried_);
    wchar_t wide[kChunk + 4];
    const int length =
        count == 0
            ? 0
            : MultiByteToWideChar(code_page_, 0, bytes, static_cast<int>(count),
                                  wide, static_cast<int>(kChunk + 4));
    for (int at = 0; at < length;) {
      DWORD written = 0;
      if (!WriteConsoleW(out_, wide + at, static_cast<DWORD>(length - at),
                         &written, nullptr)) {
        return {Transfer::failed, 0, errno_for(GetLastError())};
      }
      if (written == 0) return {Transfer::done, 0, 0};
      at += static_cast<int>(written);
    }
    return {Transfer::done, taken, 0};
  }

  UINT code_page_ = 857;
  HANDLE in_ = nullptr;
  HANDLE out_ = nullptr;
  bool in_console_ = false;
  bool out_console_ = false;
  // Console input converted and not yet handed out.
  char typed_[kChunk * 3];
  std::size_t pending_ = 0;
  std::size_t taken_ = 0;
  wchar_t held_surrogate_ = 0;
  bool at_line_start_ = true;
  bool ended_ = false;
  // The start of a UTF-8 sequence whose end has not been written yet.
  char carry_[4];
  std::size_t carried_ = 0;
};

WindowsStreams streams;

}  // namespace

SystemStreams& system_streams(LetterEncoding letters) {
  streams.open(letters);
  return streams;
}

}  // namespace molagirlik
