#pragma once
// The integer prompt: TGIntWrap asks for a whole number in a range through
// the modal window TGetIntF, whose entry field refuses anything else.

#include <cstdint>
#include <memory>
#include <string>

#include "controls/base/forms/VirSF.h"
#include "platform/Form.h"
#include "platform/StdControls.h"

class TVirController;

class TGetIntF : public plat::Form {
 public:
  TGetIntF();
  ~TGetIntF() override;

  TVirSimpleField& Field() { return *field_; }
  plat::Button& OkBtn() { return *ok_; }
  // The field's value when its text is a valid number in its range.
  bool ReadValue(std::int32_t& value);
  void SetValue(std::int32_t value);

 private:
  TVirController* controller_;
  TVirSimpleField* field_;
  plat::Button* ok_;
};

// The prompt's settings, and Execute, which shows it.
class TGIntWrap {
 public:
  std::string Caption;
  // Empty: "Enter an integer between LOW and HIGH".
  std::string Hint;
  std::int32_t Value = 0;
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  // 0: centred on the screen.
  std::int32_t Left = 0;
  std::int32_t Top = 0;

  // Shows the prompt modal; true when it ended with OK. Value takes the
  // field's value whatever the ending, when the field holds a valid one.
  bool Execute(plat::Control& owner);
  // The hint the field shows, from the range as the field reads it back.
  static std::string DefaultHint(const std::string& low, const std::string& high);
};
