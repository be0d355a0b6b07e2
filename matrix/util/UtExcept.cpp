#include "matrix/util/UtExcept.h"

#include "controls/base/StrRes.h"

std::string UtMessageText(std::uint32_t id) {
  static const TpsStringResource messages("UTLIB_STRINGS");
  return messages.GetStringById(id);
}
