// Screen texts, written in the code as the screen shows them: in UTF-8,
// with "%d", "%s" and "%1.0f" to "%1.6f" conversions. Their code page 857
// bytes are made at compile time, and their conversions are checked at
// compile time against the arguments that fill them. The helpers below run
// only in the initialisers of constexpr variables, that is, while compiling.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "dialogue/letters.h"

namespace molagirlik {

// One encoding of a screen text: its bytes, and the length of the literal
// text before each conversion and after the last one.
struct EncodedText {
  const char* bytes;
  const std::uint16_t* literals;
};

namespace format_detail {

// A string literal, as a template argument.
template <std::size_t N>
struct Literal {
  char chars[N]{};
  consteval Literal(const char (&text)[N]) {  // NOLINT: implicit
    for (std::size_t i = 0; i < N; ++i) chars[i] = text[i];
  }
  constexpr std::string_view view() const { return {chars, N - 1}; }
};

// Not constexpr: a screen text whose check reaches one of these does not
// compile, and the compiler's message names it.
inline void letter_outside_the_eleven_turkish_ones() {}
inline void unknown_conversion() {}
inline void conversions_do_not_match_their_arguments() {}
inline void screen_text_is_too_long() {}

// The code page 857 byte of the letter that `text` starts with, and the
// letter's length in UTF-8.
struct Encoded {
  char byte;
  std::size_t length;
};
constexpr Encoded first_letter(std::string_view text) {
  if (static_cast<unsigned char>(text[0]) < 0x80) return {text[0], 1};
  for (const Letter& letter : kLetters) {
    if (text.starts_with(letter.utf8)) {
      return {static_cast<char>(letter.code), letter.utf8.size()};
    }
  }
  letter_outside_the_eleven_turkish_ones();
  return {'?', 1};
}

constexpr std::size_t cp857_size(std::string_view utf8) {
  std::size_t size = 0;
  for (std::size_t i = 0; i < utf8.size();
       i += first_letter(utf8.substr(i)).length) {
    ++size;
  }
  return size;
}

template <std::size_t Size>
constexpr std::array<char, Size> to_cp857(std::string_view utf8) {
  std::array<char, Size> bytes{};
  std::size_t size = 0;
  for (std::size_t i = 0; i < utf8.size(); ++size) {
    const Encoded letter = first_letter(utf8.substr(i));
    bytes[size] = letter.byte;
    i += letter.length;
  }
  return bytes;
}

// The length of a conversion that starts at the front of `text`.
constexpr std::size_t conversion_length(std::string_view text) {
  if (text.starts_with("%d") || text.starts_with("%s")) return 2;
  if (text.size() >= 5 && text.starts_with("%1.") && text[3] >= '0' &&
      text[3] <= '6' && text[4] == 'f') {
    return 5;
  }
  unknown_conversion();
  return 1;
}

constexpr std::size_t conversion_count(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      ++count;
      i += conversion_length(text.substr(i)) - 1;
    }
  }
  return count;
}

template <std::size_t Count>
constexpr std::array<std::uint16_t, Count + 1> literal_lengths(
    std::string_view text) {
  if (text.size() > UINT16_MAX) screen_text_is_too_long();
  std::array<std::uint16_t, Count + 1> lengths{};
  std::size_t start = 0;
  std::size_t k = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    lengths[k++] = static_cast<std::uint16_t>(i - start);
    i += conversion_length(text.substr(i)) - 1;
    start = i + 1;
  }
  lengths[k] = static_cast<std::uint16_t>(text.size() - start);
  return lengths;
}

// Whether `text` holds exactly one conversion for each argument, in order,
// each suited to its argument: "%d" takes an int or an int64_t, "%s" a
// string_view, "%1.Nf" a float.
template <class... Args>
consteval bool conversions_match(std::string_view text) {
  constexpr std::array<char, sizeof...(Args) + 1> kinds{
      (std::is_same_v<Args, int> || std::is_same_v<Args, std::int64_t> ? 'd'
       : std::is_same_v<Args, std::string_view>                        ? 's'
       : std::is_same_v<Args, float>                                   ? '1'
                                     : '?')...,
      '\0'};
  std::size_t next = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (next == sizeof...(Args) || text[i + 1] != kinds[next++]) return false;
    i += conversion_length(text.substr(i)) - 1;
  }
  return next == sizeof...(Args);
}

// Arguments, whatever their conversion.
struct Arg {
  std::int64_t integer = 0;
  float real = 0;
  std::string_view text;
};

inline Arg make_arg(int value) { return {value, 0, {}}; }
inline Arg make_arg(std::int64_t value) { return {value, 0, {}}; }
inline Arg make_arg(float value) { return {0, value, {}}; }
inline Arg make_arg(std::string_view value) { return {0, 0, value}; }

}  // namespace format_detail

// A screen text, made from a string literal by the suffix _screen: its UTF-8
// bytes as written, and its code page 857 bytes. Any letter beyond ASCII
// and the eleven Turkish letters is a compile error.
template <format_detail::Literal S>
struct ScreenText {
  static constexpr std::size_t kConversions =
      format_detail::conversion_count(S.view());
  static constexpr std::size_t kCp857Size = format_detail::cp857_size(S.view());
  static constexpr auto kCp857 = format_detail::to_cp857<kCp857Size>(S.view());
  static constexpr auto kCp857Literals =
      format_detail::literal_lengths<kConversions>(
          {kCp857.data(), kCp857.size()});
  static constexpr auto kUtf8Literals =
      format_detail::literal_lengths<kConversions>(S.view());
  // Indexed by LetterEncoding.
  static constexpr EncodedText kForms[2] = {
      {kCp857.data(), kCp857Literals.data()}, {S.chars, kUtf8Literals.data()}};
};

template <format_detail::Literal S>
constexpr ScreenText<S> operator""_screen() {
  return {};
}

// A screen text whose conversions have been checked against the types of
// the arguments that fill them. It can only be made from a constant, so a
// typed word can never become a format.
template <class... Args>
class Format {
 public:
  template <format_detail::Literal S>
  consteval Format(ScreenText<S>)  // NOLINT: implicit
      : forms_(ScreenText<S>::kForms) {
    if (!format_detail::conversions_match<Args...>(S.view())) {
      format_detail::conversions_do_not_match_their_arguments();
    }
  }
  const EncodedText& in(LetterEncoding letters) const {
    return forms_[static_cast<std::size_t>(letters)];
  }

 private:
  const EncodedText* forms_;
};

}  // namespace molagirlik
