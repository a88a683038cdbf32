// The slide bar's arithmetic. Positions are 32-bit, so sums and differences
// are taken in 64 bits; products with the spacing in extended precision.
#include "controls/SlideBarMath.h"

#include <algorithm>
#include <cmath>

namespace slidebar {

namespace {

struct TThumbSet {
  const char* Name;
  int W;
  int H;
};

constexpr TThumbSet kThumbSets[kThumbStyleCount] = {
    {"Bar1", 5, 10},     {"Bar2", 6, 12},          {"Bar3", 10, 5},     {"Bar4", 12, 6},
    {"Circle1", 8, 8},   {"Square1", 8, 8},        {"Diamond1", 8, 8},  {"Diamond2", 12, 12},
    {"Diamond3", 9, 9},  {"Diamond4", 11, 11},     {"StdDown", 13, 26}, {"StdUp", 13, 26},
    {"StdVBar", 13, 26}, {"StdUpDown", 13, 26},    {"StdLeft", 26, 12}, {"StdRight", 26, 12},
    {"StdHBar", 26, 13}, {"StdLeftRight", 26, 12},
};

bool ValidStyle(int style) {
  return style >= 0 && style < kThumbStyleCount;
}

// Rounds half to even (the FPU's default mode) and keeps the result in a range
// an int64 can hold, so huge or non-finite values never convert wrongly.
std::int64_t RoundEven(long double v) {
  if (std::isnan(v)) return 0;
  constexpr long double kLimit = 4.0e18L;
  v = std::clamp(v, -kLimit, kLimit);
  return static_cast<std::int64_t>(std::nearbyint(v));
}

std::int64_t Range(const TBarGeometry& g) {
  return static_cast<std::int64_t>(g.Max) - g.Min;
}

// Pixels per value of the thumb placement; the same figure as the spacing,
// but it is also wanted for ranges below one (negative when Max < Min).
float PlacementFactor(const TBarGeometry& g, int length) {
  const std::int64_t range = Range(g);
  if (range == 0) return 0.0f;
  return static_cast<float>(static_cast<long double>(length) / range);
}

}  // namespace

TThumbSize ThumbSize(int style) {
  if (!ValidStyle(style)) return {};
  return {kThumbSets[style].W, kThumbSets[style].H};
}

const char* ThumbName(int style) {
  return ValidStyle(style) ? kThumbSets[style].Name : "";
}

TOrientation OrientationForSize(int width, int height) {
  return width >= height ? orHorizontal : orVertical;
}

int SwapThumbForOrientation(int style, TOrientation to) {
  if (to == orHorizontal) {
    switch (style) {
      case tsBar4:
        return tsBar2;
      case tsBar3:
        return tsBar1;
      case tsStdHBar:
        return tsStdVBar;
      case tsStdRight:
        return tsStdDown;
      default:
        return style;
    }
  }
  switch (style) {
    case tsBar2:
      return tsBar4;
    case tsBar1:
      return tsBar3;
    case tsStdVBar:
      return tsStdHBar;
    case tsStdDown:
      return tsStdRight;
    default:
      return style;
  }
}

TTrack TrackEdges(const TBarGeometry& g) {
  TTrack t;
  const int th = g.Thickness;
  if (g.Orientation == orVertical) {
    t.L = g.W / 2 - th / 2 - 1;
    t.R = t.L + th + 1;
    t.T = g.HalfH();
    t.B = g.H - g.ThumbH + g.HalfH();
  } else {
    t.L = g.HalfW();
    t.R = g.W - g.ThumbW + g.HalfW();
    t.T = g.H / 2 - th / 2 - 1;
    t.B = t.T + th + 1;
  }
  return t;
}

float Spacing(const TBarGeometry& g) {
  if (Range(g) < 1) return 0.0f;
  const int length = g.Orientation == orVertical ? g.H - g.ThumbH : g.W - g.ThumbW;
  return static_cast<float>(static_cast<long double>(length) / Range(g));
}

std::vector<int> TickCoordinates(const TBarGeometry& g, std::int32_t frequency) {
  std::vector<int> out;
  if (frequency == 0 || g.Max < g.Min) return out;
  const std::int64_t f = std::abs(static_cast<std::int64_t>(frequency));
  const TTrack t = TrackEdges(g);
  const long double e = Spacing(g);
  const bool vertical = g.Orientation == orVertical;
  // Every tick but the one for Max, which sits exactly at the track's far end.
  auto regular = [&](std::int64_t i) {
    const std::int64_t d = static_cast<std::int64_t>(std::trunc(e * (i - g.Min)));
    return static_cast<int>(vertical ? t.B - d - 1 : t.L + d);
  };
  auto add = [&](int c) {
    if (out.empty() || out.back() != c) out.push_back(c);
  };
  // The first multiple of f at or above Min, and the last at or below Max.
  const std::int64_t r = g.Min % f;
  const std::int64_t first = r == 0 ? g.Min : (g.Min > 0 ? g.Min - r + f : g.Min - r);
  if (first > g.Max) return out;
  const std::int64_t last = g.Max - ((g.Max % f) + f) % f;
  const bool atMax = last == g.Max;
  const std::int64_t lastRegular = atMax ? last - f : last;
  if (lastRegular >= first) {
    if (e * f <= 1.0L) {
      // Ticks at least as dense as the pixels: every pixel between the first
      // and the last tick carries one, so walk the pixels, not the values (a
      // range of billions would otherwise take seconds).
      const int from = regular(first);
      const int to = regular(lastRegular);
      const int step = from <= to ? 1 : -1;
      for (int c = from;; c += step) {
        add(c);
        if (c == to) break;
      }
    } else {
      for (std::int64_t i = first; i <= lastRegular; i += f) add(regular(i));
    }
  }
  if (atMax) add(vertical ? t.T : t.R - 1);
  return out;
}

TPoint ThumbTopLeft(const TBarGeometry& g, std::int32_t position, bool dragging, int dragPos) {
  TPoint p;
  const std::int64_t offset = static_cast<std::int64_t>(position) - g.Min;
  if (g.Orientation == orVertical) {
    std::int64_t y;
    if (dragging) {
      y = static_cast<std::int64_t>(dragPos) - g.HalfH();
    } else {
      const long double k = PlacementFactor(g, g.H - g.ThumbH);
      y = static_cast<std::int64_t>(g.H) - RoundEven(offset * k) - g.ThumbH;
    }
    p.Y = static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(g.H - g.ThumbH, y)));
    p.X = (g.W - g.ThumbW) / 2;
  } else {
    std::int64_t x;
    if (dragging) {
      x = static_cast<std::int64_t>(dragPos) - g.HalfW();
    } else {
      const long double k = PlacementFactor(g, g.W - g.ThumbW);
      x = RoundEven(offset * k);
    }
    p.X = static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(g.W - g.ThumbW, x)));
    p.Y = (g.H - g.ThumbH) / 2;
  }
  return p;
}

std::int32_t PositionFromPoint(const TBarGeometry& g, int x, int y) {
  long double r;
  if (g.Orientation == orVertical) {
    const int span = g.H - g.HalfH();
    if (span == 0) return Clamp(g.Min, g.Min, g.Max);
    r = static_cast<long double>(span - y) / span;
  } else {
    const int span = g.W - g.HalfW();
    if (span == 0) return Clamp(g.Min, g.Min, g.Max);
    r = static_cast<long double>(x) / span;
  }
  return Clamp(RoundEven(r * Range(g) + g.Min), g.Min, g.Max);
}

std::int32_t PositionFromClick(const TBarGeometry& g, std::int32_t position, int clickCoord,
                               int thumbCentre) {
  std::int64_t p = position;
  if (g.Orientation == orVertical) {
    if (clickCoord < thumbCentre) ++p;
    if (clickCoord > thumbCentre) --p;
  } else {
    if (clickCoord < thumbCentre) --p;
    if (clickCoord > thumbCentre) ++p;
  }
  return Clamp(p, g.Min, g.Max);
}

std::int32_t Clamp(std::int64_t value, std::int32_t min, std::int32_t max) {
  if (value > max) value = max;
  if (value < min) value = min;
  return static_cast<std::int32_t>(value);
}

std::int32_t PageStepForRange(std::int32_t min, std::int32_t max) {
  const std::int64_t step = (static_cast<std::int64_t>(max) - min) / 10;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(step, 1, INT32_MAX));
}

bool StepAccepted(std::int32_t value, std::int32_t current, std::int32_t min, std::int32_t max) {
  return value != current && value > 0 && value <= static_cast<std::int64_t>(max) - min;
}

// Steps saturate at the range's ends, so no step, however large, overflows.
std::optional<std::int32_t> StepUpTarget(std::int32_t position, std::int64_t n, std::int32_t min,
                                         std::int32_t max) {
  if (n == 0) return std::nullopt;
  if (n < 0) return StepDownTarget(position, n == INT64_MIN ? INT64_MAX : -n, min, max);
  if (n >= static_cast<std::int64_t>(max) - position) return max;
  return static_cast<std::int32_t>(position + n);
}

std::optional<std::int32_t> StepDownTarget(std::int32_t position, std::int64_t n, std::int32_t min,
                                           std::int32_t max) {
  if (n == 0) return std::nullopt;
  if (n < 0) return StepUpTarget(position, n == INT64_MIN ? INT64_MAX : -n, min, max);
  if (n >= static_cast<std::int64_t>(position) - min) return min;
  return static_cast<std::int32_t>(position - n);
}

std::int32_t PositionColour(std::int32_t min, std::int32_t max, std::int32_t p) {
  const std::int64_t count = static_cast<std::int64_t>(max) - min + 1;
  // An empty or reversed range has no wheel to walk; it stays at the start.
  const std::int64_t a = count <= 0 ? 0 : static_cast<std::int64_t>(std::trunc(768.0L / count * p));
  const std::int64_t v = a + 256;
  const int x = static_cast<int>(v & 0xFF);
  int red, green, blue;
  if (v >= 0 && v <= 255) {
    red = 0, green = x, blue = 255;
  } else if (v >= 256 && v <= 511) {
    red = 0, green = 255, blue = 255 - x;
  } else if (v >= 512 && v <= 767) {
    red = x, green = 255, blue = 0;
  } else if (v >= 768 && v <= 1023) {
    red = 255, green = 255 - x, blue = 0;
  } else if (v >= 1024 && v <= 1279) {
    red = 255, green = 0, blue = x;
  } else {
    red = 255 - x, green = 0, blue = 255;
  }
  return red | (green << 8) | (blue << 16);
}

}  // namespace slidebar
