// Drag arithmetic of the skin window: screen areas for one and several
// monitors, and the snap and keep-on-screen rules.
#include "platform/DragSnap.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TDragInput Input(TDragPoint proposed, TScreenArea monitor, int32_t w, int32_t h, bool keep,
                 int monitors = 1) {
  TDragInput in;
  in.Press = {15, 12};
  in.Cursor = {proposed.X + 15, proposed.Y + 12};  // so that cursor - press = proposed
  in.MonitorCount = monitors;
  in.Monitor = monitor;
  in.WindowWidth = in.SurfaceWidth = w;
  in.WindowHeight = in.SurfaceHeight = h;
  in.KeepOnScreen = keep;
  return in;
}

TEST(DragSnap, PlacesTheWindowLikeTheRulesSay) {
  struct Row {
    const char* what;
    TDragPoint proposed;
    TScreenArea monitor;
    bool keep;
    int monitors;
    TDragPoint expected;
  };
  const TScreenArea m1024{0, 0, 1024, 768};
  const TScreenArea wide{0, 0, 2048, 768};
  const TScreenArea tall{0, 0, 768, 1536};
  const Row rows[] = {
      // window 200 x 150 throughout
      {"left 10 snaps to the edge", {10, 300}, m1024, false, 1, {0, 300}},
      {"left 19 snaps", {19, 300}, m1024, false, 1, {0, 300}},
      {"left 20 stays", {20, 300}, m1024, false, 1, {20, 300}},
      {"left -19 snaps back", {-19, 300}, m1024, false, 1, {0, 300}},
      {"left -50 may leave the screen", {-50, 300}, m1024, false, 1, {-50, 300}},
      {"left -50 kept on screen", {-50, 300}, m1024, true, 1, {0, 300}},
      {"right gap 19 snaps", {1024 - 200 - 19, 300}, m1024, false, 1, {824, 300}},
      {"right gap 20 stays", {1024 - 200 - 20, 300}, m1024, false, 1, {804, 300}},
      {"past the right edge stays", {950, 300}, m1024, false, 1, {950, 300}},
      {"past the right edge kept", {950, 300}, m1024, true, 1, {824, 300}},
      {"top snaps, bottom snaps", {300, 5}, m1024, false, 1, {300, 0}},
      {"bottom gap 10 snaps", {300, 768 - 150 - 10}, m1024, false, 1, {300, 618}},
      {"below the bottom kept", {300, 700}, m1024, true, 1, {300, 618}},
      // one monitor spanning two screens side by side (2048 x 768 -> 1024 each)
      {"centre past the first screen: snaps to 1024", {1010, 300}, wide, false, 1, {1024, 300}},
      {"centre on the first screen: right edge at 1024", {830, 300}, wide, false, 1, {824, 300}},
      {"between the snaps stays", {900, 300}, wide, false, 1, {900, 300}},
      {"second screen's right edge", {2048 - 200 - 5, 300}, wide, false, 1, {1848, 300}},
      // stacked screens (768 x 1536 -> 768 high each)
      {"centre on the lower screen: snaps to 768", {300, 760}, tall, false, 1, {300, 768}},
      {"centre on the upper screen: bottom at 768", {300, 600}, tall, false, 1, {300, 618}},
      // 1280 x 1024 is no spanning monitor: the whole monitor is the area
      {"1280x1024 right edge", {1280 - 200 - 3, 300}, {0, 0, 1280, 1024}, false, 1, {1080, 300}},
      {"1280x1024 bottom edge", {300, 1024 - 150 - 3}, {0, 0, 1280, 1024}, false, 1, {300, 874}},
      // several monitors: the monitor's own rectangle, corner included
      {"second monitor left edge", {1034, 300}, {1024, 0, 1280, 1024}, false, 2, {1024, 300}},
      {"second monitor kept", {1000, -40}, {1024, 0, 1280, 1024}, true, 2, {1024, 0}},
      {"second monitor stays", {1100, 300}, {1024, 0, 1280, 1024}, false, 3, {1100, 300}},
      // a monitor with no size divides by nothing
      {"zero monitor", {10, 10}, {0, 0, 0, 0}, false, 1, {0, 0}},
  };
  for (const Row& row : rows) {
    const TDragInput in = Input(row.proposed, row.monitor, 200, 150, row.keep, row.monitors);
    EXPECT_EQ(DragPosition(in), row.expected) << row.what;
  }
}

TEST(DragSnap, ScreenAreaForOneAndSeveralMonitors) {
  // 2048 x 768: r = 2 horizontally, 0 vertically.
  EXPECT_EQ(DragScreenArea(1, {0, 0, 2048, 768}, 1010, 0, 200, 150), (TScreenArea{1024, 0, 1024, 768}));
  EXPECT_EQ(DragScreenArea(1, {0, 0, 2048, 768}, 900, 0, 200, 150), (TScreenArea{0, 0, 1024, 768}));
  // Three screens side by side: only the first two are told apart.
  EXPECT_EQ(DragScreenArea(1, {0, 0, 3072, 768}, 2500, 0, 200, 150), (TScreenArea{1024, 0, 1024, 768}));
  // 1280 x 1024: r = 0 and 1, no correction.
  EXPECT_EQ(DragScreenArea(1, {0, 0, 1280, 1024}, 900, 900, 200, 150), (TScreenArea{0, 0, 1280, 1024}));
  // One monitor: the origin is 0,0 whatever the monitor says.
  EXPECT_EQ(DragScreenArea(1, {50, 60, 1280, 1024}, 0, 0, 10, 10), (TScreenArea{0, 0, 1280, 1024}));
  EXPECT_EQ(DragScreenArea(2, {50, 60, 1280, 1024}, 0, 0, 10, 10), (TScreenArea{50, 60, 1280, 1024}));
  EXPECT_EQ(DragScreenArea(1, {0, 0, 1280, 0}, 0, 0, 10, 10), (TScreenArea{0, 0, 1280, 0}));
}

TEST(DragSnap, StoredWindowsAreKeptWithinTheScreens) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const TScreenArea desk{0, 0, 1280, 1024};
  const TScreenArea two{-1920, 0, 3200, 1080};  // a second screen left of the first
  struct Row {
    const char* what;
    TScreenArea stored, screens, kept;
  };
  const Row rows[] = {
      {"inside stays", {300, 200, 374, 290}, desk, {300, 200, 374, 290}},
      {"a huge size is cut to the screens", {0, 0, 99999999, 99999999}, desk, {0, 0, 1280, 1024}},
      {"past the right and bottom edges moves back", {1200, 1000, 374, 290}, desk, {906, 734, 374, 290}},
      {"left of and above the screens moves in", {-500, -20, 374, 290}, desk, {0, 0, 374, 290}},
      {"extreme corner and size", {kMin, kMax, kMax, kMin}, desk, {0, 1024, 1280, 0}},
      {"a screen left of the first keeps negative positions", {-1500, 40, 374, 290}, two, {-1500, 40, 374, 290}},
      {"far left of both screens", {-5000, 40, 374, 290}, two, {-1920, 40, 374, 290}},
      {"no screens: as stored", {-5000, 40, 99999999, 290}, {0, 0, 0, 0}, {-5000, 40, 99999999, 290}},
  };
  for (const Row& row : rows) EXPECT_EQ(KeepWithinScreens(row.stored, row.screens), row.kept) << row.what;
}

TEST(DragSnap, ExtremeCoordinatesDoNotOverflow) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  TDragInput in = Input({0, 0}, {0, 0, kMax, kMax}, kMax, kMax, true);
  in.Cursor = {kMin, kMax};
  in.Press = {kMax, kMin};
  const TDragPoint p = DragPosition(in);
  EXPECT_EQ(p.X, 0);  // far left, kept on screen
  EXPECT_EQ(p.Y, 0);  // the far end lies at 0 for a surface as high as the area
  EXPECT_EQ(SnapAxis(kMax, kMin, kMax, kMin, false), kMax);
}

}  // namespace
