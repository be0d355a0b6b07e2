#include "controls/base/VirUserData.h"

namespace {
constexpr unsigned char kFirstSubst = 0xF1;
}

TVirUserData::TVirUserData() {
  for (auto& set : sets_) {
    set.set();
    set.reset(0);
  }
  for (int i = 0; i < 8; ++i) subst_[static_cast<std::size_t>(i)] = static_cast<char>(kFirstSubst + i);
}

int TVirUserData::UserIndex(char maskChar) { return maskChar >= '1' && maskChar <= '8' ? maskChar - '1' : -1; }

int TVirUserData::SubstIndex(char substChar) {
  auto c = static_cast<unsigned char>(substChar);
  return c >= kFirstSubst && c < kFirstSubst + 8 ? c - kFirstSubst : -1;
}

std::uint8_t TVirUserData::ForceCase(char maskChar) const {
  int i = UserIndex(maskChar);
  return i < 0 ? 0 : forceCase_[static_cast<std::size_t>(i)];
}

char TVirUserData::SubstChar(char substChar) const {
  int i = SubstIndex(substChar);
  return i < 0 ? '\0' : subst_[static_cast<std::size_t>(i)];
}

void TVirUserData::UserCharSet(char maskChar, std::bitset<256>& set) const {
  if (int i = UserIndex(maskChar); i >= 0) set = sets_[static_cast<std::size_t>(i)];
}

void TVirUserData::SetForceCase(char maskChar, std::uint8_t mode) {
  if (int i = UserIndex(maskChar); i >= 0 && mode <= fcMixed) forceCase_[static_cast<std::size_t>(i)] = mode;
}

void TVirUserData::SetSubstChar(char substChar, char replacement) {
  if (int i = SubstIndex(substChar); i >= 0) subst_[static_cast<std::size_t>(i)] = replacement;
}

void TVirUserData::SetUserCharSet(char maskChar, const std::bitset<256>& set) {
  if (int i = UserIndex(maskChar); i >= 0) sets_[static_cast<std::size_t>(i)] = set;
}

TVirUserData& VirUserData() {
  static TVirUserData data;
  return data;
}
