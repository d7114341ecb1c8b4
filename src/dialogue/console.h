// The console: the only code that touches standard input and output.
//
// Output is buffered and written out when the program is about to wait for
// input (its input buffer is empty and it must read), when the buffer is
// full, and at exit. Reads follow the formatted-input rules the dialogue is
// built on: the integer read, the word read and the character read.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace molagirlik {

// Where the console's input bytes come from.
class Source {
 public:
  virtual ~Source() = default;
  // Reads up to `size` bytes into `buffer` and returns how many; 0 means the
  // input has ended (or can no longer be read).
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// Where the console's output bytes go.
class Sink {
 public:
  enum class Status {
    ok,      // everything written so far has arrived
    closed,  // the reader went away (a broken pipe)
    failed,  // any other write error
  };
  virtual ~Sink() = default;
  // Writes all `size` bytes of `data`, or reports why it could not.
  virtual Status write(const char* data, std::size_t size) = 0;
};

// Input from a string, handed out `chunk` bytes a read, so that tests can
// cut the input at any point.
class StringSource final : public Source {
 public:
  explicit StringSource(std::string_view text, std::size_t chunk = SIZE_MAX)
      : text_(text), chunk_(chunk == 0 ? 1 : chunk) {}
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  std::string_view text_;
  std::size_t chunk_;
};

// Output collected in a string.
class StringSink final : public Sink {
 public:
  Status write(const char* data, std::size_t size) override {
    text.append(data, size);
    return Status::ok;
  }
  std::string text;
};

// How the Turkish letters of the screen texts leave the program.
enum class LetterEncoding {
  cp857,  // the letter code's own byte, for a console set to code page 857
  utf8,   // the same letter encoded as UTF-8, for today's terminals
};

// A word read from the input. Only its first `capacity` bytes are kept; the
// rest of a longer word is read and dropped, so no input can overrun it.
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

namespace format_detail {

// One argument of a formatted write, whatever its conversion.
struct Arg {
  int integer = 0;
  double real = 0;
  std::string_view text;
};

inline Arg make_arg(int value) { return {value, 0, {}}; }
inline Arg make_arg(double value) { return {0, value, {}}; }
inline Arg make_arg(std::string_view value) { return {0, 0, value}; }

// Checks at compile time that `text` holds exactly one conversion for each
// argument, in order, and that each suits its argument: "%c" and "%d" take
// an int, "%s" a string_view, "%1.0f" to "%1.6f" a double.
template <class... Args>
consteval bool conversions_match(std::string_view text) {
  constexpr std::array<char, sizeof...(Args) + 1> kinds{
      (std::is_same_v<Args, int>                ? 'i'
       : std::is_same_v<Args, double>           ? 'f'
       : std::is_same_v<Args, std::string_view> ? 's'
                                                : '?')...,
      '\0'};
  std::size_t next = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (next == sizeof...(Args)) return false;
    const char kind = kinds[next++];
    const std::string_view rest = text.substr(i + 1);
    if (rest.starts_with('c') || rest.starts_with('d')) {
      if (kind != 'i') return false;
      i += 1;
    } else if (rest.starts_with('s')) {
      if (kind != 's') return false;
      i += 1;
    } else if (rest.size() >= 4 && rest.starts_with("1.") && rest[2] >= '0' &&
               rest[2] <= '6' && rest[3] == 'f') {
      if (kind != 'f') return false;
      i += 4;
    } else {
      return false;
    }
  }
  return next == sizeof...(Args);
}

}  // namespace format_detail

// A format string whose conversions have been checked against the types of
// the arguments that fill them. It can only be made from a constant, so a
// typed word can never become a format.
template <class... Args>
class Format {
 public:
  template <class Text>
  requires std::convertible_to<const Text&, std::string_view>
  consteval Format(const Text& text) : text_(text) {  // NOLINT: implicit
    if (!format_detail::conversions_match<Args...>(text_)) {
      throw "format string does not match its arguments";
    }
    if (text_.size() > UINT16_MAX) throw "format string too long";
    std::size_t start = 0;
    std::size_t k = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
      if (text_[i] != '%') continue;
      literals_[k++] = static_cast<std::uint16_t>(i - start);
      i += text_[i + 1] == '1' ? 4 : 1;
      start = i + 1;
    }
    literals_[k] = static_cast<std::uint16_t>(text_.size() - start);
  }
  constexpr std::string_view text() const { return text_; }
  // The length of the literal text before each conversion, and after the
  // last one.
  constexpr const std::uint16_t* literals() const { return literals_.data(); }

 private:
  std::string_view text_;
  std::array<std::uint16_t, sizeof...(Args) + 1> literals_{};
};

// Holds a block of screen text rendered once for each letter encoding.
struct BlockCache {
  std::array<std::string, 2> text;
  std::array<bool, 2> ready{};
};

class Console {
 public:
  Console(Source& in, Sink& out,
          LetterEncoding letters = LetterEncoding::cp857);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  ~Console() { flush(); }

  // Formatted write: the literal text of `format` with each conversion
  // replaced by its argument ("%c" a letter code as one letter, "%d" an
  // integer in decimal, "%s" the bytes as they are, "%1.Nf" a number with N
  // decimals).
  template <class... Args>
  void print(Format<std::type_identity_t<Args>...> format, Args... args) {
    const format_detail::Arg list[sizeof...(Args) + 1] = {
        format_detail::make_arg(args)..., {}};
    print_args(format.text().data(), format.literals(), list, sizeof...(Args));
  }

  // Writes a block of text that depends on nothing but the letter encoding:
  // `render` prints it into `cache` the first time, and every call copies
  // what it printed.
  template <class Render>
  void print_block(BlockCache& cache, Render render) {
    const auto index = static_cast<std::size_t>(letters_);
    if (!cache.ready[index]) {
      StringSource nothing("");
      StringSink text;
      {
        Console block(nothing, text, letters_);
        render(block);
      }
      cache.text[index] = std::move(text.text);
      cache.ready[index] = true;
    }
    put(cache.text[index].data(), cache.text[index].size());
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

  void print_args(const char* format, const std::uint16_t* literals,
                  const format_detail::Arg* args, std::size_t count);
  void put(const char* data, std::size_t size) {
    if (size <= kOutputSize - out_size_) {
      std::memcpy(out_buffer_.data() + out_size_, data, size);
      out_size_ += size;
    } else {
      put_large(data, size);
    }
  }
  void put_large(const char* data, std::size_t size);
  void put_letter(int code);
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
  bool input_ended_ = false;
  std::size_t in_pos_ = 0;
  std::size_t in_end_ = 0;
  std::size_t out_size_ = 0;
  std::array<char, kInputSize> in_buffer_;
  std::array<char, kOutputSize> out_buffer_;
};

// The console on the process's standard input and output.
class StandardConsole {
 public:
  explicit StandardConsole(LetterEncoding letters = LetterEncoding::cp857);
  Console& console() { return console_; }
  // Flushes the output and returns the process exit status: 0, or 1 (with a
  // message on standard error) when the output could not be written for
  // another reason than its reader going away.
  int finish();

 private:
  class FdSource final : public Source {
   public:
    std::size_t read(char* buffer, std::size_t size) override;
  };
  class FdSink final : public Sink {
   public:
    Status write(const char* data, std::size_t size) override;
    int error = 0;
  };
  FdSource in_;
  FdSink out_;
  Console console_;
};

}  // namespace molagirlik
