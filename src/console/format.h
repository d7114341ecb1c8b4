// Screen texts, written in the code as the screen shows them: in UTF-8,
// with "%d", "%s" and "%1.0f" to "%1.6f" conversions. Each text is parsed
// once, while compiling, into its conversions and the literal runs between
// them, in UTF-8 and in code page 857; the conversions are checked then
// against the arguments that fill them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "console/letters.h"

namespace molagirlik {

// One conversion of a screen text.
struct Conversion {
  enum Kind : char {
    integer,  // "%d": an std::int64_t in decimal
    word,     // "%s": a std::string_view, its bytes as they are
    fixed,    // "%1.Nf": a float with N decimals
  };
  Kind kind = integer;
  int decimals = 0;  // of a fixed conversion
};

// A screen text in one letter encoding: its literal runs one after another,
// the length of each (the run before each conversion, then the one after the
// last), and the conversions.
struct Form {
  const char* runs;
  const std::uint16_t* run_lengths;
  const Conversion* conversions;
};

namespace screen_text {

// A string literal, as a template argument.
template <std::size_t N>
struct Chars {
  char chars[N]{};
  consteval Chars(const char (&text)[N]) {  // NOLINT: implicit
    for (std::size_t i = 0; i < N; ++i) chars[i] = text[i];
  }
  constexpr std::string_view view() const { return {chars, N - 1}; }
};

// Not constexpr: a screen text whose parse reaches one of these does not
// compile, and the compiler's message names it.
inline void letter_outside_the_eleven_turkish_ones() {}
inline void unknown_conversion() {}
inline void too_many_conversions() {}
inline void conversions_do_not_match_their_arguments() {}

inline constexpr std::size_t kMaxConversions = 4;

// A screen text of N - 1 bytes, parsed. Indexed by LetterEncoding.
template <std::size_t N>
struct Parsed {
  std::array<Conversion, kMaxConversions> conversions{};
  std::size_t count = 0;  // of conversions
  std::array<std::array<char, N>, 2> runs{};
  std::array<std::array<std::uint16_t, kMaxConversions + 1>, 2> run_lengths{};
};

// The conversion at the front of `text`, and its length.
consteval std::pair<Conversion, std::size_t> conversion_at(
    std::string_view text) {
  if (text.starts_with("%d")) return {{Conversion::integer, 0}, 2};
  if (text.starts_with("%s")) return {{Conversion::word, 0}, 2};
  if (text.size() >= 5 && text.starts_with("%1.") && text[3] >= '0' &&
      text[3] <= '6' && text[4] == 'f') {
    return {{Conversion::fixed, text[3] - '0'}, 5};
  }
  unknown_conversion();
  return {};
}

// The code page 857 byte of the letter at the front of `text`, and the
// letter's length in UTF-8.
consteval std::pair<char, std::size_t> letter_at(std::string_view text) {
  if (static_cast<unsigned char>(text[0]) < 0x80) return {text[0], 1};
  for (const Letter& letter : kLetters) {
    if (text.starts_with(letter.utf8))
      return {letter.cp857, letter.utf8.size()};
  }
  letter_outside_the_eleven_turkish_ones();
  return {};
}

// Where a parse writes: the arrays of a Parsed, indexed by LetterEncoding.
struct ParseInto {
  Conversion* conversions;
  std::array<char*, 2> runs;
  std::array<std::uint16_t*, 2> run_lengths;
};

// Parses `text` into `into`; returns the number of conversions.
consteval std::size_t parse(std::string_view text, ParseInto into) {
  constexpr auto cp857 = static_cast<std::size_t>(LetterEncoding::cp857);
  constexpr auto utf8 = static_cast<std::size_t>(LetterEncoding::utf8);
  std::size_t count = 0;
  std::array<std::size_t, 2> size{};  // of the runs so far
  std::array<std::size_t, 2> run_start{};
  for (std::size_t i = 0;;) {
    if (i == text.size() || text[i] == '%') {
      for (std::size_t form : {cp857, utf8}) {
        into.run_lengths[form][count] =
            static_cast<std::uint16_t>(size[form] - run_start[form]);
        run_start[form] = size[form];
      }
      if (i == text.size()) return count;
      if (count == kMaxConversions) too_many_conversions();
      const auto conversion = conversion_at(text.substr(i));
      into.conversions[count++] = conversion.first;
      i += conversion.second;
      continue;
    }
    const auto letter = letter_at(text.substr(i));
    into.runs[cp857][size[cp857]++] = letter.first;
    for (std::size_t k = 0; k < letter.second; ++k) {
      into.runs[utf8][size[utf8]++] = text[i + k];
    }
    i += letter.second;
  }
}

// The parse of a text in a Parsed of its own size. (clang 14 cannot
// initialise a variable from a consteval call inside a template, so the
// work is done in the function above.)
template <std::size_t N>
consteval Parsed<N> parse(const Chars<N>& chars) {
  static_assert(N <= UINT16_MAX, "a screen text too long for its run lengths");
  Parsed<N> parsed;
  parsed.count =
      parse(chars.view(),
            {parsed.conversions.data(),
             {parsed.runs[0].data(), parsed.runs[1].data()},
             {parsed.run_lengths[0].data(), parsed.run_lengths[1].data()}});
  return parsed;
}

// The conversion that an argument of type T fills.
template <class T>
consteval Conversion::Kind kind_for() {
  if constexpr (std::is_same_v<T, std::int64_t>) return Conversion::integer;
  if constexpr (std::is_same_v<T, std::string_view>) return Conversion::word;
  if constexpr (std::is_same_v<T, float>) return Conversion::fixed;
  static_assert(std::is_same_v<T, std::int64_t> ||
                    std::is_same_v<T, std::string_view> ||
                    std::is_same_v<T, float>,
                "a screen text takes std::int64_t, std::string_view, float");
  return Conversion::integer;
}

// A check whose failure names itself in the compiler's message (g++ 12
// gives no reason for a consteval constructor that calls a non-constexpr
// function itself).
consteval void check_arguments(bool fit) {
  if (!fit) conversions_do_not_match_their_arguments();
}

// Whether `parsed` has one conversion for each argument, in order, each of
// the argument's kind.
template <class... Args, std::size_t N>
consteval bool fits(const Parsed<N>& parsed) {
  std::size_t k = 0;
  return parsed.count == sizeof...(Args) &&
         ((parsed.conversions[k++].kind == kind_for<Args>()) && ...);
}

}  // namespace screen_text

// A screen text, made from a string literal by the suffix _screen. Any
// letter beyond ASCII and the eleven Turkish letters is a compile error.
template <screen_text::Chars S>
struct ScreenText {
  static constexpr auto kParsed = screen_text::parse(S);
  // Indexed by LetterEncoding.
  static constexpr Form kForms[2] = {
      {kParsed.runs[0].data(), kParsed.run_lengths[0].data(),
       kParsed.conversions.data()},
      {kParsed.runs[1].data(), kParsed.run_lengths[1].data(),
       kParsed.conversions.data()}};
};

template <screen_text::Chars S>
consteval ScreenText<S> operator""_screen() {
  return {};
}

// A screen text whose conversions have been checked against the types of
// the arguments that fill them. It can only be made from a constant, so a
// typed word can never become a format.
template <class... Args>
class Format {
 public:
  template <screen_text::Chars S>
  consteval Format(ScreenText<S>)  // NOLINT: implicit
      : forms_(ScreenText<S>::kForms) {
    screen_text::check_arguments(
        screen_text::fits<Args...>(ScreenText<S>::kParsed));
  }
  const Form& in(LetterEncoding letters) const {
    return forms_[static_cast<std::size_t>(letters)];
  }

 private:
  const Form* forms_;
};

}  // namespace molagirlik
