// Format strings checked at compile time against the arguments that fill
// them.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace molagirlik {
namespace format_detail {

// One argument of a formatted write, whatever its conversion.
struct Arg {
  std::int64_t integer = 0;
  float real = 0;
  std::string_view text;
};

inline Arg make_arg(int value) { return {value, 0, {}}; }
inline Arg make_arg(std::int64_t value) { return {value, 0, {}}; }
inline Arg make_arg(float value) { return {0, value, {}}; }
inline Arg make_arg(std::string_view value) { return {0, 0, value}; }

// Checks that `text` holds exactly one conversion for each argument, in
// order, and that each suits its argument: "%c" takes an int, "%d" an int
// or an int64_t, "%s" a string_view, "%1.0f" to "%1.6f" a float.
template <class... Args>
consteval bool conversions_match(std::string_view text) {
  constexpr std::array<char, sizeof...(Args) + 1> kinds{
      (std::is_same_v<Args, int>                ? 'i'
       : std::is_same_v<Args, std::int64_t>     ? 'l'
       : std::is_same_v<Args, float>            ? 'f'
       : std::is_same_v<Args, std::string_view> ? 's'
                                                : '?')...,
      '\0'};
  std::size_t next = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (next == sizeof...(Args)) return false;
    const char kind = kinds[next++];
    const std::string_view rest = text.substr(i + 1);
    if (rest.starts_with('c')) {
      if (kind != 'i') return false;
      i += 1;
    } else if (rest.starts_with('d')) {
      if (kind != 'i' && kind != 'l') return false;
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

// Not constexpr: a format string whose check reaches one of these does not
// compile, and the compiler's message names it.
inline void format_string_does_not_match_its_arguments() {}
inline void format_string_is_too_long() {}

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
      format_detail::format_string_does_not_match_its_arguments();
    }
    if (text_.size() > UINT16_MAX) format_detail::format_string_is_too_long();
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

}  // namespace molagirlik
