// The Turkish letters of the screen texts. The texts are written in UTF-8;
// each Turkish letter in them becomes its code page 857 byte when that form
// of the text is made, at compile time.
#pragma once

#include <string_view>

namespace molagirlik {

// A letter beyond ASCII that a screen text may hold.
struct Letter {
  char cp857;
  std::string_view utf8;
};
inline constexpr Letter kLetters[] = {
    {'\x94', "\xC3\xB6"},  // ö
    {'\x81', "\xC3\xBC"},  // ü
    {'\x8D', "\xC4\xB1"},  // ı (dotless i)
    {'\x98', "\xC4\xB0"},  // İ (capital I with dot)
    {'\x9A', "\xC3\x9C"},  // Ü
    {'\xA7', "\xC4\x9F"},  // ğ
    {'\xA6', "\xC4\x9E"},  // Ğ
    {'\x87', "\xC3\xA7"},  // ç
    {'\x80', "\xC3\x87"},  // Ç
    {'\x9F', "\xC5\x9F"},  // ş
    {'\x9E', "\xC5\x9E"},  // Ş
};

// How the Turkish letters leave the program.
enum class LetterEncoding {
  cp857,  // the letter's code page 857 byte, for a console set to that code
          // page
  utf8,   // the same letter in UTF-8, for today's terminals
};

}  // namespace molagirlik
