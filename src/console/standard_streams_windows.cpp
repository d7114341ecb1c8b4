// Standard input and output on Windows.
#include "console/standard_streams_windows.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "console/utf8.h"

namespace molagirlik {
namespace {

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

bool is_handle(HANDLE handle) {
  return handle != INVALID_HANDLE_VALUE && handle != nullptr;
}

// A console that the program can write to. `> CON` opens one without read
// access, which the mode query needs, so a write of nothing decides.
bool is_console_output(WindowsCalls& calls, HANDLE out) {
  DWORD mode = 0;
  DWORD written = 0;
  return is_handle(out) && calls.file_type(out) == FILE_TYPE_CHAR &&
         (calls.console_mode(out, &mode) ||
          calls.write_console(out, L"", 0, &written));
}

}  // namespace

WindowsStreams::WindowsStreams(WindowsCalls& calls, LetterEncoding letters,
                               HANDLE in, HANDLE out)
    : calls_(calls),
      code_page_(letters == LetterEncoding::utf8 ? CP_UTF8 : 857),
      in_(in),
      out_(out) {
  DWORD mode = 0;
  in_console_ = is_handle(in) && calls.console_mode(in, &mode);
  out_console_ = is_console_output(calls, out);
  out_pipe_ = is_handle(out) && calls.file_type(out) == FILE_TYPE_PIPE;
}

Transfer WindowsStreams::read(char* buffer, std::size_t size) {
  if (in_console_) return read_console(buffer, size);
  DWORD got = 0;
  const auto want = static_cast<DWORD>(size < kChunk * 16 ? size : kChunk * 16);
  if (calls_.read_file(in_, buffer, want, &got)) {
    return {Transfer::done, got, 0};
  }
  const DWORD error = calls_.last_error();
  // The writer of a pipe went away: the end of the input.
  if (error == ERROR_BROKEN_PIPE) return {Transfer::done, 0, 0};
  // A pipe in PIPE_NOWAIT mode that has nothing yet.
  if (error == ERROR_NO_DATA) return {Transfer::not_ready, 0, 0};
  return {Transfer::failed, 0, errno_for(error)};
}

Transfer WindowsStreams::write(const char* data, std::size_t size) {
  if (out_console_) return write_console(data, size);
  DWORD done = 0;
  const auto want = static_cast<DWORD>(size < kChunk * 16 ? size : kChunk * 16);
  if (calls_.write_file(out_, data, want, &done)) {
    // A full PIPE_NOWAIT pipe takes nothing and says yes; a file that takes
    // nothing is full.
    if (done == 0 && out_pipe_) return {Transfer::not_ready, 0, 0};
    return {Transfer::done, done, 0};
  }
  const DWORD error = calls_.last_error();
  // The reader went away; Wine says so with ERROR_PIPE_NOT_CONNECTED.
  if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE ||
      error == ERROR_PIPE_NOT_CONNECTED) {
    return {Transfer::closed, 0, 0};
  }
  return {Transfer::failed, 0, errno_for(error)};
}

// Windows cannot wait for a pipe to become ready: try again shortly.
void WindowsStreams::wait(bool) { calls_.pause(); }

// Hands out what the user typed, converted to the program's encoding,
// reading a new line from the console when none is left. Ctrl+Z at the
// start of a line (then Enter) ends the input; Ctrl+C stops the program.
Transfer WindowsStreams::read_console(char* buffer, std::size_t size) {
  while (pending_ == taken_) {
    if (ended_) return {Transfer::done, 0, 0};
    wchar_t wide[kChunk / 4];
    DWORD count = 0;
    std::size_t start = 0;
    if (held_surrogate_ != 0) {
      wide[start++] = held_surrogate_;
      held_surrogate_ = 0;
    }
    const BOOL read = calls_.read_console(
        in_, wide + start, static_cast<DWORD>(kChunk / 4 - start), &count);
    // A line always ends with Enter, so a read of nothing is Ctrl+C.
    if (read ? count == 0 : calls_.last_error() == ERROR_OPERATION_ABORTED) {
      calls_.stop_interrupted();
      ended_ = true;
      continue;
    }
    if (!read) return {Transfer::failed, 0, errno_for(calls_.last_error())};
    std::size_t length = start + count;
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
    // A character that code page 857 lacks becomes '?', never a look-alike
    // letter that could pass for an element symbol.
    const DWORD flags = code_page_ == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    pending_ = length == 0
                   ? 0
                   : static_cast<std::size_t>(WideCharToMultiByte(
                         code_page_, flags, wide, static_cast<int>(length),
                         typed_, sizeof typed_, nullptr, nullptr));
  }
  const std::size_t count = pending_ - taken_ < size ? pending_ - taken_ : size;
  std::memcpy(buffer, typed_ + taken_, count);
  taken_ += count;
  return {Transfer::done, count, 0};
}

// Converts the bytes to UTF-16 and writes them to the console. A UTF-8
// sequence cut by the end of the data is kept for the next write.
Transfer WindowsStreams::write_console(const char* data, std::size_t size) {
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
    if (!calls_.write_console(out_, wide + at, static_cast<DWORD>(length - at),
                              &written)) {
      return {Transfer::failed, 0, errno_for(calls_.last_error())};
    }
    if (written == 0) return {Transfer::done, 0, 0};
    at += static_cast<int>(written);
  }
  return {Transfer::done, taken, 0};
}

namespace {

class RealCalls final : public WindowsCalls {
 public:
  BOOL read_file(HANDLE in, char* buffer, DWORD size, DWORD* got) override {
    return ReadFile(in, buffer, size, got, nullptr);
  }
  BOOL write_file(HANDLE out, const char* data, DWORD size,
                  DWORD* done) override {
    return WriteFile(out, data, size, done, nullptr);
  }
  BOOL read_console(HANDLE in, wchar_t* buffer, DWORD size,
                    DWORD* got) override {
    return ReadConsoleW(in, buffer, size, got, nullptr);
  }
  BOOL write_console(HANDLE out, const wchar_t* text, DWORD size,
                     DWORD* done) override {
    return WriteConsoleW(out, text, size, done, nullptr);
  }
  DWORD last_error() override { return GetLastError(); }
  DWORD file_type(HANDLE handle) override { return GetFileType(handle); }
  BOOL console_mode(HANDLE handle, DWORD* mode) override {
    return GetConsoleMode(handle, mode);
  }
  void pause() override { Sleep(1); }
  void stop_interrupted() override { ExitProcess(STATUS_CONTROL_C_EXIT); }
};

RealCalls real_calls;

}  // namespace

SystemStreams& system_streams(LetterEncoding letters) {
  // The write-error message ends in "\n" alone, as on every other system.
  _setmode(_fileno(stderr), _O_BINARY);
  static WindowsStreams streams(real_calls, letters,
                                GetStdHandle(STD_INPUT_HANDLE),
                                GetStdHandle(STD_OUTPUT_HANDLE));
  return streams;
}

}  // namespace molagirlik
