#pragma once
// Resources made by the tests, and a guard that points the library catalogue
// at another table for the length of a test.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Generated from the fixtures' SAMPLE_STRINGS.txt at build time.
void RegisterSampleStringTables();

// The bytes of a file under the fixtures folder of this area.
std::vector<std::uint8_t> ReadFixture(std::string_view name);

// Makes bytes findable under the name for the rest of the test program. They
// are copied into an allocation of exactly their size, so that AddressSanitizer
// reports any read past their end.
void RegisterTestResource(std::string name, const std::vector<std::uint8_t>& bytes);

// Re-opens the library catalogue reader on another resource, and on the real
// catalogue again when the guard ends.
class CatalogueSwap {
 public:
  explicit CatalogueSwap(std::string_view resourceName);
  ~CatalogueSwap();
  CatalogueSwap(const CatalogueSwap&) = delete;
  CatalogueSwap& operator=(const CatalogueSwap&) = delete;
};
