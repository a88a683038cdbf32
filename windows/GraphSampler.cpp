#include "windows/GraphSampler.h"

#include "windows/GraphMath.h"

namespace graph {

TSampler::TSampler(const TCalculator& calc, std::string_view formula)
    : FValues(calc.Variables().Values()) {
  FExpress.SetVariables(calc.Variables().Names());
  FExpress.SetDegs(calc.Degs());
  FExpress.SetDecimalSeparator(calc.DecimalSeparator());
  FExpress.SetFormula(formula);
}

TSample TSampler::Sample(long double x) {
  FValues[kXSlot] = x;
  TSample s;
  s.Value = FExpress.Calc(FValues.data(), kVariableSlots);
  s.Error = FExpress.Error();
  // Without a tree nothing is a number, whatever code the parse left.
  if (s.Error == ceOK && !FExpress.HasTree()) s.Error = ceSyntax;
  return s;
}

int SampleColumns(TSampler& sampler, long double x1, long double x2, int w,
                  std::vector<TSample>& out, TSamplingProgress& progress) {
  out.assign(static_cast<std::size_t>(w > 0 ? w : 0), TSample{});
  int i = 0;
  for (; i < w && !progress.Cancel.load(std::memory_order_relaxed); ++i) {
    out[static_cast<std::size_t>(i)] = sampler.Sample(SampleX(x1, x2, i, w));
    progress.Done.store(i + 1, std::memory_order_release);
  }
  return i;
}

}  // namespace graph
