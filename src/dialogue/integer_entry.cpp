#include "dialogue/integer_entry.h"

namespace molagirlik {

bool enter_decimal_places(Console& console, int& p) {
  console.print(
      "   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz: "_screen);
  if (console.read_int(p) == IntRead::end) return false;

  while (p == kDecimalPlacesSentinel) {
    if (!console.skip_word()) return false;
    console.print("\n"_screen);
    console.print(
        "       UYARI: Yanlışlıkla karakter veya karakter dizisi girdiniz!        \n"_screen);
    console.print(
        "       Lütfen 0 ile 6 arasında olan bir tamsayı giriniz...               \n"_screen);
    if (console.read_int(p) == IntRead::end) return false;
  }

  while (p < 0 || p > 6) {
    if (p != kDecimalPlacesSentinel) {
      console.print("\n"_screen);
      console.print(
          "       UYARI: Girdiğiniz tamsayı 0 ile 6 arasında değil!\n"_screen);
      console.print(
          "       Lütfen 0 ile 6 arasında olan bir tamsayı giriniz...\n"_screen);
    }
    p = kDecimalPlacesSentinel;
    if (console.read_int(p) == IntRead::end) return false;
    if (p == kDecimalPlacesSentinel) {
      if (!console.skip_word()) return false;
      console.print("\n"_screen);
      console.print(
          "UYARI: Yanlışlıkla karakter veya karakter dizisi girdiniz!\n"_screen);
      console.print(
          "Lütfen 0 ile 6 arasında olan bir tamsayı giriniz...\n"_screen);
    }
  }
  return true;
}

bool enter_atom_count(Console& console, std::int64_t x, int& n) {
  n = kAtomCountSentinel;
  for (;;) {
    console.print("%d. elementin adedi  : "_screen, x);
    const IntRead read = console.read_int(n);
    if (read == IntRead::end) return false;
    console.print("\n"_screen);

    // A number past the 32-bit range is no count this program can hold; it
    // has been read, so nothing more is thrown away.
    const bool too_large = read == IntRead::out_of_range && n > 0;
    if (too_large || n == kAtomCountSentinel) {
      if (!too_large && !console.skip_word()) return false;
      console.print("UYARI: Geçerli bir tamsayı girmediniz!\n"_screen);
    } else if (n < 0) {
      console.print("UYARI: Pozitif olan bir tamsayı girmediniz!\n"_screen);
    } else {
      return true;
    }
    console.print("Sayıyı tekrar giriniz...\n"_screen);
    console.print("\n"_screen);
    n = kAtomCountSentinel;
  }
}

}  // namespace molagirlik
