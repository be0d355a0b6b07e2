#include "TestResources.h"

#include <fstream>
#include <iterator>
#include <list>
#include <memory>
#include <stdexcept>

#include "controls/base/StrRes.h"
#include "platform/Resources.h"

std::vector<std::uint8_t> ReadFixture(std::string_view name) {
  std::string path = std::string(MORVA_FIXTURES) + "/controls/base/" + std::string(name);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing fixture " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void RegisterTestResource(std::string name, const std::vector<std::uint8_t>& bytes) {
  struct Stored {
    std::string name;
    std::unique_ptr<std::uint8_t[]> bytes;
    plat::EmbeddedResource entry;
  };
  static std::list<Stored> store;  // lives as long as the registry that points into it
  Stored& s = store.emplace_back(Stored{std::move(name), std::make_unique<std::uint8_t[]>(bytes.size()), {}});
  std::copy(bytes.begin(), bytes.end(), s.bytes.get());
  s.entry = {s.name, {s.bytes.get(), bytes.size()}};
  plat::RegisterResources({&s.entry, 1});
}

CatalogueSwap::CatalogueSwap(std::string_view resourceName) { LibraryStringResource().Open(resourceName); }

CatalogueSwap::~CatalogueSwap() { LibraryStringResource().Open("VIREO_STRINGS_ENGLISH"); }
