// The Turkish letters of the screen texts, each held as its code page 857
// byte read as a signed 8-bit number. Every Turkish letter on screen is
// printed from one of these through a "%c" conversion.
#pragma once

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

}  // namespace molagirlik
