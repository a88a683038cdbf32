// The slide bar's arithmetic without any toolkit: orientation from the shape,
// the thumb-set swaps, track and tick geometry, thumb placement, the position
// under the pointer, the step rules and the position colour.
// Core layer (standard C++ only). Used by controls/SlideBar and its tests.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

enum TOrientation : int { orVertical = 0, orHorizontal = 1 };

enum TBarStyle : int { bsLowered = 0, bsRaised = 1 };

enum TThumbStyle : int {
  tsBar1 = 0,
  tsBar2 = 1,
  tsBar3 = 2,
  tsBar4 = 3,
  tsCircle1 = 4,
  tsSquare1 = 5,
  tsDiamond1 = 6,
  tsDiamond2 = 7,
  tsDiamond3 = 8,
  tsDiamond4 = 9,
  tsStdDown = 10,
  tsStdUp = 11,
  tsStdVBar = 12,
  tsStdUpDown = 13,
  tsStdLeft = 14,
  tsStdRight = 15,
  tsStdHBar = 16,
  tsStdLeftRight = 17,
  // The historical name of the last set; kept so skins and callers using it compile.
  stStdLeftRight = tsStdLeftRight,
};

constexpr int kThumbStyleCount = 18;

namespace slidebar {

// Width and height of a thumb picture set; {0, 0} for a value outside 0..17.
struct TThumbSize {
  int W = 0;
  int H = 0;
};
TThumbSize ThumbSize(int style);

// Resource name of a thumb set ("Bar3", "StdLeftRight", ...); the mask is the
// same name followed by "Mask". Empty for a value outside 0..17.
const char* ThumbName(int style);

// A bar at least as wide as it is tall is horizontal.
TOrientation OrientationForSize(int width, int height);

// The thumb set a bar gets when it is turned to `to` (pointer shapes and bars
// that only make sense one way round); other sets are kept.
int SwapThumbForOrientation(int style, TOrientation to);

// Everything the geometry depends on. HalfW and HalfH are ThumbW div 2 and
// ThumbH div 2.
struct TBarGeometry {
  TOrientation Orientation = orVertical;
  int W = 15;
  int H = 100;
  int ThumbW = 10;
  int ThumbH = 5;
  int Thickness = 2;
  std::int32_t Min = 0;
  std::int32_t Max = 100;
  int HalfW() const { return ThumbW / 2; }
  int HalfH() const { return ThumbH / 2; }
};

// The track's outer edges (the edge lines run along them).
struct TTrack {
  int L = 0;
  int R = 0;
  int T = 0;
  int B = 0;
};
TTrack TrackEdges(const TBarGeometry& g);

// Pixels per value along the axis, rounded to single precision; 0 when
// Max - Min < 1.
float Spacing(const TBarGeometry& g);

// Coordinates along the axis (y for a vertical bar, x for a horizontal one) of
// the ticks for every value from Min to Max divisible by `frequency`, each
// coordinate once, in increasing value order. Frequency 0 gives no ticks.
std::vector<int> TickCoordinates(const TBarGeometry& g, std::int32_t frequency);

// The thumb's top-left corner. While dragging, the thumb's centre follows
// `dragPos` (y or x); otherwise the position places it. With Max = Min the
// thumb sits at the Min end.
struct TPoint {
  int X = 0;
  int Y = 0;
};
TPoint ThumbTopLeft(const TBarGeometry& g, std::int32_t position, bool dragging, int dragPos);

// The value under the point (x, y), rounded half to even and kept in Min..Max.
std::int32_t PositionFromPoint(const TBarGeometry& g, int x, int y);

// The value after a click beside the thumb whose centre along the axis is
// `thumbCentre`: one step toward the click (up and right raise it), kept in
// Min..Max.
std::int32_t PositionFromClick(const TBarGeometry& g, std::int32_t position, int clickCoord,
                               int thumbCentre);

// Keeps `value` in min..max (min wins when max < min).
std::int32_t Clamp(std::int64_t value, std::int32_t min, std::int32_t max);

// The page step that goes with a new range: max(1, (Max - Min) div 10).
std::int32_t PageStepForRange(std::int32_t min, std::int32_t max);

// Whether a line or page step `value` may replace `current` for the range:
// it must differ, be positive and not exceed Max - Min.
bool StepAccepted(std::int32_t value, std::int32_t current, std::int32_t min, std::int32_t max);

// The target of StepUp(n) / StepDown(n); empty for n = 0 (no position change
// and no change notification).
std::optional<std::int32_t> StepUpTarget(std::int32_t position, std::int64_t n, std::int32_t min,
                                         std::int32_t max);
std::optional<std::int32_t> StepDownTarget(std::int32_t position, std::int64_t n, std::int32_t min,
                                           std::int32_t max);

// Colour of the track for position `p` when the colour follows the position:
// cyan at Min = 0 through green and yellow to red, as 0x00BBGGRR.
std::int32_t PositionColour(std::int32_t min, std::int32_t max, std::int32_t p);

}  // namespace slidebar
