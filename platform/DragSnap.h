// Where a dragged skin window goes: the screen area it belongs to (with the
// correction for one monitor that spans several screens) and the 20-pixel
// snap to that area's edges, and where a window read from the settings may
// go. Pure arithmetic, core layer (standard C++ only); used by
// controls/CoolForm, the placing of the program's windows and their tests.
#pragma once

#include <cstdint>

// A screen rectangle given by its corner and size.
struct TScreenArea {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const TScreenArea&) const = default;
};

struct TDragPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TDragPoint&) const = default;
};

// A gap to an edge smaller than this closes; a gap of exactly this stays.
inline constexpr int32_t kSnapDistance = 20;

// Everything one drag step needs.
struct TDragInput {
  TDragPoint Cursor;              // pointer position, screen coordinates
  TDragPoint Press;               // press point in the surface's coordinates (DragX, DragY)
  int MonitorCount = 1;           // monitors of the system
  TScreenArea Monitor;            // the monitor that holds the window
  int32_t WindowWidth = 0;        // the window's size (decides which screen its centre is on)
  int32_t WindowHeight = 0;
  int32_t SurfaceWidth = 0;       // the surface's size (the extent that snaps to edges)
  int32_t SurfaceHeight = 0;
  bool KeepOnScreen = false;
};

// The area the window is kept in or snapped to, for the proposed top-left
// (x, y). With two or more monitors it is the monitor itself. With one, the
// origin is 0,0 and a monitor much wider than 4:3 (or taller than 3:4) is taken
// as several screens side by side (or stacked); the area is the screen that
// holds the window's centre, counting only the first two. A monitor with no
// width or height gets no correction.
TScreenArea DragScreenArea(int monitorCount, const TScreenArea& monitor, int32_t x, int32_t y,
                           int32_t windowWidth, int32_t windowHeight);

// One axis of the snap: `pos` is the proposed start, `start`/`size` the area
// along the axis and `extent` the surface's size along it. Rules in order:
// keep inside (start edge), snap to the start edge, keep inside (end edge),
// snap to the end edge, else unchanged.
int32_t SnapAxis(int32_t pos, int32_t start, int32_t size, int32_t extent, bool keepOnScreen);

// The window's new top-left for one mouse move of a drag.
TDragPoint DragPosition(const TDragInput& in);

// A window rectangle read from the settings (any numbers at all), kept within
// what the screens can show: its width and height no larger than the
// `screens` rectangle (the bounding box of every screen's usable area) and no
// smaller than 0, and its corner moved just enough that the whole window lies
// inside that box. A box of no size keeps the window as it is.
TScreenArea KeepWithinScreens(const TScreenArea& window, const TScreenArea& screens);
