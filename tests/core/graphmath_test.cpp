// The graph's arithmetic: bound rounding, sample positions, the row
// transform with its clamp, the axes, empty ranges and clipping, including
// numbers at the ends of the extended range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "windows/GraphMath.h"

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
      {2, -2, 2, 410, 0},          // the top of the range is row 0
      {-2, -2, 2, 410, 410},       // the bottom is one below the last row
      {0, -2, 2, 410, 205},        //
      {1, -2, 2, 411, 411 - 308},  // 411 * 0.75 = 308.25
      {0.5L, 0, 1, 5, 3},          // 2.5 rounds to the even 2
      {1.5L, 0, 1, 5, -3},         // 7.5 rounds to the even 8
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
