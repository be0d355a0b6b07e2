#include "modules/general/recordLines.h"

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "rtl/Format.h"

void WriteRecordLines(rtl::TextWriter& f, std::span<const double> values, const std::string& format,
                      std::size_t perLine, std::int32_t row) {
  const std::string pattern = " %" + format;
  GuardMatrixWrite([&] {
    std::string line;
    for (std::size_t k = 1; k <= values.size(); ++k) {
      const double x = values[k - 1];
      line += rtl::Format(pattern, row > 0 ? WritableValue(x, f, row, static_cast<std::int32_t>(k)) : x);
      if (k % perLine == 0 || k == values.size()) {
        f.WriteLine(line);
        line.clear();
      }
    }
  });
}
