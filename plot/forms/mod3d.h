#pragma once
// Module 25, MOD3D: reads rectangular data matrices, and optionally graph
// matrices, and draws three chosen variables of each as a rotated perspective
// scatter, one data set at a time: points with wires down to a base region,
// vectors from the origin, a vertical axis and the edges of a graph. Its plot
// client, TMod3DPlt, also serves the 3-D plot buttons of the ordination
// modules.
//
// The scene has three coordinates: a, the X variable, to the right; b, the Z
// variable, upward; c, the Y variable, the depth. The points are normalised
// (see Normalize), turned about the vertical axis by alpha and then about the
// screen's horizontal axis by beta (degrees), and projected in perspective
// from the viewing distance rho, in units of the normalised box. A point at
// or behind the eye is left out, never divided by a zero or negative weight.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "matrix/Matrixob.h"
#include "plot/forms/bmPlt2BC.h"
#include "shell/Modules.h"
#include "shell/PlotWindows.h"

// What a point shows beside its symbol.
enum TMod3DLabelMode : std::int32_t { lmNone = 0, lmNumber = 1, lmLabel = 2 };

struct T3DPoint {
  double a = 0;
  double b = 0;
  double c = 0;
};

// A point on the screen: its plot coordinates x and y, its depth and the
// perspective weight w it was divided by. Not visible (and all zero) when w
// is at or below a small positive bound: the point lies at or behind the eye.
struct TProjected {
  double x = 0;
  double y = 0;
  double depth = 0;
  double w = 0;
  bool visible = false;
};

// The ranges of a, b and c over the valid points.
struct TMod3DBox {
  double minA = 9e200, maxA = -9e200;
  double minB = 9e200, maxB = -9e200;
  double minC = 9e200, maxC = -9e200;
};

// One data set as Draw computes it: the points (indexed from 1) with their
// validity, normalised, and what is projected of them.
struct TMod3DScene {
  std::int32_t n = 0;
  std::vector<T3DPoint> points;
  std::vector<bool> valid;
  std::int32_t validCount = 0;
  TMod3DBox box;
  std::vector<TProjected> at;      // the valid points
  std::vector<TProjected> foot;    // their feet: the same points at height min b
  std::array<TProjected, 4> base;  // (min a, min c), (min a, max c), (max a, max c), (max a, min c) at min b
  TProjected top;                  // the Z axis's top: (min a, max b, min c)
  TProjected origin;               // (0, 0, 0), projected when vectors are shown
  bool baseFirst = false;          // the base lies behind the points: drawn before them
  double minX = 9e200, maxX = -9e200, minY = 9e200, maxY = -9e200;  // what is visible on the screen
  const Label_mx* pointLabels = nullptr;
  const Graph_mx* graph = nullptr;
};

// What the plot's options change; Draw reads them every time.
struct TMod3DSettings {
  bool showWires = true;
  bool showGraph = false;
  bool showPoints = true;
  bool showBase = true;
  bool showZAxis = true;
  bool showVectors = false;
  std::int32_t labelMode = lmNone;
  bool preserveAspect = true;  // keep the data's units; else scale into the unit box
  std::int32_t x = 1;
  std::int32_t y = 2;
  std::int32_t z = 3;
  double alpha = 30;  // degrees about the vertical axis
  double beta = 30;   // degrees about the screen's horizontal axis
};

// The view matrix: a row vector (a, b, c, 1) times V.
using TViewMatrix = std::array<std::array<double, 4>, 4>;

class TMod3DPlt : public TbmPlt2BC {
 public:
  // pointsAreColumns: the variables are rows and each column is a point; else
  // the variables are columns and each row is a point. The lists stay the
  // caller's; the plot shares them while it lives. graph may be null. A
  // viewing distance that is not a positive number raises E_Morvapc.
  TMod3DPlt(std::shared_ptr<const TRectMxList> data, std::shared_ptr<const TGraphMxList> graph, bool pointsAreColumns,
            std::int32_t x, std::int32_t y, std::int32_t z, double alpha, double beta, double rho,
            std::string windowName, std::int32_t helpContext);

  void Show() override { ShowNamed(WindowName_); }

  // The six styles, and the axes, frame and aspect of a 3-D plot.
  void SetUpPlot(Tbm2DPlot& plot) override;
  // Draws the current data set.
  void DrawOn(Tbm2DPlot& plot) override;
  // Opens the options window, modal.
  void Options() override;

  // ---- Draw's steps ----
  // The valid points of data matrix m, normalised and projected. Raises
  // E_Morvapc "No points to plot" when no point is valid.
  TMod3DScene MakeScene(const Rect_mx& m);
  // Into the unit box [-0.5, 0.5] x [-0.5, 0.5] x [-0.3, 0.7] (a, b, c), or,
  // with preserve aspect, only shifted: a and b by their midpoints, c by
  // 0.7 min c + 0.3 max c.
  void Normalize(TMod3DScene& scene) const;
  // The view matrix of alpha, beta and rho.
  void SetupView();
  void RotateAboutZ(double radians);
  void RotateAboutX(double radians);
  TProjected Project(const T3DPoint& p) const;
  // The base region and Z axis behind or in front of the points, the points
  // from the last to the first, then the graph's edges.
  void DrawScene(Tbm2DPlot& plot, const TMod3DScene& scene) const;
  const TViewMatrix& View() const { return View_; }

  // ---- What the options window changes ----
  TMod3DSettings& Settings() { return Settings_; }
  const TMod3DSettings& Settings() const { return Settings_; }
  double Rho() const { return Rho_; }
  // Refuses (false, the distance kept) a distance that is not a positive number.
  bool SetRho(double rho);
  bool HasGraph() const { return Graph_ != nullptr; }
  bool PointsAreColumns() const { return PointsAreColumns_; }
  // The variables of the data set drawn last: their number and names.
  std::int32_t VariableCount() const;
  std::string VariableLabel(std::int32_t v) const;

  std::int32_t CurrentGroup() const { return Current; }
  const std::string& WindowName() const { return WindowName_; }

  // The style identifiers, in the order SetUpPlot registers them.
  std::int32_t BaseStyle() const { return BaseStyle_; }
  std::int32_t WireStyle() const { return WireStyle_; }
  std::int32_t SymbolStyle() const { return SymbolStyle_; }
  std::int32_t GraphStyle() const { return GraphStyle_; }
  std::int32_t LabelStyle() const { return LabelStyle_; }
  std::int32_t VectorStyle() const { return VectorStyle_; }

 private:
  void RotateColumns(std::size_t i, std::size_t j, double radians);
  void ProjectScene(TMod3DScene& scene) const;
  void DrawBase(Tbm2DPlot& plot, const TMod3DScene& scene) const;
  void DrawPoint(Tbm2DPlot& plot, const TMod3DScene& scene, std::int32_t k) const;
  const Rect_mx* DrawnMatrix() const;

  std::int32_t BaseStyle_ = 0;
  std::int32_t WireStyle_ = 0;
  std::int32_t SymbolStyle_ = 0;
  std::int32_t GraphStyle_ = 0;
  std::int32_t LabelStyle_ = 0;
  std::int32_t VectorStyle_ = 0;
  TMod3DSettings Settings_;
  double Rho_;
  TViewMatrix View_{};
  std::shared_ptr<const TRectMxList> Data_;
  std::shared_ptr<const TGraphMxList> Graph_;
  bool PointsAreColumns_;
  std::string WindowName_;
};

// Refuses, with E_Morvapc, a viewing distance that is not a positive number.
void Mod3DCheckViewingDistance(double rho);

// A data matrix the plot can draw: refused with E_Morvapc when it has fewer
// than three variables, when x, y or z is not one of them, or when no point
// has values on all three.
void Mod3DCheckData(const Rect_mx& m, bool pointsAreColumns, std::int32_t x, std::int32_t y, std::int32_t z);

// The opener of the ordination modules' 3-D plots: a TMod3DPlt, shown.
std::unique_ptr<TPlotObject> OpenMatrix3DPlotWindow(const TMatrix3DPlotRequest& request);

void Mod3DDescribe(TModuleRec& module);
void Mod3DRun(std::span<const TParamRec> params);
// Closes the plot and lets go of the data and graph lists.
void Mod3DRelease();
void Mod3DClosePlot();

// The module's plot, or null when none is open.
TMod3DPlt* Mod3DPlot();
