#include "skin/SkinElements.h"

#include <QGuiApplication>
#include <QPalette>
#include <iterator>

#include "skin/SkinValues.h"

namespace {

struct TSystemColor {
  QPalette::ColorGroup Group;
  QPalette::ColorRole Role;
};

// Skins name the desktop's colours by the classic system colour indices
// (value 0x80000000 + index). Each index maps to the palette role that plays
// the same part here:
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
constexpr QPalette::ColorGroup kAct = QPalette::Active;
constexpr QPalette::ColorGroup kDis = QPalette::Disabled;
const TSystemColor kSystemColors[] = {
    {kAct, QPalette::Button},        {kAct, QPalette::Dark},
    {kAct, QPalette::Highlight},     {kAct, QPalette::Mid},
    {kAct, QPalette::Window},        {kAct, QPalette::Base},
    {kAct, QPalette::Shadow},        {kAct, QPalette::WindowText},
    {kAct, QPalette::Text},          {kAct, QPalette::HighlightedText},
    {kAct, QPalette::Button},        {kAct, QPalette::Button},
    {kAct, QPalette::Mid},           {kAct, QPalette::Highlight},
    {kAct, QPalette::HighlightedText}, {kAct, QPalette::Button},
    {kAct, QPalette::Dark},          {kDis, QPalette::Text},
    {kAct, QPalette::ButtonText},    {kDis, QPalette::WindowText},
    {kAct, QPalette::Light},         {kAct, QPalette::Shadow},
    {kAct, QPalette::Midlight},      {kAct, QPalette::ToolTipText},
    {kAct, QPalette::ToolTipBase},   {kAct, QPalette::NoRole},
    {kAct, QPalette::Link},          {kAct, QPalette::Highlight},
    {kAct, QPalette::Mid},           {kAct, QPalette::Highlight},
    {kAct, QPalette::Window},
};

}  // namespace

std::optional<QColor> SkinColor(std::int32_t color) {
  const skinvalues::TSkinColor c = skinvalues::SplitColor(color);
  if (!c.System) return QColor(c.Red, c.Green, c.Blue);
  if (c.SystemIndex >= static_cast<int>(std::size(kSystemColors))) return std::nullopt;
  const TSystemColor& s = kSystemColors[c.SystemIndex];
  if (s.Role == QPalette::NoRole) return std::nullopt;
  return QGuiApplication::palette().color(s.Group, s.Role);
}

TSkinLabel::TSkinLabel(QWidget* parent) : QLabel(parent) {
  // Skin texts are shown as written, never as markup.
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TSkinLabel::SetLabelName(const QString& value) {
  FLabelName = value;
  setAccessibleName(value);
}

TSkinEdit::TSkinEdit(QWidget* parent) : QLineEdit(parent) {}

void TSkinEdit::SetEditName(const QString& value) {
  FEditName = value;
  setAccessibleName(value);
}

TSkinImage::TSkinImage(QWidget* parent) : QWidget(parent) {
  // No picture and no behaviour: a drag on it still moves the window.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void TSkinImage::SetImageName(const QString& value) {
  FImageName = value;
  setAccessibleName(value);
}
