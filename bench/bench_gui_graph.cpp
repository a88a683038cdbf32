// Drawing the graph of sin(X)*cos(X)+sqrt(abs(X)) on a plot 3,840 pixels wide
// (a 4K screen's width), with automatic Y, axes, and the grid with its
// labels, and without the grid for comparison: the whole Draw, from clearing
// the picture through the sampling thread to the painted curve. Qt's
// offscreen platform.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>

#include "OffscreenMain.h"
#include "windows/graf.h"

namespace {

class THost : public ICalcHost {
 public:
  TCalculator& Calculator() override { return FCalc; }
  bool HasExpressionField() const override { return true; }
  QString ExpressionText() const override { return QStringLiteral("sin(X)*cos(X)+sqrt(abs(X))"); }
  void VariablesWindowHidden() override {}
  void GraphWindowHidden() override {}
  void ReportError(const QString&) override {}

 private:
  TCalculator FCalc;
};

void DrawAt3840(benchmark::State& state, bool grid) {
  THost host;
  TGraphForm form(host, std::string());
  form.resize(3840 + 2 * TGraphForm::kImageInset, 1080);
  form.show();
  QCoreApplication::processEvents();
  form.GridLabels()->setChecked(grid);
  for (auto _ : state) form.DrawButClick();
  state.counters["columns"] = form.Bitmap().width();
}

void BM_Plot3840WithGridAndLabels(benchmark::State& state) {
  DrawAt3840(state, true);
}
void BM_Plot3840Plain(benchmark::State& state) {
  DrawAt3840(state, false);
}
BENCHMARK(BM_Plot3840WithGridAndLabels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plot3840Plain)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunOffscreenBenchmarks<QApplication>(argc, argv); }
