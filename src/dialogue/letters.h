// The Turkish letters of the screen texts. Each letter code holds the
// letter's code page 857 byte read as a signed 8-bit number; the screen
// texts are written in UTF-8, and each of their Turkish letters becomes its
// code when the code page 857 form is made, at compile time.
#pragma once

#include <string_view>

namespace molagirlik {

inline constexpr int w = -108;       // ö, 0x94
inline constexpr int r = -127;       // ü, 0x81
inline constexpr int pair = -115;    // ı (dotless i), 0x8D
inline constexpr int h = -104;       // İ (capital I with dot), 0x98
inline constexpr int l = -102;       // Ü, 0x9A
inline constexpr int u = -89;        // ğ, 0xA7
inline constexpr int g = -90;        // Ğ, 0xA6
inline constexpr int f = -121;       // ç, 0x87
inline constexpr int no = -128;      // Ç, 0x80
inline constexpr int turk_s = -97;   // ş, 0x9F
inline constexpr int turk_sc = -98;  // Ş, 0x9E

// Each letter code with the same letter in UTF-8: the only letters beyond
// ASCII that a screen text may hold.
struct Letter {
  int code;
  std::string_view utf8;
};
inline constexpr Letter kLetters[] = {
    {w, "\xC3\xB6"},      {r, "\xC3\xBC"},       {pair, "\xC4\xB1"},
    {h, "\xC4\xB0"},      {l, "\xC3\x9C"},       {u, "\xC4\x9F"},
    {g, "\xC4\x9E"},      {f, "\xC3\xA7"},       {no, "\xC3\x87"},
    {turk_s, "\xC5\x9F"}, {turk_sc, "\xC5\x9E"},
};

// How the Turkish letters leave the program.
enum class LetterEncoding {
  cp857,  // the letter code's own byte, for a console set to code page 857
  utf8,   // the same letter in UTF-8, for today's terminals
};

}  // namespace molagirlik
