// Drag-and-snap arithmetic of the skin window.
#include "platform/DragSnap.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// Results are pixel positions; keep them representable whatever the inputs.
int32_t Clamp32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()));
}

// How many screens of ordinary shape fit along an axis: `along` is the
// monitor's size on that axis, `across` on the other, num/den the widest
// ordinary aspect along the axis. Truncating integer division throughout.
int64_t ScreenCount(int64_t along, int64_t across, int64_t num, int64_t den) {
  if (across == 0) return 0;
  return (along * num / den) / across;
}

}  // namespace

TScreenArea DragScreenArea(int monitorCount, const TScreenArea& monitor, int32_t x, int32_t y,
                           int32_t windowWidth, int32_t windowHeight) {
  if (monitorCount >= 2) return monitor;

  TScreenArea area{0, 0, monitor.Width, monitor.Height};
  if (monitor.Width <= 0 || monitor.Height <= 0) return area;

  const int64_t rx = ScreenCount(monitor.Width, monitor.Height, 3, 4);
  if (rx > 1) {
    const int64_t screen = monitor.Width / rx;
    area.Width = int32_t(screen);
    if (screen < int64_t(x) + windowWidth / 2) area.Left = int32_t(screen);
  }
  const int64_t ry = ScreenCount(monitor.Height, monitor.Width, 4, 3);
  if (ry > 1) {
    const int64_t screen = monitor.Height / ry;
    area.Height = int32_t(screen);
    if (screen < int64_t(y) + windowHeight / 2) area.Top = int32_t(screen);
  }
  return area;
}

int32_t SnapAxis(int32_t pos, int32_t start, int32_t size, int32_t extent, bool keepOnScreen) {
  const int64_t p = pos;
  const int64_t endStart = int64_t(start) + size - extent;  // position that touches the far edge
  if (keepOnScreen && p < start) return start;
  if (std::llabs(p - start) < kSnapDistance) return start;
  if (keepOnScreen && p > endStart) return Clamp32(endStart);
  if (std::llabs(endStart - p) < kSnapDistance) return Clamp32(endStart);
  return pos;
}

TDragPoint DragPosition(const TDragInput& in) {
  const int32_t x = Clamp32(int64_t(in.Cursor.X) - in.Press.X);
  const int32_t y = Clamp32(int64_t(in.Cursor.Y) - in.Press.Y);
  const TScreenArea area =
      DragScreenArea(in.MonitorCount, in.Monitor, x, y, in.WindowWidth, in.WindowHeight);
  return {SnapAxis(x, area.Left, area.Width, in.SurfaceWidth, in.KeepOnScreen),
          SnapAxis(y, area.Top, area.Height, in.SurfaceHeight, in.KeepOnScreen)};
}

TScreenArea KeepWithinScreens(const TScreenArea& window, const TScreenArea& screens) {
  if (screens.Width <= 0 || screens.Height <= 0) return window;
  const auto axis = [](int32_t pos, int32_t size, int32_t start, int32_t room, int32_t& outPos,
                       int32_t& outSize) {
    outSize = std::clamp<int32_t>(size, 0, room);
    // The far edge first, then the near one: a window as large as the room
    // ends up at its start.
    const int64_t farthest = int64_t(start) + room - outSize;
    outPos = Clamp32(std::clamp<int64_t>(pos, start, farthest));
  };
  TScreenArea kept;
  axis(window.Left, window.Width, screens.Left, screens.Width, kept.Left, kept.Width);
  axis(window.Top, window.Height, screens.Top, screens.Height, kept.Top, kept.Height);
  return kept;
}
