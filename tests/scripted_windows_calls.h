// Windows calls played from a script, for the tests of the Windows
// standard streams: pipes that are not ready, writes that take less than
// asked, consoles with or without read access.
#ifndef MOLAGIRLIK_TESTS_SCRIPTED_WINDOWS_CALLS_H_
#define MOLAGIRLIK_TESTS_SCRIPTED_WINDOWS_CALLS_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/standard_streams_windows.h"

// Included by tests alone, in the program's namespace as they are.
namespace molagirlik {

// What one call answers: success with at most `count` units moved, or
// failure with `error`. Once a script is used up its last step repeats; a
// loop that never ends is cut off after 10,000 calls.
struct Step {
  BOOL ok;
  std::size_t count;
  DWORD error;
};
inline Step moves(std::size_t count) { return {TRUE, count, 0}; }
inline Step fails(DWORD error) { return {FALSE, 0, error}; }

inline HANDLE const kIn = reinterpret_cast<HANDLE>(8);
inline HANDLE const kOut = reinterpret_cast<HANDLE>(12);

class ScriptedCalls final : public WindowsCalls {
 public:
  // Redirected streams: `out_type` is FILE_TYPE_PIPE or FILE_TYPE_DISK.
  std::string input;
  DWORD out_type = FILE_TYPE_PIPE;
  // A console on input, output or both; `out_mode` false for a console
  // opened without read access (`> CON`).
  bool in_console = false;
  bool out_console = false;
  bool out_mode = true;
  std::wstring typed;  // console input
  std::vector<Step> reads = {moves(SIZE_MAX)};
  std::vector<Step> writes = {moves(SIZE_MAX)};

  std::string written;
  std::wstring shown;  // console output
  int pauses = 0;
  int stops = 0;

  BOOL read_file(HANDLE in, char* buffer, DWORD size, DWORD* got) override {
    return hand_out(input, input_at_, in, buffer, size, got);
  }
  BOOL write_file(HANDLE out, const char* data, DWORD size,
                  DWORD* done) override {
    const Step step = next(writes, write_calls_, out == kOut);
    *done = static_cast<DWORD>(std::min(step.count, std::size_t{size}));
    written.append(data, *done);
    return step.ok;
  }
  BOOL read_console(HANDLE in, wchar_t* buffer, DWORD size,
                    DWORD* got) override {
    return hand_out(typed, typed_at_, in, buffer, size, got);
  }
  BOOL write_console(HANDLE out, const wchar_t* text, DWORD size,
                     DWORD* done) override {
    if (!out_console) return fail(ERROR_INVALID_HANDLE);
    EXPECT_EQ(out, kOut);
    shown.append(text, size);
    *done = size;
    return TRUE;
  }
  DWORD last_error() override { return error_; }
  DWORD file_type(HANDLE handle) override {
    if (handle == kOut) return out_console ? FILE_TYPE_CHAR : out_type;
    return in_console ? FILE_TYPE_CHAR : FILE_TYPE_PIPE;
  }
  BOOL console_mode(HANDLE handle, DWORD* mode) override {
    *mode = 0;
    const bool console = handle == kIn ? in_console : out_console && out_mode;
    return console ? TRUE : fail(ERROR_INVALID_HANDLE);
  }
  void pause() override { ++pauses; }
  void stop_interrupted() override { ++stops; }

 private:
  // One scripted read of `from`, which has been handed out up to `at`.
  template <class Char>
  BOOL hand_out(const std::basic_string<Char>& from, std::size_t& at, HANDLE in,
                Char* buffer, DWORD size, DWORD* got) {
    const Step step = next(reads, read_calls_, in == kIn);
    *got = static_cast<DWORD>(
        std::min({step.count, std::size_t{size}, from.size() - at}));
    from.copy(buffer, *got, at);
    at += *got;
    return step.ok;
  }
  BOOL fail(DWORD error) {
    error_ = error;
    return FALSE;
  }
  Step next(const std::vector<Step>& script, int& calls, bool right_handle) {
    EXPECT_TRUE(right_handle);
    const auto index = static_cast<std::size_t>(calls++);
    Step step = calls > 10000 ? fails(ERROR_GEN_FAILURE)
                              : script[std::min(index, script.size() - 1)];
    error_ = step.error;
    return step;
  }
  std::size_t input_at_ = 0;
  std::size_t typed_at_ = 0;
  int read_calls_ = 0;
  int write_calls_ = 0;
  DWORD error_ = 0;
};

}  // namespace molagirlik

#endif  // MOLAGIRLIK_TESTS_SCRIPTED_WINDOWS_CALLS_H_
