#include "plot/plotData.h"

#include "matrix/Constu.h"
#include "matrix/MatrixIO.h"
#include "rtl/Format.h"

namespace {

bool HasLabel(const Label_mx* labels, std::int32_t k) {
  return labels != nullptr && labels->HasStorage() && k >= 1 && k <= labels->n();
}

// The labels of one dimension: the file's when it has them, else the
// defaults of the prefix, else none.
std::shared_ptr<Label_mx> LabelsFor(std::int32_t count, int fileCode, const char* defaultPrefix) {
  if (fileCode == lcNone && defaultPrefix == nullptr) return std::make_shared<Label_mx>(0);
  auto labels = std::make_shared<Label_mx>(count);
  if (fileCode == lcNone) labels->SetDefaultLabels(defaultPrefix);
  return labels;
}

}  // namespace

void CheckPlotVariable(std::string_view axis, std::int32_t v, std::int32_t count) {
  if (v < 1 || v > count) throw E_Morvapc(rtl::Format("%s (%d) is not one of the %d variables", axis, v, count));
}

std::string PointLabelOf(const Label_mx* labels, std::int32_t k) {
  return HasLabel(labels, k) ? labels->GetLabel(k) : rtl::Format("%d", k);
}

std::string VariableLabelOf(const Label_mx* labels, std::int32_t v) {
  return HasLabel(labels, v) ? labels->GetLabel(v) : rtl::Format("Var-%d", v);
}

std::unique_ptr<Rect_mx> ReadPlotMatrix(rtl::TextReader& f, const TMatrixHeader& header, const char* rowDefault,
                                        const char* colDefault) {
  auto rowLabels = LabelsFor(header.rows, header.rowLabelCode, rowDefault);
  auto colLabels = LabelsFor(header.cols, header.colLabelCode, colDefault);
  auto m = std::make_unique<Rect_mx>(header.rows, header.cols, header.missingCode, header.missingValue);
  Read(*m, f, true, {rowLabels.get(), header.rowLabelCode, true}, {colLabels.get(), header.colLabelCode, true});
  m->FrLabels = std::move(rowLabels);
  m->FcLabels = std::move(colLabels);
  return m;
}

bool ReadDataSetHeader(rtl::TextReader& f, bool first, std::unique_ptr<rtl::StringList>& comments,
                       TMatrixHeader& header, bool list, TMatrixTypeSet allowed) {
  return first ? ReadMatrixHeader(f, comments, header, list, allowed)
               : ReadMatrixHeaderOrEnd(f, comments, header, list, allowed);
}

void ReadPlotGraphs(rtl::TextReader& g, std::int32_t dataCount, TGraphMxList& graphs) {
  while (graphs.Count() < dataCount) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    if (!ReadMatrixHeaderOrEnd(g, comments, header, true, {mtGraphDissimilarity, mtGraphSimilarity})) break;
    auto graph = std::make_unique<Graph_mx>(header.type, header.rows, header.cols);
    ReadGraphMatrix(*graph, g, header);
    graphs.Add(std::move(graph));
    if (g.SeekEof()) break;
  }
  if (graphs.Count() >= dataCount) return;
  if (graphs.Count() == 1) {
    ListingWriteLine("Same graph matrix will be used for all data sets");
    return;
  }
  throw E_Morvapc(
      rtl::Format("Number of data (%d) and graph (%d)%s matrices not equal.", dataCount, graphs.Count(), "\n"));
}

const Graph_mx* GraphOfDataSet(const TGraphMxList* graphs, std::int32_t g) {
  if (graphs == nullptr || graphs->Empty()) return nullptr;
  if (graphs->Count() == 1) return &(*graphs)[0];
  return g >= 1 && g <= graphs->Count() ? &(*graphs)[g - 1] : nullptr;
}
