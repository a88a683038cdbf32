// Renders the pictures of a skin description: the window picture with its
// outline, and every key and toggle in each of its states. Used only by
// zumbrel-skingen.
#pragma once

#include <QImage>
#include <QRegion>

#include "tools/SkinDesc.h"

enum class TKeyState { ksNormal, ksHover, ksDown, ksUnchecked, ksChecked };

// The window picture without keys or toggles: opaque inside the outline, the
// description's transparent colour outside it (RGB32). Element pictures are
// cut from it, so their corners match the window behind them.
QImage RenderBackground(const TSkinDesc& desc);
// The same at `scale` pixels per skin pixel, for a screen of that device
// pixel ratio. The outline stays the one of the picture at scale 1 (the
// window is cut to it, in the skin's units): every pixel inside it is opaque
// and every pixel outside it is of the transparent colour.
QImage RenderBackground(const TSkinDesc& desc, int scale, const QRegion& outline);

// One element picture (RGB32, the element's size times `scale`) in one state,
// drawn over the part of `background` (rendered at that scale) it covers.
QImage RenderKey(const TSkinDesc& desc, const QImage& background, const TKey& key, TKeyState state,
                 int scale = 1);

// The window picture as shipped: `background` with every key in its normal
// state and every toggle unchecked, so the bare window already looks right.
QImage ComposeWindow(const TSkinDesc& desc, const QImage& background, int scale = 1);

// A rough look at the finished window (labels, edits and slide bars drawn the
// way the calculator shows them), over a neutral desktop colour.
QImage RenderPreview(const TSkinDesc& desc, const QImage& window);

// Every element in all its states side by side, for checking the pictures.
QImage RenderStateSheet(const TSkinDesc& desc, const QImage& background);
