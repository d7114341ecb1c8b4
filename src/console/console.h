// The console: buffered output with formatted writes, and the reads the
// dialogue is built on.
//
// Output is written out when the program is about to wait for input (its
// input buffer is empty and it must read), when the buffer is full, and at
// exit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "console/byte_stream.h"
#include "console/format.h"
#include "console/letters.h"

namespace molagirlik {

// A word read from the input. Only its first `capacity` bytes are kept (in
// UTF-8, its whole characters among them); the rest of a longer word is
// read and dropped, so no input can overrun it.
struct Word {
  static constexpr std::size_t capacity = 255;
  std::array<char, capacity> bytes{};
  std::size_t size = 0;
  std::string_view view() const { return {bytes.data(), size}; }
};

// What an integer read found.
enum class IntRead {
  value,         // a number in the 32-bit range, stored in the target
  no_integer,    // no number here: nothing consumed, the target unchanged
  out_of_range,  // a number too large for 32 bits: consumed, the target
                 // holds the nearest 32-bit limit of the same sign
  end,           // the input ended before anything but white space
};

class Console {
 public:
  Console(Source& in, Sink& out,
          LetterEncoding letters = LetterEncoding::cp857);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  ~Console() { flush(); }

  // Formatted write: the screen text in this console's letter encoding,
  // with each conversion replaced by its argument ("%d" an integer in
  // decimal, "%s" the bytes as they are, "%1.Nf" a number with N decimals).
  template <class... Args>
  void print(Format<std::type_identity_t<Args>...> format, Args... args) {
    const Form& form = format.in(letters_);
    const char* run = form.runs;
    const std::uint16_t* length = form.run_lengths;
    const Conversion* conversion = form.conversions;
    put(run, *length);
    ((run += *length++, put_arg(*conversion++, args), put(run, *length)), ...);
  }

  // Integer read: skips white space, then takes an optional sign and the
  // decimal digits after it, leaving the first character that cannot go on
  // with the number in the input. A sign without a digit after it is left
  // in the input too.
  IntRead read_int(int& target);
  // Word read: skips white space and takes the characters up to the next
  // white space. Returns false when the input ends first.
  bool read_word(Word& word);
  // Like read_word, but the word is thrown away.
  bool skip_word();
  // Character read: the very next character, white space included; a
  // carriage return followed by a line feed is taken together as one '\n'.
  // Returns false at the end of input.
  bool read_char(char& c);

  // Writes out everything buffered.
  void flush();
  // Whether everything written so far has reached the output.
  Sink::Status output_status() const { return status_; }

 private:
  static constexpr std::size_t kInputSize = 64 * 1024;
  static constexpr std::size_t kOutputSize = 64 * 1024;

  void put_arg(Conversion, std::int64_t value);
  void put_arg(Conversion, std::string_view word) {
    put(word.data(), word.size());
  }
  void put_arg(Conversion fixed, float value);
  void put(const char* data, std::size_t size) {
    if (size <= kOutputSize - out_size_) {
      std::memcpy(out_buffer_.data() + out_size_, data, size);
      out_size_ += size;
    } else {
      put_large(data, size);
    }
  }
  void put_large(const char* data, std::size_t size);
  // Makes at least `count` unread input bytes available, reading (and so
  // first flushing the output) when fewer are buffered. False when the input
  // ends before that, or when the output can no longer be written.
  bool available(std::size_t count) {
    if (in_end_ - in_pos_ >= count) return status_ == Sink::Status::ok;
    return refill(count);
  }
  bool refill(std::size_t count);
  bool skip_white_space();

  Source& in_;
  Sink& out_;
  LetterEncoding letters_;
  Sink::Status status_ = Sink::Status::ok;
  // Once the source has reported the end, it is never read again: a
  // terminal would otherwise wait for a second end-of-input key.
  bool input_ended_ = false;
  std::size_t in_pos_ = 0;
  std::size_t in_end_ = 0;
  std::size_t out_size_ = 0;
  std::array<char, kInputSize> in_buffer_;
  std::array<char, kOutputSize> out_buffer_;
};

}  // namespace molagirlik
