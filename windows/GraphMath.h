// The graph window's arithmetic without any toolkit: where each pixel column
// is sampled, how the automatic Y range is found and rounded outward, where
// the axes go and which row a value lands on. Every function keeps its
// results finite and bounded whatever numbers the user types, so no
// floating-point fault and no wild pixel coordinate comes out of the drawing.
// Also what the pointer reads and does on the plot (the value under it, zoom
// and pan of a range, tidy range texts) and the grid of round values with
// their labels. Core layer (standard C++ only). Used by windows/graf and its
// tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// ---- The pointer on the plot ----

// The column of value v on a plot w columns wide showing x1..x2 (the
// vertical axis's rule), pinned like PlotRow for values far outside.
std::int64_t PlotColumn(long double v, long double x1, long double x2, int w);

// The value at the top of pixel row `row` of a plot h rows high showing
// ymin..ymax (ymax at row 0, ymin at row h), the inverse of PlotRow.
long double RowValue(long double row, long double ymin, long double ymax, int h);

struct TRange {
  long double Lo = 0;
  long double Hi = 0;
  bool operator==(const TRange&) const = default;
};

// The range scaled by `factor` around `anchor` (below 1 zooms in): the anchor
// keeps its place. A result that is not finite, or too narrow to tell its
// ends apart, leaves the range as it was.
TRange ZoomRange(TRange range, long double anchor, long double factor);
// The range moved so that what lay `shift` pixels before now lies under the
// pointer: shift * (hi - lo) / pixels is taken off both ends. A result that
// is not finite leaves the range as it was.
TRange PanRange(TRange range, int pixels, long double shift);
// `v` rounded to a ten-thousandth of the range's width (to the power of ten
// at or below it), so a zoomed or moved range is written with few digits.
long double TidyBound(long double v, long double width);

// ---- Grid and labels ----

// The round step (1, 2 or 5 times a power of ten) nearest above `raw`; 0
// when `raw` is not a positive finite number.
long double NiceStep(long double raw);

struct TGrid {
  long double Step = 0;
  std::vector<long double> Values;  // the multiples of Step inside the range, ascending
};

// Grid lines for a range shown on `pixels` pixels, at least `minSpacing`
// pixels apart: the multiples of a round step between the ends. Nothing for
// an empty or non-finite range, or one whose width is lost in its values.
TGrid GridFor(long double a, long double b, int pixels, int minSpacing);

// The label of grid value v for grid step `step`: as many digits as the step
// needs, "E" before an exponent as the display writes it, `separator` as the
// decimal separator (0.5, -1.5, 2500, 1E6, 2.5E-5; a value within a
// millionth of a step of 0 is "0").
std::string GridLabel(long double v, long double step, char separator);

// A number shown with `digits` significant digits in the display's style
// (trailing zeros dropped, "E" before an exponent beyond the display's fixed
// range).
std::string ShortNumber(long double v, int digits, char separator);
// The x of the pointer's column in the readout: enough digits to tell it from
// its neighbours `step` away (at least 3, at most 18).
std::string ReadoutX(long double x, long double step, char separator);

}  // namespace graph
