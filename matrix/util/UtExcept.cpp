#include "matrix/util/UtExcept.h"

#include "platform/StringResource.h"

// Generated at build time from the utility library's table in resources/.
void RegisterUtilityStringTables();

std::string UtMessageText(std::uint32_t id) {
  static const TpsStringResource messages = [] {
    RegisterUtilityStringTables();
    return TpsStringResource("UTLIB_STRINGS");
  }();
  return messages.GetStringById(id);
}
