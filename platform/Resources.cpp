#include "platform/Resources.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "rtl/StringList.h"

namespace plat {

namespace {

struct Registry {
  std::mutex guard;
  std::vector<std::span<const EmbeddedResource>> tables;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterResources(std::span<const EmbeddedResource> table) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.guard);
  bool known = std::any_of(registry.tables.begin(), registry.tables.end(),
                           [&](const auto& t) { return t.data() == table.data() && t.size() == table.size(); });
  if (!known) registry.tables.push_back(table);
}

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.guard);
  for (const auto& table : registry.tables) {
    for (const EmbeddedResource& resource : table) {
      if (rtl::SameText(resource.name, name)) return resource.bytes;
    }
  }
  return std::nullopt;
}

}  // namespace plat
