// The slide bar's arithmetic: shape rules, track and tick geometry, thumb
// placement, positions from the pointer, steps and the position colour.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "controls/SlideBarMath.h"

using namespace slidebar;

namespace {

TBarGeometry Vertical(int w, int h, int tw, int th, int min, int max, int thickness = 2) {
  return {orVertical, w, h, tw, th, thickness, min, max};
}

TBarGeometry Horizontal(int w, int h, int tw, int th, int min, int max, int thickness = 2) {
  return {orHorizontal, w, h, tw, th, thickness, min, max};
}

// The ticks by their plain definition: every value, one by one.
std::vector<int> TicksOneByOne(const TBarGeometry& g, int frequency) {
  const TTrack t = TrackEdges(g);
  const long double e = Spacing(g);
  std::vector<int> out;
  for (long long i = g.Min; i <= g.Max; ++i) {
    if (i % frequency != 0) continue;
    int c;
    if (i == g.Max) {
      c = g.Orientation == orVertical ? t.T : t.R - 1;
    } else {
      const long long d = static_cast<long long>(std::trunc(e * (i - g.Min)));
      c = static_cast<int>(g.Orientation == orVertical ? t.B - d - 1 : t.L + d);
    }
    if (out.empty() || out.back() != c) out.push_back(c);
  }
  return out;
}

}  // namespace

TEST(SlideBarShape, OrientationFollowsTheShape) {
  EXPECT_EQ(OrientationForSize(15, 100), orVertical);
  EXPECT_EQ(OrientationForSize(150, 20), orHorizontal);
  EXPECT_EQ(OrientationForSize(20, 20), orHorizontal);
}

TEST(SlideBarShape, OneWayThumbSetsSwapAndOthersStay) {
  struct Row {
    int from;
    TOrientation to;
    int expected;
  };
  const Row rows[] = {
      {tsBar4, orHorizontal, tsBar2},       {tsBar3, orHorizontal, tsBar1},
      {tsStdHBar, orHorizontal, tsStdVBar}, {tsStdRight, orHorizontal, tsStdDown},
      {tsBar2, orVertical, tsBar4},         {tsBar1, orVertical, tsBar3},
      {tsStdVBar, orVertical, tsStdHBar},   {tsStdDown, orVertical, tsStdRight},
      {tsBar1, orHorizontal, tsBar1},       {tsStdLeft, orHorizontal, tsStdLeft},
      {tsDiamond2, orVertical, tsDiamond2}, {tsStdUp, orVertical, tsStdUp},
  };
  for (const Row& r : rows)
    EXPECT_EQ(SwapThumbForOrientation(r.from, r.to), r.expected) << r.from << " to " << r.to;
}

TEST(SlideBarGeometry, TrackEdges) {
  const TTrack v = TrackEdges(Vertical(15, 100, 10, 5, 0, 100));
  EXPECT_EQ(v.L, 5);
  EXPECT_EQ(v.R, 8);
  EXPECT_EQ(v.T, 2);
  EXPECT_EQ(v.B, 97);
  const TTrack h = TrackEdges(Horizontal(100, 15, 5, 10, 0, 100, 5));
  EXPECT_EQ(h.L, 2);
  EXPECT_EQ(h.R, 97);
  EXPECT_EQ(h.T, 4);
  EXPECT_EQ(h.B, 10);
}

TEST(SlideBarTicks, EveryFifthValueWithTheLastAtTheFarEnd) {
  // Spacing 95 / 20 = 4.75 pixels per value.
  EXPECT_EQ(TickCoordinates(Vertical(15, 100, 10, 5, 0, 20), 5),
            (std::vector<int>{96, 73, 49, 25, 2}));
  EXPECT_EQ(TickCoordinates(Horizontal(100, 15, 5, 10, 0, 20), 5),
            (std::vector<int>{2, 25, 49, 73, 96}));
}

TEST(SlideBarTicks, DegenerateRangesAndFrequencies) {
  EXPECT_TRUE(TickCoordinates(Vertical(15, 100, 10, 5, 0, 20), 0).empty());
  EXPECT_TRUE(TickCoordinates(Vertical(15, 100, 10, 5, 20, 0), 5).empty());
  EXPECT_TRUE(TickCoordinates(Vertical(15, 100, 10, 5, 1, 4), 5).empty());
  // Max = Min: one tick, at the top.
  EXPECT_EQ(TickCoordinates(Vertical(15, 100, 10, 5, 10, 10), 5), (std::vector<int>{2}));
  // Negative values count when divisible; a negative frequency acts as its size.
  EXPECT_EQ(TickCoordinates(Horizontal(100, 15, 5, 10, -7, 7), -5).size(), 3u);
}

TEST(SlideBarTicks, FastWalkAgreesWithTheDefinition) {
  const TBarGeometry rows[] = {
      Vertical(15, 100, 10, 5, 0, 1000), Vertical(15, 100, 10, 5, -37, 411),
      Horizontal(150, 20, 5, 10, 3, 97), Horizontal(300, 20, 26, 12, -500, 500),
      Vertical(20, 40, 13, 26, 0, 7),    Vertical(15, 3, 10, 5, 0, 50),
  };
  for (const TBarGeometry& g : rows)
    for (int f : {1, 2, 3, 7, 10, 64})
      EXPECT_EQ(TickCoordinates(g, f), TicksOneByOne(g, f))
          << "range " << g.Min << ".." << g.Max << " size " << g.W << "x" << g.H << " freq " << f;
}

TEST(SlideBarTicks, HugeRangeGivesOneTickPerPixel) {
  const auto ticks = TickCoordinates(Vertical(15, 100, 10, 5, INT_MIN, INT_MAX), 1);
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(ticks.front(), 96);
  EXPECT_EQ(ticks.back(), 2);
  for (size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(ticks[i - 1] - ticks[i], 1);
}

TEST(SlideBarThumb, PlacedByPositionRoundingHalvesToEven) {
  struct Row {
    TBarGeometry g;
    int position;
    int x, y;
  };
  const Row rows[] = {
      {Vertical(15, 100, 10, 5, 0, 100), 0, 2, 95},
      {Vertical(15, 100, 10, 5, 0, 100), 50, 2, 48},  // 50 x 0.95f = 47.49999...
      {Vertical(15, 100, 10, 5, 0, 100), 100, 2, 0},
      {Vertical(15, 55, 10, 5, 0, 100), 1, 2, 50},    // 0.5 rounds to 0
      {Vertical(15, 55, 10, 5, 0, 100), 3, 2, 48},    // 1.5 rounds to 2
      {Vertical(15, 100, 10, 5, 0, 100), 150, 2, 0},  // beyond Max: kept inside
      {Vertical(15, 100, 10, 5, 0, 100), -20, 2, 95},
      {Horizontal(100, 15, 5, 10, 0, 100), 50, 47, 2},
      {Horizontal(100, 15, 5, 10, -100, 100), -100, 0, 2},
      // Max = Min: the thumb rests at the Min end.
      {Vertical(15, 100, 10, 5, 7, 7), 7, 2, 95},
      {Horizontal(100, 15, 5, 10, 7, 7), 7, 0, 2},
  };
  for (const Row& r : rows) {
    const TPoint p = ThumbTopLeft(r.g, r.position, false, 0);
    EXPECT_EQ(p.X, r.x) << "position " << r.position;
    EXPECT_EQ(p.Y, r.y) << "position " << r.position;
  }
}

TEST(SlideBarThumb, FollowsThePointerWhileDragging) {
  const TBarGeometry v = Vertical(15, 100, 10, 5, 0, 100);
  EXPECT_EQ(ThumbTopLeft(v, 0, true, 30).Y, 28);
  EXPECT_EQ(ThumbTopLeft(v, 0, true, 1000).Y, 95);
  EXPECT_EQ(ThumbTopLeft(v, 0, true, -50).Y, 0);
  const TBarGeometry h = Horizontal(100, 15, 5, 10, 0, 100);
  EXPECT_EQ(ThumbTopLeft(h, 0, true, 30).X, 28);
  EXPECT_EQ(ThumbTopLeft(h, 0, true, 99).X, 95);
}

TEST(SlideBarPointer, PositionFromPoint) {
  struct Row {
    TBarGeometry g;
    int x, y;
    int expected;
  };
  const Row rows[] = {
      {Vertical(15, 100, 10, 5, 0, 100), 7, 49, 50},  // r = 49 / 98
      {Vertical(15, 100, 10, 5, 0, 100), 7, 98, 0},
      {Vertical(15, 100, 10, 5, 0, 100), 7, -10, 100},
      {Vertical(15, 100, 10, 5, 0, 100), 7, 200, 0},
      {Vertical(15, 100, 10, 5, 0, 1), 7, 49, 0},  // 0.5 rounds to 0
      {Vertical(15, 100, 10, 5, 0, 3), 7, 49, 2},  // 1.5 rounds to 2
      {Horizontal(100, 15, 5, 10, 0, 100), 49, 7, 50},
      {Horizontal(100, 15, 5, 10, -50, 50), 0, 7, -50},
      {Horizontal(100, 15, 5, 10, INT_MIN, INT_MAX), 98, 7, INT_MAX},
      {Vertical(15, 2, 10, 5, 3, 9), 7, 0, 3},  // no room below the half thumb
  };
  for (const Row& r : rows)
    EXPECT_EQ(PositionFromPoint(r.g, r.x, r.y), r.expected) << r.x << "," << r.y;
}

TEST(SlideBarPointer, ClickBesideTheThumbStepsTowardIt) {
  const TBarGeometry v = Vertical(15, 100, 10, 5, 0, 100);
  const TBarGeometry h = Horizontal(100, 15, 5, 10, 0, 100);
  EXPECT_EQ(PositionFromClick(v, 50, 80, 50), 49);  // below
  EXPECT_EQ(PositionFromClick(v, 50, 10, 50), 51);  // above
  EXPECT_EQ(PositionFromClick(v, 50, 50, 50), 50);
  EXPECT_EQ(PositionFromClick(h, 50, 10, 50), 49);  // left
  EXPECT_EQ(PositionFromClick(h, 50, 80, 50), 51);  // right
  EXPECT_EQ(PositionFromClick(h, 100, 80, 50), 100);
  EXPECT_EQ(PositionFromClick(h, 0, 10, 50), 0);
  EXPECT_EQ(PositionFromClick(h, 500, 10, 50), 100);  // an out-of-range position is brought in
}

TEST(SlideBarSteps, PageStepFollowsTheRange) {
  EXPECT_EQ(PageStepForRange(0, 50), 5);
  EXPECT_EQ(PageStepForRange(0, 5), 1);
  EXPECT_EQ(PageStepForRange(0, 100), 10);
  EXPECT_EQ(PageStepForRange(10, 0), 1);
  EXPECT_EQ(PageStepForRange(INT_MIN, INT_MAX), 429496729);
}

TEST(SlideBarSteps, StepValuesMustBeNewPositiveAndWithinTheRange) {
  EXPECT_TRUE(StepAccepted(5, 1, 0, 100));
  EXPECT_TRUE(StepAccepted(100, 1, 0, 100));
  EXPECT_FALSE(StepAccepted(1, 1, 0, 100));
  EXPECT_FALSE(StepAccepted(0, 1, 0, 100));
  EXPECT_FALSE(StepAccepted(-3, 1, 0, 100));
  EXPECT_FALSE(StepAccepted(101, 1, 0, 100));
  EXPECT_TRUE(StepAccepted(INT_MAX, 1, INT_MIN, INT_MAX));
}

TEST(SlideBarSteps, StepTargetsStopAtTheEnds) {
  EXPECT_EQ(StepUpTarget(95, 10, 0, 100), 100);
  EXPECT_EQ(StepUpTarget(50, 10, 0, 100), 60);
  EXPECT_EQ(StepUpTarget(50, -10, 0, 100), 40);
  EXPECT_EQ(StepUpTarget(150, 1, 0, 100), 100);
  EXPECT_EQ(StepDownTarget(5, 10, 0, 100), 0);
  EXPECT_EQ(StepDownTarget(50, -60, 0, 100), 100);
  EXPECT_EQ(StepUpTarget(50, 0, 0, 100), std::nullopt);
  EXPECT_EQ(StepDownTarget(50, 0, 0, 100), std::nullopt);
  EXPECT_EQ(StepUpTarget(INT_MAX - 1, INT64_MAX, INT_MIN, INT_MAX), INT_MAX);
  EXPECT_EQ(StepUpTarget(0, INT64_MIN, INT_MIN, INT_MAX), INT_MIN);
  EXPECT_EQ(StepDownTarget(INT_MIN + 1, INT64_MAX, INT_MIN, INT_MAX), INT_MIN);
}

TEST(SlideBarColour, WalksTheWheelFromCyanToRed) {
  struct Row {
    int min, max, p;
    int red, green, blue;
  };
  const Row rows[] = {
      {0, 767, 0, 0, 255, 255},
      {0, 767, 256, 0, 255, 0},
      {0, 767, 512, 255, 255, 0},
      {0, 767, 767, 255, 0, 0},
      {0, 767, 100, 0, 255, 155},
      {0, 767, -1, 0, 255, 255},
      {0, 767, -256, 0, 0, 255},
      {0, 767, 768, 255, 0, 0},
      {0, 767, 900, 255, 0, 132},
      {0, 767, 1024, 255, 0, 255},
      {0, 767, -300, 43, 0, 255},
      {0, 100, 50, 124, 255, 0},
      {0, 100, 100, 255, 7, 0},
      // The raw position counts, not its offset from Min.
      {100, 867, 100, 0, 255, 155},
      // A reversed range has no wheel; it stays at cyan.
      {10, 0, 5, 0, 255, 255},
  };
  for (const Row& r : rows)
    EXPECT_EQ(PositionColour(r.min, r.max, r.p), r.red | (r.green << 8) | (r.blue << 16))
        << r.min << ".." << r.max << " at " << r.p;
}
