// Skin colours as toolkit colours: 0x00BBGGRR, or a negative value naming one
// of the desktop's system colours by the classic index in its low byte. The one
// table of those indices, for every control that takes a skin colour (labels,
// edits, the window, slide bars). Gui layer. Used by controls/ and skin/.
#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <cstdint>
#include <iterator>
#include <optional>

#include "skin/SkinValues.h"  // SplitColor

namespace systemcolors {

struct TSystemColor {
  QPalette::ColorGroup Group;
  QPalette::ColorRole Role;
};

// Each index maps to the palette role that plays the same part here:
//   0 scroll bar -> Button            16 button shadow -> Dark
//   1 desktop -> Dark                 17 grey text -> disabled Text
//   2 active caption -> Highlight     18 button text -> ButtonText
//   3 inactive caption -> Mid         19 inactive caption text -> disabled WindowText
//   4 menu -> Window                  20 button highlight -> Light
//   5 window (edit fields) -> Base    21 3D dark shadow -> Shadow
//   6 window frame -> Shadow          22 3D light -> Midlight
//   7 menu text -> WindowText         23 tooltip text -> ToolTipText
//   8 window text -> Text             24 tooltip background -> ToolTipBase
//   9 caption text -> HighlightedText 25 (none)
//  10 active border -> Button         26 hot-tracked item -> Link
//  11 inactive border -> Button       27 active caption gradient -> Highlight
//  12 application workspace -> Mid    28 inactive caption gradient -> Mid
//  13 highlight -> Highlight          29 menu highlight -> Highlight
//  14 highlighted text -> HighlightedText  30 menu bar -> Window
//  15 button face -> Button
inline constexpr QPalette::ColorGroup kAct = QPalette::Active;
inline constexpr QPalette::ColorGroup kDis = QPalette::Disabled;
// clang-format off
inline constexpr TSystemColor kSystemColors[] = {
    {kAct, QPalette::Button},          {kAct, QPalette::Dark},
    {kAct, QPalette::Highlight},       {kAct, QPalette::Mid},
    {kAct, QPalette::Window},          {kAct, QPalette::Base},
    {kAct, QPalette::Shadow},          {kAct, QPalette::WindowText},
    {kAct, QPalette::Text},            {kAct, QPalette::HighlightedText},
    {kAct, QPalette::Button},          {kAct, QPalette::Button},
    {kAct, QPalette::Mid},             {kAct, QPalette::Highlight},
    {kAct, QPalette::HighlightedText}, {kAct, QPalette::Button},
    {kAct, QPalette::Dark},            {kDis, QPalette::Text},
    {kAct, QPalette::ButtonText},      {kDis, QPalette::WindowText},
    {kAct, QPalette::Light},           {kAct, QPalette::Shadow},
    {kAct, QPalette::Midlight},        {kAct, QPalette::ToolTipText},
    {kAct, QPalette::ToolTipBase},     {kAct, QPalette::NoRole},
    {kAct, QPalette::Link},            {kAct, QPalette::Highlight},
    {kAct, QPalette::Mid},             {kAct, QPalette::Highlight},
    {kAct, QPalette::Window},
};
// clang-format on

}  // namespace systemcolors

// A skin colour as a QColor: 0x00BBGGRR (red in the lowest byte, the high byte
// ignored), or, for a negative value, the system colour of the index in its
// low byte, taken from `palette` (the desktop's unless told). Null for a
// system index that has no colour.
inline std::optional<QColor> SkinColor(std::int32_t color,
                                       const QPalette& palette = QGuiApplication::palette()) {
  const skinvalues::TSkinColor c = skinvalues::SplitColor(color);
  if (!c.System) return QColor(c.Red, c.Green, c.Blue);
  if (c.SystemIndex >= static_cast<int>(std::size(systemcolors::kSystemColors)))
    return std::nullopt;
  const systemcolors::TSystemColor& s = systemcolors::kSystemColors[c.SystemIndex];
  if (s.Role == QPalette::NoRole) return std::nullopt;
  return palette.color(s.Group, s.Role);
}
