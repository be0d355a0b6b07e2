#pragma once
// The user's own picture-mask characters: for each of '1' to '8' the set of
// characters it accepts and a case rule, and for each substitution character
// 0xF1 to 0xF8 the character shown in its place. One instance serves the
// whole program (VirUserData()).

#include <array>
#include <bitset>
#include <cstdint>

class TVirUserData {
 public:
  // Case rules of a user mask character.
  enum ForceCaseMode : std::uint8_t { fcNone = 0, fcUpper = 1, fcLower = 2, fcMixed = 3 };

  // Every set holds 1 .. 255, no case rule, every substitution its own character.
  TVirUserData();

  // The case rule of a user mask character; 0 for any other character.
  std::uint8_t ForceCase(char maskChar) const;
  // The replacement of a substitution character; 0 for any other character.
  char SubstChar(char substChar) const;
  // Copies the set of a user mask character into `set`; any other character leaves it unchanged.
  void UserCharSet(char maskChar, std::bitset<256>& set) const;

  void SetForceCase(char maskChar, std::uint8_t mode);
  void SetSubstChar(char substChar, char replacement);
  void SetUserCharSet(char maskChar, const std::bitset<256>& set);

 private:
  static int UserIndex(char maskChar);
  static int SubstIndex(char substChar);
  std::array<std::bitset<256>, 8> sets_;
  std::array<std::uint8_t, 8> forceCase_{};
  std::array<char, 8> subst_{};
};

TVirUserData& VirUserData();
