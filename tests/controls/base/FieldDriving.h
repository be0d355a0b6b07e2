#pragma once
// Driving an entry field without its window as the keyboard and the value
// protocol would: commands, typed characters (each armed by its key first),
// pasted text, and values loaded and read as their bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "controls/base/VirEFModel.h"

namespace field_driving {

inline void Command(EntryFieldModel& field, std::uint16_t command) {
  TEditMsg msg;
  field.ExecuteCommand(msg, command);
}

inline void Type(EntryFieldModel& field, std::string_view text) {
  for (char c : text) {
    Command(field, ccNotCommand);
    field.CharTyped(rtl::Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  }
}

inline void PasteText(EntryFieldModel& field, std::string_view text) {
  TEditMsg msg;
  msg.text = text;
  field.ExecuteCommand(msg, ccPaste);
}

template <class T>
void Load(EntryFieldModel& field, T value) {
  std::vector<std::uint8_t> bytes(std::max<std::size_t>(field.GetDataSize(), sizeof(T)));
  std::memcpy(bytes.data(), &value, sizeof(T));
  field.SetValue(bytes);
}

// The value when it is valid (the test fails otherwise).
template <class T>
T Read(EntryFieldModel& field) {
  std::vector<std::uint8_t> bytes(std::max<std::size_t>(field.GetDataSize(), 16));
  EXPECT_EQ(field.ValidateAndGetValue(bytes), 0);
  T value{};
  std::memcpy(&value, bytes.data(), sizeof(T));
  return value;
}

}  // namespace field_driving
