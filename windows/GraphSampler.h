// Sampling the graph's formula: a private copy of what an evaluation needs
// (the variable names and values, the angle unit, the decimal separator), so
// the columns can be sampled on a thread of their own while the calculator
// goes on, and the pointer's readout can evaluate the drawn formula later
// without touching the calculator's variables. Core layer (standard C++
// only). Used by windows/graf and its tests.
#pragma once

#include <atomic>
#include <cstddef>
#include <string_view>
#include <vector>

#include "calc/Calculator.h"

namespace graph {

// One evaluation: the value, and ceOK or the code of the failure.
struct TSample {
  long double Value = 0;
  TCalcError Error = ceOK;
  bool Good() const { return Error == ceOK; }
};

class TSampler {
 public:
  // Copies the calculator's state now and parses `formula` with it.
  TSampler(const TCalculator& calc, std::string_view formula);
  TSampler(const TSampler&) = delete;
  TSampler& operator=(const TSampler&) = delete;

  // Evaluates with X = x. A formula that does not parse fails every sample
  // with its parse error. Throws what the engine throws (EDivByZero,
  // EConvertError).
  TSample Sample(long double x);

 private:
  TCalcExpress FExpress;
  TVariableValues FValues;
};

// The progress of a sampling run, shared between the thread that samples and
// the one that waits.
struct TSamplingProgress {
  std::atomic<int> Done{0};         // columns sampled
  std::atomic<bool> Cancel{false};  // set by the waiting side: stop soon
};

// Samples columns 0 .. w-1 of x1..x2 (SampleX) into `out` (made w long) in
// order, until all are done or `progress.Cancel` is set; returns how many
// were done, which `progress.Done` also counts as it goes. An exception of
// the engine stops the run: the columns before it are done, and it goes on
// to the caller.
int SampleColumns(TSampler& sampler, long double x1, long double x2, int w,
                  std::vector<TSample>& out, TSamplingProgress& progress);

}  // namespace graph
