// Fuzz target over the tree bodies: the pointer form ("pointer level" rows
// and a last pointer) and the parenthesis notation ("((1,2),3);"), then the
// level listing of the tree read.
//
// The first byte of the input gives the number of OTUs (1 .. 64, from its
// low six bits) and the tree type (bit 6: a similarity tree, which takes only
// the pointer form); the rest is the body. A reader may refuse the body with
// E_Morvapc; a tree it accepts must hold every OTU once, and anything else is
// a finding.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "matrix/MatrixuLevels.h"
#include "rtl/TextFile.h"

namespace {

// Every OTU 1 .. n is the pointer of exactly one node.
void CheckPermutation(const Tree_mx& tree) {
  std::vector<bool> seen(static_cast<std::size_t>(tree.n()) + 1, false);
  for (std::int32_t k = 1; k <= tree.n(); ++k) {
    const std::int32_t otu = tree.GetPointer(k);
    if (otu < 1 || otu > tree.n() || seen[static_cast<std::size_t>(otu)])
      fuzz::Finding("a tree without every OTU once");
    seen[static_cast<std::size_t>(otu)] = true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::int32_t n = 1 + (data[0] & 0x3F);
  const int type = (data[0] & 0x40) != 0 ? mtTreeSimilarity : mtTreeDissimilarity;
  auto f = rtl::TextReader::FromText(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

  return fuzz::TakeInput<E_Morvapc>([&] {
    Tree_mx tree(type, n);
    Read(tree, f);
    CheckPermutation(tree);
    Label_mx labels(n);
    labels.SetDefaultLabels("OTU-");
    ListLevels(n, tree, labels);
  });
}
