// Fuzz target over the decoder of the spreadsheet's fast table format: the
// block is loaded and its cells are taken to the end, each by the reader its
// record type calls for, by a skip, or by a reader of the wrong type.
//
// The first byte of the input chooses how cells are taken; the rest is the
// block. The decoder may refuse the block with ExcelError; anything else it
// raises, any crash, and any read outside the block is a finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "dataeditor/LinkError.h"
#include "dataeditor/XlTableData.h"

namespace {

// Cells taken at most, to keep runs fast (a blank record alone holds 65535).
constexpr int kMaxCells = 200000;

enum Option : unsigned {
  kSkipAll = 1u << 0,      // Skip(n) with n from the option byte
  kWrongReader = 1u << 1,  // read each cell with the next type's reader first
};

void TakeCell(TGetXlTableData& t, unsigned options) {
  if (options & kWrongReader) {
    try {
      switch (t.DataType()) {
        case xlFloat: t.ReadString(); break;
        case xlString: t.ReadBool(); break;
        default: t.ReadFloat(); break;
      }
    } catch (const ExcelError&) {
      // the expected refusal of a wrong reader; the cell is still there
    }
  }
  switch (t.DataType()) {
    case xlFloat: t.ReadFloat(); break;
    case xlString: t.ReadString(); break;
    case xlBool: t.ReadBool(); break;
    case xlError: t.ReadError(); break;
    case xlInt: t.ReadInt(); break;
    default: t.SkipCell(); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0];
  const std::string_view block(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    TGetXlTableData t;
    t.Load(block);
    for (int cells = 0; t.DataType() != xlNoData && cells < kMaxCells; ++cells) {
      if (options & kSkipAll) {
        t.Skip(1 + (options >> 2));
      } else {
        TakeCell(t, options);
      }
    }
  } catch (const ExcelError&) {
    // a refusal of the block: the expected way to fail
  } catch (const std::exception& e) {
    std::fprintf(stderr, "unexpected exception: %s\n", e.what());
    std::abort();
  }
  return 0;
}
