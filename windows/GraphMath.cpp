// The graph's arithmetic. Everything is computed in extended precision; the
// fall-backs only come into play where the plain formula would overflow.
#include "windows/GraphMath.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

// 10^k for k >= 0; exact up to 10^27, which covers every ordinary bound.
long double Pow10(int k) {
  if (k <= 27) {
    long double p = 1;
    for (int i = 0; i < k; ++i) p *= 10;
    return p;
  }
  return std::pow(10.0L, static_cast<long double>(k));
}

// Binary fractions such as 3.7 / 0.1 miss the whole number they stand for by
// an ulp or two; such a quotient is taken as the whole number, so a bound
// that is already a whole number of steps follows the even/odd rule.
long double SnapToWhole(long double q) {
  const long double r = std::nearbyint(q);
  return std::fabs(q - r) <= std::fabs(q) * 0x1p-60L ? r : q;
}

}  // namespace

long double RoundBound(long double value, TBoundDirection direction) {
  if (value == 0 || !std::isfinite(value)) return value;
  constexpr int kDigits = 1;
  const int d = static_cast<int>(std::trunc(std::log10(std::fabs(value))));
  const int e = d - kDigits;  // the step is 10^e
  long double q;
  if (e >= 0) {
    q = value / Pow10(e);
  } else {
    const long double scale = Pow10(-e);
    if (!std::isfinite(scale)) return value;  // denormal values: no step to round to
    q = value * scale;
  }
  q = SnapToWhole(q);
  const long double k = std::nearbyint(direction == bdUpward ? q + 0.5L : q - 0.5L);
  const long double result = e >= 0 ? k * Pow10(e) : k / Pow10(-e);
  // Rounding outward from the very top of the range would overflow.
  return std::isfinite(result) ? result : value;
}

namespace graph {

std::int64_t RoundEven(long double v) {
  if (std::isnan(v)) return 0;
  constexpr long double kLimit = 0x1p62L;
  return static_cast<std::int64_t>(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

long double SampleX(long double x1, long double x2, int i, int w) {
  if (w <= 0) return x1;
  const long double x = x1 + i * (x2 - x1) / w;
  if (std::isfinite(x) || !std::isfinite(x1) || !std::isfinite(x2)) return x;
  // The width of the range overflowed: interpolate between the ends instead.
  const long double f = static_cast<long double>(i) / w;
  const long double y = x1 * (1 - f) + x2 * f;
  constexpr long double kMax = std::numeric_limits<long double>::max();
  return std::clamp(y, -kMax, kMax);
}

long double Fraction(long double v, long double lo, long double hi) {
  long double num = v - lo;
  long double den = hi - lo;
  if (std::isinf(num) || std::isinf(den)) {
    num = v / 2 - lo / 2;
    den = hi / 2 - lo / 2;
  }
  if (den == 0) return 0;
  return num / den;
}

std::int64_t PlotRow(long double v, long double ymin, long double ymax, int h) {
  long double t = Fraction(v, ymin, ymax);
  if (t > kPlotClamp) t = kPlotClamp;
  if (!(t >= -kPlotClamp)) t = -kPlotClamp;
  return h - RoundEven(h * t);
}

std::optional<std::int64_t> HorizontalAxisRow(long double ymin, long double ymax, int h) {
  if (!(ymin < 0 && ymax > 0)) return std::nullopt;
  return h - RoundEven(Fraction(0, ymin, ymax) * h);
}

std::optional<std::int64_t> VerticalAxisColumn(long double x1, long double x2, int w) {
  if (!(x1 < 0 && x2 > 0)) return std::nullopt;
  return RoundEven(Fraction(0, x1, x2) * w);
}

TYRange WidenEmpty(TYRange range) {
  if (range.Min != range.Max) return range;
  const long double v = range.Min;
  long double delta = 1;
  if (v - delta == v || v + delta == v) delta = std::fabs(v) / 16;
  TYRange out{v - delta, v + delta};
  if (std::isinf(out.Max)) out = {v - 2 * delta, v};
  if (std::isinf(out.Min)) out = {v, v + 2 * delta};
  return out;
}

TAutoRange::TAutoRange(long double seed) {
  Add(seed);
}

void TAutoRange::Add(long double v) {
  if (!std::isfinite(v)) return;
  if (!FSeeded) {
    FSeeded = true;
    FMin = FMax = v;
    return;
  }
  if (v < FMin) FMin = v;
  if (v > FMax) FMax = v;
}

TYRange TAutoRange::Rounded() const {
  return WidenEmpty({RoundBound(FMin, bdDownward), RoundBound(FMax, bdUpward)});
}

std::optional<TSegment> ClipSegment(const TSegment& s, int w, int h) {
  const double xmin = -2, ymin = -2, xmax = w + 1.0, ymax = h + 1.0;
  auto inside = [&](double x, double y) {
    return x >= xmin && x <= xmax && y >= ymin && y <= ymax;
  };
  if (inside(s.X0, s.Y0) && inside(s.X1, s.Y1)) return s;
  // Liang-Barsky: keep the parameter interval [t0, t1] inside all four edges.
  const double dx = s.X1 - s.X0, dy = s.Y1 - s.Y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {s.X0 - xmin, xmax - s.X0, s.Y0 - ymin, ymax - s.Y0};
  double t0 = 0, t1 = 1;
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return std::nullopt;
      continue;
    }
    const double r = q[k] / p[k];
    if (p[k] < 0) {
      if (r > t1) return std::nullopt;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return std::nullopt;
      t1 = std::min(t1, r);
    }
  }
  return TSegment{s.X0 + t0 * dx, s.Y0 + t0 * dy, s.X0 + t1 * dx, s.Y0 + t1 * dy};
}

std::int64_t PlotColumn(long double v, long double x1, long double x2, int w) {
  long double t = Fraction(v, x1, x2);
  if (t > kPlotClamp) t = kPlotClamp;
  if (!(t >= -kPlotClamp)) t = -kPlotClamp;
  return RoundEven(t * w);
}

long double RowValue(long double row, long double ymin, long double ymax, int h) {
  if (h <= 0) return ymax;
  const long double f = row / h;
  const long double v = ymax - f * (ymax - ymin);
  if (std::isfinite(v) || !std::isfinite(ymin) || !std::isfinite(ymax)) return v;
  return ymax * (1 - f) + ymin * f;  // the range's height overflowed
}

namespace {

bool Usable(const TRange& r) {
  return std::isfinite(r.Lo) && std::isfinite(r.Hi) && r.Lo != r.Hi;
}

}  // namespace

TRange ZoomRange(TRange range, long double anchor, long double factor) {
  const TRange zoomed{anchor + (range.Lo - anchor) * factor, anchor + (range.Hi - anchor) * factor};
  return Usable(zoomed) ? zoomed : range;
}

TRange PanRange(TRange range, int pixels, long double shift) {
  if (pixels <= 0) return range;
  const long double d = (range.Hi - range.Lo) * (shift / pixels);
  const TRange moved{range.Lo - d, range.Hi - d};
  return Usable(moved) ? moved : range;
}

long double TidyBound(long double v, long double width) {
  width = std::fabs(width);
  if (!std::isfinite(v) || !std::isfinite(width) || width == 0) return v;
  const int e = static_cast<int>(std::floor(std::log10(width))) - 4;
  const long double scale = Pow10(std::abs(e));
  if (!std::isfinite(scale)) return v;
  const long double q = e >= 0 ? v / scale : v * scale;
  if (!std::isfinite(q)) return v;
  const long double r = std::nearbyint(q);
  const long double tidy = e >= 0 ? r * scale : r / scale;
  return std::isfinite(tidy) ? tidy : v;
}

long double NiceStep(long double raw) {
  if (!(raw > 0) || !std::isfinite(raw)) return 0;
  const int e = static_cast<int>(std::floor(std::log10(raw)));
  const long double scale = Pow10(std::abs(e));
  if (!std::isfinite(scale)) return 0;
  for (int m : {1, 2, 5, 10}) {
    // One rounding from exact operands: 0.1 is the nearest value to a tenth.
    const long double step = e >= 0 ? m * scale : m / scale;
    // A raw step that is itself round may lie an ulp above its own value.
    if (step >= raw * (1 - 1e-12L)) return std::isfinite(step) && step > 0 ? step : 0;
  }
  return 0;
}

TGrid GridFor(long double a, long double b, int pixels, int minSpacing) {
  TGrid grid;
  const long double lo = std::min(a, b), hi = std::max(a, b);
  const long double width = hi - lo;
  if (!(width > 0) || !std::isfinite(width) || pixels <= 0 || minSpacing <= 0) return grid;
  const long double step = NiceStep(width * minSpacing / pixels);
  if (step == 0) return grid;
  const long double k0 = std::ceil(lo / step), k1 = std::floor(hi / step);
  // Beyond 2^62 steps from 0 the multiples can no longer be told apart.
  constexpr long double kMost = 0x1p62L;
  if (!(std::fabs(k0) < kMost && std::fabs(k1) < kMost) || k1 < k0) return grid;
  const long double count = k1 - k0 + 1;
  if (count > static_cast<long double>(pixels) / minSpacing + 2) return grid;
  grid.Step = step;
  for (long double k = k0; k <= k1; ++k) {
    const long double v = k * step;
    if (v >= lo && v <= hi) grid.Values.push_back(k == 0 ? 0 : v);
  }
  return grid;
}

std::string ShortNumber(long double v, int digits, char separator) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  if (v == 0) return "0";
  digits = std::clamp(digits, 1, 18);
  char buffer[96];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v),
                                               std::chars_format::scientific, digits - 1);
  const std::string text(buffer, r.ptr);  // d.ddde+XX
  const std::size_t ePos = text.find('e');
  const int exponent = std::stoi(text.substr(ePos + 1));
  std::string ds;
  for (std::size_t i = 0; i < ePos; ++i)
    if (text[i] != '.') ds += text[i];
  while (ds.size() > 1 && ds.back() == '0') ds.pop_back();
  std::string out = v < 0 ? "-" : "";
  const int n = static_cast<int>(ds.size());
  if (exponent >= -4 && exponent < std::max(digits, 6)) {
    if (exponent < 0) {
      out += '0';
      out += separator;
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += ds;
    } else if (n <= exponent + 1) {
      out += ds;
      out.append(static_cast<std::size_t>(exponent + 1 - n), '0');
    } else {
      out.append(ds, 0, static_cast<std::size_t>(exponent + 1));
      out += separator;
      out.append(ds, static_cast<std::size_t>(exponent + 1), std::string::npos);
    }
    return out;
  }
  out += ds[0];
  if (n > 1) {
    out += separator;
    out.append(ds, 1, std::string::npos);
  }
  out += 'E';
  out += std::to_string(exponent);
  return out;
}

std::string GridLabel(long double v, long double step, char separator) {
  step = std::fabs(step);
  if (!(step > 0) || !std::isfinite(step)) return ShortNumber(v, 18, separator);
  if (std::fabs(v) < step * 1e-6L) return "0";
  const int digits = static_cast<int>(std::floor(std::log10(std::fabs(v)))) -
                     static_cast<int>(std::floor(std::log10(step))) + 1;
  return ShortNumber(v, std::max(digits, 1), separator);
}

std::string ReadoutX(long double x, long double step, char separator) {
  step = std::fabs(step);
  if (!(step > 0) || !std::isfinite(step) || !std::isfinite(x))
    return ShortNumber(x, 18, separator);
  const long double biggest = std::max(std::fabs(x), step);
  const int digits = static_cast<int>(std::floor(std::log10(biggest))) -
                     static_cast<int>(std::floor(std::log10(step))) + 2;
  return ShortNumber(x, std::clamp(digits, 3, 18), separator);
}

}  // namespace graph
