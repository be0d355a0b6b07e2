#include "modules/similarity/simdata.h"

#include "matrix/MatrixIO.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

TOtuData ReadOtuData(rtl::TextReader& f, const TMatrixHeader& header, bool byRows) {
  // With byRows the file's records (rows) are the OTUs, which are the
  // matrix's columns: the file is read by columns, and the other way round.
  const std::int32_t n = byRows ? header.rows : header.cols;
  const std::int32_t p = byRows ? header.cols : header.rows;
  const int otuLabelCode = byRows ? header.rowLabelCode : header.colLabelCode;
  const int characterLabelCode = byRows ? header.colLabelCode : header.rowLabelCode;

  TOtuData data;
  data.matrix = std::make_unique<Rect_mx>(p, n, header.missingCode,
                                          header.missingCode == 0 ? NoMissingValue : header.missingValue);
  data.labels = std::make_shared<Label_mx>(otuLabelCode != lcNone ? n : 0);
  const TLabelRead otus{data.labels.get(), otuLabelCode, otuLabelCode != lcNone};
  const TLabelRead characters{nullptr, characterLabelCode, false};
  Read(*data.matrix, f, !byRows, characters, otus);
  data.outputLabelCode = otuLabelCode != lcNone ? lcBlock : lcNone;
  return data;
}

void WriteOtuHeader(rtl::TextWriter& f, int type, const TOtuData& data, std::string_view format) {
  WriteMatrixHeader(f, type, data.n(), data.n(), 0, 0, format, data.outputLabelCode, lcNone);
  if (data.outputLabelCode != lcNone) WriteLabels(*data.labels, f);
}

void WriteTitleComments(rtl::TextWriter& f, const rtl::StringList* comments, const std::vector<std::string>& title) {
  WriteMatrixComments(f, comments);
  GuardMatrixWrite([&] {
    for (const std::string& line : title) f.WriteLine("\"" + line);
  });
}

TOtuTable::TOtuTable(const Rect_mx& data)
    : n_(data.cols()), p_(data.rows()), values_(static_cast<std::size_t>(n_) * static_cast<std::size_t>(p_)) {
  const bool missing = data.missCode() != 0;
  if (missing) present_.resize(values_.size());
  std::size_t cell = 0;
  for (std::int32_t i = 1; i <= n_; ++i) {
    for (std::int32_t k = 1; k <= p_; ++k, ++cell) {
      values_[cell] = data.getxij(k, i);
      if (missing) present_[cell] = RealsDiffer(values_[cell], data.missValue()) ? 1 : 0;
    }
  }
}

void TTriangleWriter::Put(std::int32_t i, std::int32_t j, std::string_view text) {
  if (f_ == nullptr) return;
  GuardMatrixWrite([&] {
    f_->Write(text);
    if (j == i || j % perLine_ == 0) f_->WriteLine();
  });
}

void TTriangleWriter::PutValue(std::int32_t i, std::int32_t j, const std::string& pattern, double value) {
  if (f_ == nullptr) return;
  Put(i, j, rtl::Format(pattern, WritableValue(value, *f_, i, j)));
}

void TSimilarityRun::ListCommonParams() const {
  ListInputParameters(input);
  ListingWriteLine("Compute by: " + std::string(DirectionWord(byRows)));
}
