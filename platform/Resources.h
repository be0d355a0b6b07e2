#pragma once
// Named resources built into the program: the stand-in for finding and
// loading a resource of the program's own module.
//
// Resources are tables of (name, bytes) with static storage, made by build
// steps. A table becomes findable by an explicit RegisterResources call; the
// generated code offers that call as a function, and the code that reads the
// resources calls it before its first look-up, so a static link keeps the
// table without relying on static initialisers.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace plat {

struct EmbeddedResource {
  std::string_view name;
  std::span<const std::uint8_t> bytes;
};

// Makes every resource of the table findable. The table and the bytes it
// points to must live as long as the program. Registering a table again does
// nothing; when two tables hold the same name, the first registered wins.
void RegisterResources(std::span<const EmbeddedResource> table);

// The bytes of the resource of that name, names compared without regard to
// ASCII case; nothing when no registered table holds it.
std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name);

}  // namespace plat
