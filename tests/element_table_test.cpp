#include "elements/element_table.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "test_support.h"

namespace molagirlik {
namespace {

TEST(ElementTableTest, HoldsEachMassAsItsSinglePrecisionBits) {
  struct Expected {
    const char* symbol;
    std::uint32_t bits;
  };
  const Expected expected[] = {
      {"H", 0x3F81042E},   {"He", 0x40801551},  {"Li", 0x40DE1CAC},
      {"Be", 0x411031E6},  {"B", 0x412CF9DB},   {"C", 0x41402BD4},
      {"N", 0x41601B9B},   {"O", 0x417FFD8B},   {"F", 0x4197FCBB},
      {"Ne", 0x41A17007},  {"Na", 0x41B7EB0D},  {"Mg", 0x41C270A4},
      {"Al", 0x41D7DA31},  {"Si", 0x41E0AF1B},  {"P", 0x41F7CA43},
      {"S", 0x42004396},   {"Cl", 0x420DCF91},  {"Ar", 0x421FCAC1},
      {"K", 0x421C64A9},   {"Ca", 0x42204FDF},  {"Sc", 0x4233D2DA},
      {"Ti", 0x423F77CF},  {"V", 0x424BC419},   {"Cr", 0x424FFC02},
      {"Mn", 0x425BC090},  {"Fe", 0x425F6148},  {"Co", 0x426BBB99},
      {"Ni", 0x426AC60B},  {"Cu", 0x427E2F1B},  {"Zn", 0x4282C7AE},
      {"Ga", 0x428B722D},  {"Ge", 0x42913852},  {"As", 0x4295D7DC},
      {"Se", 0x429DEB85},  {"Br", 0x429FCED9},  {"Kr", 0x42A7999A},
      {"Rb", 0x42AAEF83},  {"Sr", 0x42AF3D71},  {"Y", 0x42B1CFCC},
      {"Zr", 0x42B672B0},  {"Nb", 0x42B9D011},  {"Mo", 0x42BFE148},
      {"Tc", 0x42C40000},  {"Ru", 0x42CA23D7},  {"Rh", 0x42CDCF9E},
      {"Pd", 0x42D4D70A},  {"Ag", 0x42D7BC85},  {"Cd", 0x42E0D26F},
      {"In", 0x42E5A2D1},  {"Sn", 0x42ED6B85},  {"Sb", 0x42F3851F},
      {"Te", 0x42FF3333},  {"I", 0x42FDCF17},   {"Xe", 0x43034A3D},
      {"Cs", 0x4304E7CC},  {"Ba", 0x430953B6},  {"La", 0x430AE7CF},
      {"Ce", 0x430C1DB2},  {"Pr", 0x430CE85C},  {"Nd", 0x43103D71},
      {"Pm", 0x43110000},  {"Sm", 0x43165C29},  {"Eu", 0x4317F6C9},
      {"Gd", 0x431D4000},  {"Tb", 0x431EECE3},  {"Dy", 0x43228000},
      {"Ho", 0x4324EE29},  {"Er", 0x4327428F},  {"Tm", 0x4328EF28},
      {"Yb", 0x432D0A3D},  {"Lu", 0x432EF78D},  {"Hf", 0x43327D71},
      {"Ta", 0x4334F2AA},  {"W", 0x4337D70A},   {"Re", 0x433A34FE},
      {"Os", 0x433E3AE1},  {"Ir", 0x4340378D},  {"Pt", 0x434313F8},
      {"Au", 0x4344F770},  {"Hg", 0x4348970A},  {"Tl", 0x434C6220},
      {"Pb", 0x434F3333},  {"Bi", 0x4350FAFA},  {"Po", 0x43510000},
      {"At", 0x43520000},  {"Rn", 0x435E0000},  {"Fr", 0x435F0000},
      {"Ra", 0x43620000},  {"Ac", 0x43630000},  {"Th", 0x436809C1},
      {"Pa", 0x43670000},  {"U", 0x436E0766},   {"Np", 0x436D0000},
      {"Pu", 0x43740000},  {"Am", 0x43730000},  {"Cm", 0x43770000},
      {"Bk", 0x43770000},  {"Cf", 0x437B0000},  {"Es", 0x437C0000},
      {"Fm", 0x43808000},  {"Md", 0x43810000},  {"No", 0x43818000},
      {"Lr", 0x43830000},  {"Rf", 0x43828000},  {"Db", 0x43830000},
      {"Sg", 0x43838000},  {"Bh", 0x43830000},  {"Hs", 0x43848000},
      {"Mt", 0x43850000},  {"Uun", 0x43868000}, {"Uuu", 0x43880000},
      {"Uub", 0x438A8000},
  };
  static_assert(std::size(expected) == 112);
  for (std::size_t i = 0; i < kElements.size(); ++i) {
    SCOPED_TRACE(expected[i].symbol);
    EXPECT_EQ(kElements[i].symbol, expected[i].symbol);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(kElements[i].mass),
              expected[i].bits);
    EXPECT_EQ(symbol_mass(expected[i].symbol), kElements[i].mass);
  }
}

TEST(ElementTableTest, MatchesOnlyTheExactSymbol) {
  const std::pair<const char*, float> cases[] = {
      {"H", 1.00794f}, {"He", 4.002602f}, {"Uub", 277.0f}, {"Be", 9.012182f},
      {"Cm", 247.0f},  {"Bk", 247.0f},    {"Lr", 262.0f},  {"Db", 262.0f},
      {"Bh", 262.0f},  {"Pa", 231.0f},    {"h", 0},        {"HE", 0},
      {"UUB", 0},      {"Uuq", 0},        {"D", 0},        {"Hx", 0},
      {"Bex", 0},      {"Be2", 0},        {"Ber", 0},      {"CL", 0},
      {"Cl2", 0},      {" H", 0},         {"", 0},         {"son", 0},
      {"\xC3\x9C", 0}, {"[", 0},          {"@", 0},
  };
  for (const auto& [word, mass] : cases) {
    EXPECT_EQ(symbol_mass(word), mass) << word;
  }
}

TEST(ElementTableTest, RejectionEchoesTheWordAsData) {
  for (const std::string word : {".5", "Son", "%s%n%d", "Hydrogen"}) {
    StringSource source("");
    StringSink sink;
    {
      Console console(source, sink);
      reject_symbol(console, word);
    }
    EXPECT_EQ(sink.text,
              test::cp857("\nUYARI: " + word +
                          " geçerli bir element sembolü değil!\n"
                          "Lütfen element sembolünü tekrar giriniz...\n\n"));
  }
}

}  // namespace
}  // namespace molagirlik
