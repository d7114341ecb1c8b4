// Standard input and output on Windows, over the few Windows calls they
// make. The calls sit behind WindowsCalls so that a test can script what
// Windows answers: pipes that are not ready, short writes, a console line
// with Ctrl+Z, Ctrl+C.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstddef>

#include "console/letters.h"
#include "console/standard_streams.h"

namespace molagirlik {

// The Windows calls, each as Windows has it, on the standard handles.
class WindowsCalls {
 public:
  virtual BOOL read_file(HANDLE in, char* buffer, DWORD size, DWORD* got) = 0;
  virtual BOOL write_file(HANDLE out, const char* data, DWORD size,
                          DWORD* done) = 0;
  virtual BOOL read_console(HANDLE in, wchar_t* buffer, DWORD size,
                            DWORD* got) = 0;
  virtual BOOL write_console(HANDLE out, const wchar_t* text, DWORD size,
                             DWORD* done) = 0;
  virtual DWORD last_error() = 0;
  virtual DWORD file_type(HANDLE handle) = 0;
  virtual BOOL console_mode(HANDLE handle, DWORD* mode) = 0;
  // A short pause before a pipe that was not ready is tried again.
  virtual void pause() = 0;
  // Ctrl+C at a prompt: ends the process as Windows ends a console program
  // stopped by the user (STATUS_CONTROL_C_EXIT).
  virtual void stop_interrupted() = 0;

 protected:
  ~WindowsCalls() = default;
};

// The standard streams over `calls`. Redirected streams (files, pipes) move
// their bytes untouched, both ways: no carriage return is added and a 0x1A
// byte is data. A console gets the program's text through its
// wide-character interface, converted from the program's encoding, so the
// Turkish letters show right whatever the console's code page; what the
// user types comes back in that same encoding.
class WindowsStreams final : public SystemStreams {
 public:
  WindowsStreams(WindowsCalls& calls, LetterEncoding letters, HANDLE in,
                 HANDLE out);
  Transfer read(char* buffer, std::size_t size) override;
  Transfer write(const char* data, std::size_t size) override;
  void wait(bool output) override;

  // The longest run of bytes that one call moves or converts.
  static constexpr std::size_t kChunk = 4096;

 private:
  Transfer read_console(char* buffer, std::size_t size);
  Transfer write_console(const char* data, std::size_t size);

  WindowsCalls& calls_;
  UINT code_page_;
  HANDLE in_;
  HANDLE out_;
  bool in_console_;
  bool out_console_;
  bool out_pipe_;
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

}  // namespace molagirlik
