#include "console/console.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "console/utf8.h"

namespace molagirlik {
namespace {

// White space as the C library's formatted input knows it.
constexpr bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Console::Console(Source& in, Sink& out, LetterEncoding letters)
    : in_(in), out_(out), letters_(letters) {}

void Console::flush() {
  if (out_size_ == 0) return;
  if (status_ == Sink::Status::ok)
    status_ = out_.write(out_buffer_.data(), out_size_);
  out_size_ = 0;
}

void Console::put_large(const char* data, std::size_t size) {
  flush();
  if (size >= kOutputSize) {
    if (status_ == Sink::Status::ok) status_ = out_.write(data, size);
    return;
  }
  std::memcpy(out_buffer_.data(), data, size);
  out_size_ = size;
}

void Console::put_arg(Conversion, std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  put(digits, static_cast<std::size_t>(result.ptr - digits));
}

void Console::put_arg(Conversion fixed, float value) {
  // The C library's own conversion of the exact value, rounded once. Enough
  // for any float: a sign, 39 digits, the point, 6 decimals.
  char digits[48];
  const int size = std::snprintf(digits, sizeof digits, "%1.*f", fixed.decimals,
                                 static_cast<double>(value));
  put(digits, static_cast<std::size_t>(size));
}

bool Console::refill(std::size_t count) {
  while (in_end_ - in_pos_ < count) {
    if (input_ended_ || status_ != Sink::Status::ok) return false;
    std::memmove(in_buffer_.data(), in_buffer_.data() + in_pos_,
                 in_end_ - in_pos_);
    in_end_ -= in_pos_;
    in_pos_ = 0;
    // About to wait for input: whatever was written must be on screen.
    flush();
    if (status_ != Sink::Status::ok) return false;
    const std::size_t got =
        in_.read(in_buffer_.data() + in_end_, kInputSize - in_end_);
    if (got == 0) {
      input_ended_ = true;
      return false;
    }
    in_end_ += got;
  }
  // Once the output is gone nobody sees the dialogue any more: stop reading.
  return status_ == Sink::Status::ok;
}

bool Console::skip_white_space() {
  while (available(1)) {
    if (!is_space(in_buffer_[in_pos_])) return true;
    ++in_pos_;
  }
  return false;
}

IntRead Console::read_int(int& target) {
  if (!skip_white_space()) return IntRead::end;
  bool negative = false;
  const char first = in_buffer_[in_pos_];
  if (first == '+' || first == '-') {
    if (!available(2) || !is_digit(in_buffer_[in_pos_ + 1])) {
      return IntRead::no_integer;
    }
    negative = first == '-';
    ++in_pos_;
  } else if (!is_digit(first)) {
    return IntRead::no_integer;
  }
  // Every digit is consumed, however many; the value stops growing once it
  // has left the 32-bit range.
  constexpr std::int64_t kLimit = std::int64_t{INT_MAX} + 1;
  std::int64_t value = 0;
  while (available(1) && is_digit(in_buffer_[in_pos_])) {
    if (value <= kLimit) value = value * 10 + (in_buffer_[in_pos_] - '0');
    ++in_pos_;
  }
  if (negative ? value > kLimit : value >= kLimit) {
    target = negative ? INT_MIN : INT_MAX;
    return IntRead::out_of_range;
  }
  target = static_cast<int>(negative ? -value : value);
  return IntRead::value;
}

bool Console::read_word(Word& word) {
  word.size = 0;
  if (!skip_white_space()) return false;
  bool cut = false;
  while (available(1) && !is_space(in_buffer_[in_pos_])) {
    if (word.size < Word::capacity) {
      word.bytes[word.size++] = in_buffer_[in_pos_];
    } else {
      cut = true;
    }
    ++in_pos_;
  }
  // A word cut short keeps only whole UTF-8 characters, so that its echo is
  // valid UTF-8 too.
  if (cut && letters_ == LetterEncoding::utf8) {
    word.size -= unfinished_utf8(word.bytes.data(), word.size);
  }
  return true;
}

bool Console::skip_word() {
  if (!skip_white_space()) return false;
  while (available(1) && !is_space(in_buffer_[in_pos_])) ++in_pos_;
  return true;
}

bool Console::read_char(char& c) {
  if (!available(1)) return false;
  c = in_buffer_[in_pos_++];
  if (c == '\r' && available(1) && in_buffer_[in_pos_] == '\n') {
    c = '\n';
    ++in_pos_;
  }
  return true;
}

}  // namespace molagirlik
