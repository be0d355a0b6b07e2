#include "modules/general/recordLines.h"

#include "matrix/MatrixFiles.h"
#include "rtl/Format.h"

void WriteRecordLines(rtl::TextWriter& f, std::span<const double> values, const std::string& format,
                      std::size_t perLine) {
  const std::string pattern = " %" + format;
  GuardMatrixWrite([&] {
    std::string line;
    for (std::size_t k = 1; k <= values.size(); ++k) {
      line += rtl::Format(pattern, values[k - 1]);
      if (k % perLine == 0 || k == values.size()) {
        f.WriteLine(line);
        line.clear();
      }
    }
  });
}
