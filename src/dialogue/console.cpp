#include "dialogue/console.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace molagirlik {
namespace {

// White space as the C library's formatted input knows it.
constexpr bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The UTF-8 form of each Turkish letter that a letter code can hold.
struct Utf8Letter {
  unsigned char cp857;
  char utf8[3];
};
constexpr Utf8Letter kUtf8Letters[] = {
    {0x94, "\xC3\xB6"},  // ö
    {0x81, "\xC3\xBC"},  // ü
    {0x8D, "\xC4\xB1"},  // ı
    {0x98, "\xC4\xB0"},  // İ
    {0x9A, "\xC3\x9C"},  // Ü
    {0xA7, "\xC4\x9F"},  // ğ
    {0xA6, "\xC4\x9E"},  // Ğ
    {0x87, "\xC3\xA7"},  // ç
    {0x80, "\xC3\x87"},  // Ç
    {0x9F, "\xC5\x9F"},  // ş
    {0x9E, "\xC5\x9E"},  // Ş
};

// Whether a call on `fd` that failed with errno should be made again: it was
// interrupted, or `fd` is non-blocking and was not ready (then this waits
// until it is).
bool try_again(int fd, short event) {
  if (errno == EINTR) return true;
  if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
  pollfd ready = {fd, event, 0};
  return ::poll(&ready, 1, -1) >= 0 || errno == EINTR;
}

}  // namespace

std::size_t StringSource::read(char* buffer, std::size_t size) {
  const std::size_t count = std::min({size, chunk_, text_.size()});
  std::memcpy(buffer, text_.data(), count);
  text_.remove_prefix(count);
  return count;
}

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

void Console::put_letter(int code) {
  const auto byte = static_cast<unsigned char>(code);
  if (letters_ == LetterEncoding::utf8) {
    for (const Utf8Letter& letter : kUtf8Letters) {
      if (letter.cp857 == byte) return put(letter.utf8, 2);
    }
  }
  const char c = static_cast<char>(byte);
  put(&c, 1);
}

void Console::print_args(const char* format, const std::uint16_t* literals,
                         const format_detail::Arg* args, std::size_t count) {
  for (std::size_t k = 0;; ++k) {
    put(format, literals[k]);
    if (k == count) return;
    format += literals[k];
    const format_detail::Arg& arg = args[k];
    // The conversions were checked when the format was made: "%c", "%d",
    // "%s" or "%1.Nf".
    switch (format[1]) {
      case 'c':
        put_letter(arg.integer);
        format += 2;
        break;
      case 'd': {
        char digits[16];
        const auto result =
            std::to_chars(digits, digits + sizeof digits, arg.integer);
        put(digits, static_cast<std::size_t>(result.ptr - digits));
        format += 2;
        break;
      }
      case 's':
        put(arg.text.data(), arg.text.size());
        format += 2;
        break;
      default: {
        // Wide enough for any double in fixed notation with 6 decimals.
        char digits[320];
        const auto result =
            std::to_chars(digits, digits + sizeof digits, arg.real,
                          std::chars_format::fixed, format[3] - '0');
        put(digits, static_cast<std::size_t>(result.ptr - digits));
        format += 5;
        break;
      }
    }
  }
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
  while (available(1) && !is_space(in_buffer_[in_pos_])) {
    if (word.size < Word::capacity)
      word.bytes[word.size++] = in_buffer_[in_pos_];
    ++in_pos_;
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

std::size_t StandardConsole::FdSource::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    // A read error (standard input closed, or a directory) ends the input
    // like the end of a file does.
    if (!try_again(STDIN_FILENO, POLLIN)) return 0;
  }
}

Sink::Status StandardConsole::FdSink::write(const char* data,
                                            std::size_t size) {
  while (size > 0) {
    const ssize_t done = ::write(STDOUT_FILENO, data, size);
    if (done < 0) {
      if (try_again(STDOUT_FILENO, POLLOUT)) continue;
      error = errno;
      return errno == EPIPE ? Status::closed : Status::failed;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return Status::ok;
}

StandardConsole::StandardConsole(LetterEncoding letters)
    : console_(in_, out_, letters) {
  // A reader that goes away shows up as a failed write, not as a signal.
  std::signal(SIGPIPE, SIG_IGN);
}

int StandardConsole::finish() {
  console_.flush();
  if (console_.output_status() != Sink::Status::failed) return 0;
  std::fprintf(stderr, "molagirlik: write error: %s\n",
               std::strerror(out_.error));
  return 1;
}

}  // namespace molagirlik
