// The graph window's arithmetic without any toolkit: where each pixel column
// is sampled, how the automatic Y range is found and rounded outward, where
// the axes go and which row a value lands on. Every function keeps its
// results finite and bounded whatever numbers the user types, so no
// floating-point fault and no wild pixel coordinate comes out of the drawing.
// Core layer (standard C++ only). Used by windows/graf and its tests.
#pragma once

#include <cstdint>
#include <optional>

enum TBoundDirection : int { bdDownward = 0, bdUpward = 1 };

// Rounds a Y bound outward to one significant digit below 1 in size and two
// from 1 up (24.7 upward gives 25, -4.93 downward gives -5). A value that is
// already a whole number k of steps stays when k is even and moves one step
// outward when k is odd (25 gives 26 upward). 0 and non-finite values are
// returned unchanged.
long double RoundBound(long double value, TBoundDirection direction);

namespace graph {

// A computed value never leaves this many plot heights above or below the range.
inline constexpr long double kPlotClamp = 10000;

// Rounds to the nearest integer, halves to the even neighbour; NaN gives 0
// and the result is kept within +-2^62.
std::int64_t RoundEven(long double v);

// The x of pixel column i of a plot w columns wide over x1..x2:
// x1 + i * (x2 - x1) / w (so x2 itself is never sampled). Ranges whose width
// overflows are interpolated instead, so the result is finite for finite ends.
long double SampleX(long double x1, long double x2, int i, int w);

// (v - lo) / (hi - lo), also when the differences overflow; 0 when lo = hi.
long double Fraction(long double v, long double lo, long double hi);

// The row of value v on a plot h rows high showing ymin..ymax: ymax maps to
// row 0 and ymin to row h. Values more than kPlotClamp plot heights outside
// the range (and NaN, below) are pinned at that distance.
std::int64_t PlotRow(long double v, long double ymin, long double ymax, int h);

// The row of the horizontal axis (y = 0), when 0 lies strictly inside the range.
std::optional<std::int64_t> HorizontalAxisRow(long double ymin, long double ymax, int h);
// The column of the vertical axis (x = 0), when 0 lies strictly inside x1..x2.
std::optional<std::int64_t> VerticalAxisColumn(long double x1, long double x2, int w);

struct TYRange {
  long double Min = 0;
  long double Max = 0;
};

// An empty range (min = max) cannot be drawn: it is widened by one unit each
// way around the value, or by a sixteenth of it where one unit is too small to
// change it. Other ranges are returned as they are.
TYRange WidenEmpty(TYRange range);

// The automatic Y range: seeded by one value, widened by every good sample,
// then rounded outward and made drawable. Values that are not finite cannot
// be drawn to scale and take no part (a non-finite seed is replaced by the
// first finite sample; without any, the range is around 0).
class TAutoRange {
 public:
  explicit TAutoRange(long double seed);
  void Add(long double v);
  // RoundBound of the extremes (downward, upward), then WidenEmpty.
  TYRange Rounded() const;

 private:
  bool FSeeded = false;
  long double FMin = 0;
  long double FMax = 0;
};

// A line segment in pixel coordinates.
struct TSegment {
  double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};

// The part of the segment that can touch a w x h bitmap (clipped to the
// bitmap with a margin of two pixels, so the visible pixels stay those of the
// whole line), or nothing when no part can. Segments inside are unchanged.
std::optional<TSegment> ClipSegment(const TSegment& s, int w, int h);

}  // namespace graph
