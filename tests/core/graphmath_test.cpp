// The graph's arithmetic: bound rounding, sample positions, the row
// transform with its clamp, the axes, empty ranges and clipping, including
// numbers at the ends of the extended range.
#include "windows/GraphMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Errors.h"
#include "windows/GraphSampler.h"

using namespace graph;

namespace {

constexpr long double kMax = std::numeric_limits<long double>::max();

}  // namespace

TEST(RoundBound, RoundsOutwardToOneOrTwoDigits) {
  struct Row {
    long double value;
    TBoundDirection direction;
    long double expected;
  };
  const Row rows[] = {
      // Two significant digits from 1 up, one below.
      {24.7L, bdUpward, 25},
      {123, bdUpward, 130},
      {-4.93L, bdDownward, -5},
      {0.99L, bdUpward, 1},
      {-0.84L, bdDownward, -0.9L},
      {0.37L, bdUpward, 0.4L},
      {0.37L, bdDownward, 0.3L},
      // A whole number of steps: even stays, odd moves one step outward.
      {2, bdUpward, 2},
      {2, bdDownward, 2},
      {25, bdUpward, 26},
      {25, bdDownward, 24},
      {3.7L, bdUpward, 3.8L},
      {3.7L, bdDownward, 3.6L},
      {2.5L, bdUpward, 2.6L},
      {2.5L, bdDownward, 2.4L},
      // Small values keep one digit at their own scale.
      {5.9e-5L, bdUpward, 6e-5L},
      {5.9e-5L, bdDownward, 5e-5L},
      {-0.0872L, bdDownward, -0.09L},
      {1234567, bdUpward, 1300000},
      // Zero has no logarithm: it stays.
      {0, bdUpward, 0},
      {0, bdDownward, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(RoundBound(r.value, r.direction), r.expected)
        << static_cast<double>(r.value) << (r.direction == bdUpward ? " upward" : " downward");
  }
}

TEST(RoundBound, StaysFiniteAtTheEndsOfTheRange) {
  // Rounding the largest value outward would overflow: it keeps its value.
  EXPECT_EQ(RoundBound(kMax, bdUpward), kMax);
  EXPECT_EQ(RoundBound(-kMax, bdDownward), -kMax);
  EXPECT_TRUE(std::isfinite(RoundBound(kMax, bdDownward)));
  // Denormal values, far below any step, are kept.
  const long double tiny = std::numeric_limits<long double>::denorm_min() * 7;
  EXPECT_EQ(RoundBound(tiny, bdUpward), tiny);
  const long double smallest = std::numeric_limits<long double>::min();
  EXPECT_GE(RoundBound(smallest, bdUpward), smallest);
  EXPECT_TRUE(std::isinf(RoundBound(std::numeric_limits<long double>::infinity(), bdUpward)));
}

TEST(SampleX, ColumnsStepFromTheStartAndNeverReachTheEnd) {
  EXPECT_EQ(SampleX(-5, 5, 0, 651), -5);
  EXPECT_EQ(SampleX(-5, 5, 325, 651), -5 + 325 * 10.0L / 651);
  EXPECT_EQ(SampleX(-5, 5, 650, 651), -5 + 6500.0L / 651);
  EXPECT_LT(SampleX(-5, 5, 650, 651), 5);
  // A reversed range walks backwards.
  EXPECT_EQ(SampleX(5, -5, 1, 10), 4);
  // A range whose width overflows still gives finite, ordered samples.
  long double previous = -kMax;
  for (int i = 0; i < 651; i += 50) {
    const long double x = SampleX(-kMax, kMax, i, 651);
    ASSERT_TRUE(std::isfinite(x)) << i;
    EXPECT_GE(x, previous);
    previous = x;
  }
  EXPECT_EQ(SampleX(-kMax, kMax, 0, 651), -kMax);
}

TEST(PlotRow, MapsTheRangeOntoTheRowsAndClampsFarValues) {
  struct Row {
    long double v, ymin, ymax;
    int h;
    std::int64_t expected;
  };
  const Row rows[] = {
      {2, -2, 2, 410, 0},                   // the top of the range is row 0
      {-2, -2, 2, 410, 410},                // the bottom is one below the last row
      {0, -2, 2, 410, 205},                 //
      {1, -2, 2, 411, 411 - 308},           // 411 * 0.75 = 308.25
      {0.5L, 0, 1, 5, 3},                   // 2.5 rounds to the even 2
      {1.5L, 0, 1, 5, -3},                  // 7.5 rounds to the even 8
      {1e30L, -1, 1, 100, 100 - 1000000},   // clamped 10000 heights above
      {-1e30L, -1, 1, 100, 100 + 1000000},  // and below
      {std::numeric_limits<long double>::quiet_NaN(), -1, 1, 100, 100 + 1000000},
      {std::numeric_limits<long double>::infinity(), -1, 1, 100, 100 - 1000000},
      {kMax, -kMax, kMax, 100, 0},  // the width of the range overflows
      {0, -kMax, kMax, 100, 50},
      {1, 1, 1, 100, 100},  // an empty range does not divide by zero
  };
  for (const Row& r : rows) {
    EXPECT_EQ(PlotRow(r.v, r.ymin, r.ymax, r.h), r.expected)
        << static_cast<double>(r.v) << " in " << static_cast<double>(r.ymin) << ".."
        << static_cast<double>(r.ymax);
  }
}

TEST(Axes, OnlyWhereZeroLiesInsideTheRange) {
  // -5..5 and -2..2: the middle of each direction, halves to even.
  EXPECT_EQ(VerticalAxisColumn(-5, 5, 651), 326);
  EXPECT_EQ(VerticalAxisColumn(-5, 5, 650), 325);
  EXPECT_EQ(HorizontalAxisRow(-2, 2, 410), 205);
  EXPECT_EQ(HorizontalAxisRow(-2, 2, 411), 411 - 206);
  EXPECT_EQ(HorizontalAxisRow(-1, 3, 400), 300);
  EXPECT_EQ(VerticalAxisColumn(-1, 3, 400), 100);
  // Ranges that do not contain 0, or only touch it, or run backwards.
  EXPECT_FALSE(VerticalAxisColumn(1, 5, 651));
  EXPECT_FALSE(VerticalAxisColumn(0, 5, 651));
  EXPECT_FALSE(VerticalAxisColumn(5, -5, 651));
  EXPECT_FALSE(HorizontalAxisRow(-2, 0, 410));
  EXPECT_FALSE(HorizontalAxisRow(2, -2, 410));
  // Huge ranges stay inside the picture.
  EXPECT_EQ(VerticalAxisColumn(-kMax, kMax, 651), 326);
  EXPECT_EQ(HorizontalAxisRow(-kMax, kMax, 410), 205);
}

TEST(WidenEmpty, GivesEveryEmptyRangeAHeight) {
  struct Row {
    long double v, min, max;
  };
  const Row rows[] = {
      {3, 2, 4},
      {0, -1, 1},
      {-0.25L, -1.25L, 0.75L},
      {1e30L, 1e30L - 1e30L / 16, 1e30L + 1e30L / 16},  // one unit would not show
      {kMax, kMax - kMax / 8, kMax},                    // no room above
      {-kMax, -kMax, -kMax + kMax / 8},                 // no room below
  };
  for (const Row& r : rows) {
    const TYRange out = WidenEmpty({r.v, r.v});
    EXPECT_EQ(out.Min, r.min) << static_cast<double>(r.v);
    EXPECT_EQ(out.Max, r.max) << static_cast<double>(r.v);
    EXPECT_LT(out.Min, out.Max);
  }
  const TYRange kept = WidenEmpty({-2, 2});
  EXPECT_EQ(kept.Min, -2);
  EXPECT_EQ(kept.Max, 2);
}

TEST(AutoRange, SeedAndGoodSamplesSetTheRoundedBounds) {
  TAutoRange sin(-0.958924L);  // sin(-5)
  for (long double v : {-0.99999L, 0.2L, 0.99998L}) sin.Add(v);
  EXPECT_EQ(sin.Rounded().Min, -1);
  EXPECT_EQ(sin.Rounded().Max, 1);

  // A constant: equal rounded bounds are widened around the value.
  TAutoRange constant(3);
  constant.Add(3);
  EXPECT_EQ(constant.Rounded().Min, 2);
  EXPECT_EQ(constant.Rounded().Max, 4);

  // Values that cannot be drawn to scale take no part; without any finite
  // value the range lies around 0.
  const long double inf = std::numeric_limits<long double>::infinity();
  TAutoRange infinite(inf);
  infinite.Add(std::numeric_limits<long double>::quiet_NaN());
  infinite.Add(0.37L);
  infinite.Add(-inf);
  EXPECT_EQ(infinite.Rounded().Min, 0.3L);
  EXPECT_EQ(infinite.Rounded().Max, 0.4L);
  const TYRange none = TAutoRange(inf).Rounded();
  EXPECT_EQ(none.Min, -1);
  EXPECT_EQ(none.Max, 1);
}

TEST(ClipSegment, KeepsWhatCanShowAndDropsTheRest) {
  // A steep segment from far above: cut at the margin, on the same line.
  const auto steep = ClipSegment({9, -4e6, 10, 50}, 651, 100);
  ASSERT_TRUE(steep);
  EXPECT_DOUBLE_EQ(steep->Y0, -2);
  EXPECT_NEAR(steep->X0, 9 + (4e6 - 2) / (4e6 + 50), 1e-12);
  EXPECT_EQ(steep->X1, 10);
  EXPECT_EQ(steep->Y1, 50);
  // Both ends far below, or beside the picture: nothing.
  EXPECT_FALSE(ClipSegment({9, 5e6, 10, 4e6}, 651, 100));
  EXPECT_FALSE(ClipSegment({700, 5, 701, 6}, 651, 100));
  // Crossing the whole picture from below to above: both ends cut.
  const auto across = ClipSegment({20, 1e6, 21, -1e6}, 651, 100);
  ASSERT_TRUE(across);
  EXPECT_DOUBLE_EQ(across->Y0, 101);
  EXPECT_DOUBLE_EQ(across->Y1, -2);
}

TEST(Pointer, ZoomAndPanKeepWhatLiesUnderThePointer) {
  struct Row {
    TRange range;
    long double anchor, factor;
    TRange zoomed;
  };
  const Row zooms[] = {
      {{-5, 5}, 0, 0.5L, {-2.5L, 2.5L}},
      {{-5, 5}, 5, 0.5L, {0, 5}},                    // at the right end it stays put
      {{0, 10}, 2, 2, {-2, 18}},                     // outward
      {{5, -5}, 1, 0.5L, {3, -2}},                   // a reversed range stays reversed
      {{-kMax, kMax}, 0, 2, {-kMax, kMax}},          // beyond the extended range: unchanged
      {{1, 1 + 1e-18L}, 1, 1e-3L, {1, 1 + 1e-18L}},  // too narrow to tell the ends apart
  };
  for (const Row& r : zooms) {
    EXPECT_EQ(ZoomRange(r.range, r.anchor, r.factor), r.zoomed)
        << double(r.range.Lo) << ".." << double(r.range.Hi) << " x" << double(r.factor);
  }
  EXPECT_EQ(PanRange({-5, 5}, 100, 10), (TRange{-6, 4}));  // dragged 10 pixels right
  EXPECT_EQ(PanRange({-2, 2}, 400, -100), (TRange{-1, 3}));
  EXPECT_EQ(PanRange({-kMax, kMax}, 10, 1), (TRange{-kMax, kMax}));
  EXPECT_EQ(PanRange({-5, 5}, 0, 3), (TRange{-5, 5}));

  // The value under a row, the inverse of the row of a value.
  for (const long double v : {-2.0L, -0.5L, 0.0L, 1.25L, 2.0L})
    EXPECT_EQ(RowValue(static_cast<long double>(PlotRow(v, -2, 2, 400)), -2, 2, 400), v);
  EXPECT_EQ(RowValue(0, -kMax, kMax, 10), kMax);
  EXPECT_EQ(PlotColumn(0, -5, 5, 651), 326);
  EXPECT_EQ(PlotColumn(1e30L, -5, 5, 651), 10000 * 651);

  const std::pair<std::pair<long double, long double>, long double> tidy[] = {
      {{-4.98463901689708141L, 8}, -4.9846L},
      {{1234.56789L, 2000}, 1234.6L},
      {{0.000123456789L, 0.00001L}, 0.000123457L},
      {{7, 0}, 7},  // no width: as it was
  };
  for (const auto& [in, out] : tidy) EXPECT_EQ(TidyBound(in.first, in.second), out);
}

TEST(Grid, RoundStepsAndLabelsThatFitTheirSpacing) {
  const std::pair<long double, long double> steps[] = {
      {0.7L, 1}, {1, 1}, {1.2L, 2}, {3, 5}, {7, 10}, {0.013L, 0.02L}, {0, 0}, {-1, 0}};
  for (const auto& [raw, step] : steps) EXPECT_EQ(NiceStep(raw), step) << double(raw);

  struct Row {
    long double a, b;
    int pixels, spacing;
    long double step;
    std::vector<long double> values;
  };
  const Row rows[] = {
      {-5, 5, 651, 60, 1, {-5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5}},
      {5, -5, 651, 120, 2, {-4, -2, 0, 2, 4}},  // reversed: the same lines
      {0.05L, 0.5L, 200, 40, 0.1L, {0.1L, 0.2L, 0.30000000000000000001L, 0.4L, 0.5L}},
      {-1, 1, 10, 40, 10, {0}},                // a step wider than the range
      {3, 3, 100, 40, 0, {}},                  // empty
      {-kMax, kMax, 100, 40, 0, {}},           // wider than the extended range
      {1e30L, 1e30L + 1e11L, 500, 50, 0, {}},  // too many steps from 0 to tell apart
  };
  for (const Row& r : rows) {
    const TGrid g = GridFor(r.a, r.b, r.pixels, r.spacing);
    if (r.values.empty()) {
      EXPECT_TRUE(g.Values.empty()) << double(r.a) << ".." << double(r.b);
      continue;
    }
    EXPECT_EQ(g.Step, r.step) << double(r.a) << ".." << double(r.b);
    ASSERT_EQ(g.Values.size(), r.values.size()) << double(r.a) << ".." << double(r.b);
    for (std::size_t i = 0; i < r.values.size(); ++i)
      EXPECT_NEAR(double(g.Values[i]), double(r.values[i]), 1e-15) << i;
  }

  const std::tuple<long double, long double, const char*> labels[] = {
      {0.5L, 0.5L, "0.5"},     {-1.5L, 0.5L, "-1.5"},   {2500, 500, "2500"},
      {1e6L, 2e5L, "1E6"},     {1.2e6L, 2e5L, "1.2E6"}, {2.5e-5L, 5e-6L, "2.5E-5"},
      {3 * 0.1L, 0.1L, "0.3"}, {1e-22L, 1, "0"},        {-4, 1, "-4"},
  };
  for (const auto& [v, step, text] : labels) EXPECT_EQ(GridLabel(v, step, '.'), text);
  EXPECT_EQ(GridLabel(0.5L, 0.5L, ','), "0,5");

  const std::tuple<long double, long double, const char*> readouts[] = {
      {-4.98463901689708141L, 10.0L / 651, "-4.985"},
      {0.0076804915514592934L, 10.0L / 651, "0.00768"},
      {123456.789L, 0.01L, "123456.789"},
      {-2e-9L, 1e-12L, "-2E-9"},
      {5, 0, "5"},
  };
  for (const auto& [x, step, text] : readouts) EXPECT_EQ(ReadoutX(x, step, '.'), text);
  EXPECT_EQ(ShortNumber(0.958924274663138468L, 10, '.'), "0.9589242747");
  EXPECT_EQ(ShortNumber(-1.189731495357231765e4932L, 4, ','), "-1,19E4932");
}

TEST(Sampler, WorksOnACopyOfTheCalculatorAndStopsWhenAsked) {
  TCalculator calc;
  calc.SetDegs(cdDegreees);
  calc.Variables().Define("k", 2);
  calc.Variables().Value(kXSlot) = 42;
  TSampler sampler(calc, "k*sin(X)");
  calc.Variables().Define("k", 100);  // later changes are not the drawing's
  calc.SetDegs(cdRadians);
  EXPECT_EQ(sampler.Sample(90).Value, 2);
  EXPECT_EQ(calc.Variables().Value(kXSlot), 42);  // the calculator's X is untouched

  std::vector<TSample> out;
  TSamplingProgress progress;
  EXPECT_EQ(SampleColumns(sampler, -90, 90, 4, out, progress), 4);
  EXPECT_EQ(progress.Done, 4);
  EXPECT_EQ(out[0].Value, -2);
  EXPECT_EQ(out[2].Value, 0);
  progress.Cancel = true;
  EXPECT_EQ(SampleColumns(sampler, -90, 90, 4, out, progress), 0);
  EXPECT_EQ(out.size(), 4u);

  TSampler failing(calc, "sqrt(X)+1/(X-1)");
  EXPECT_EQ(failing.Sample(-1).Error, ceMath);
  EXPECT_EQ(failing.Sample(1).Error, ceDivisionByZero);
  EXPECT_TRUE(failing.Sample(4).Good());
  EXPECT_EQ(TSampler(calc, "sin X").Sample(1).Error, ceSyntax);
  TSampler throwing(calc, "X#0");
  TSamplingProgress p2;
  EXPECT_THROW(SampleColumns(throwing, 1, 5, 8, out, p2), EDivByZero);
  EXPECT_EQ(p2.Done, 0);
}
