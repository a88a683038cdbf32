// Fuzz target for the expression engine: any bytes as a formula must give a
// tree or an error code, and evaluating it must give a value, a code or one of
// the engine's exceptions, the same way twice, and the fast evaluation must
// agree bit for bit with the exact node-by-node walk.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/CalcExpress.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

struct TOutcome {
  long double Value = 0;
  TCalcError Error = ceOK;
  int Thrown = 0;  // 0 none, 1 EConvertError, 2 EDivByZero
};

TOutcome Evaluate(TCalcExpress& e, const std::vector<long double>& values, bool exact = false) {
  TOutcome o;
  try {
    o.Value = exact ? e.CalcNodeByNode(values.data(), values.size()) : e.Calc(values);
  } catch (const EConvertError&) {
    o.Thrown = 1;
  } catch (const EDivByZero&) {
    o.Thrown = 2;
  }
  o.Error = e.Error();
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the angle unit and the decimal separator.
  const std::uint8_t mode = data[0];
  const std::string_view formula(reinterpret_cast<const char*>(data + 1), size - 1);

  static TCalcExpress e;
  e.SetDecimalSeparator(mode & 4 ? ',' : '.');
  static std::vector<long double> values(256);
  if (e.Variables().empty()) {
    e.Variables() = {"Pi", "A", "B", "C", "D", "E", "F", "X", "y1", "Long_Name"};
    values[0] = 3.141592653589793238512808959406186204433L;
    for (int i = 1; i < 10; ++i) values[std::size_t(i)] = (i - 5) * 0.75L;
  }
  e.SetDegs(static_cast<TCalcDeg>(mode % 3));
  e.SetFormula(formula);
  Check(e.Formula() == formula);
  Check(e.HasTree() == (e.Error() == ceOK));
  const TCalcError parseError = e.Error();

  const TOutcome first = Evaluate(e, values);
  if (!e.HasTree()) {
    Check(first.Value == 0 && first.Thrown == 0 && first.Error == parseError);
    return 0;
  }
  // A faulting node is worth 0, so no fault leaves an infinity or a NaN
  // behind when every value handed in is finite.
  if (first.Thrown == 0 && first.Error == ceOK) Check(std::isfinite(first.Value));
  const TOutcome second = Evaluate(e, values);
  Check(first.Thrown == second.Thrown && first.Error == second.Error);
  Check(first.Value == second.Value || (std::isnan(first.Value) && std::isnan(second.Value)));
  const TOutcome exact = Evaluate(e, values, true);
  Check(first.Thrown == exact.Thrown && first.Error == exact.Error);
  Check(std::memcmp(&first.Value, &exact.Value, 10) == 0 || first.Thrown != 0);
  return 0;
}
