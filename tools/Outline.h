// The outline of a picture for a skin window: the pixels that are not of the
// transparent colour, as region rectangles. Used by the skin authoring tools
// (zumbrel-outline and zumbrel-skingen).
#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "platform/Region.h"

// The colour of the picture's top-left pixel, the usual transparent colour of
// a skin picture (its corners lie outside a shaped window).
QRgb CornerColour(const QImage& picture);

// The opaque pixels of `picture` (every pixel whose colour, alpha ignored, is
// not `transparent`) merged into rectangles the way the platform builds a
// region: runs per row, identical consecutive rows merged into bands.
std::vector<TRect> OutlineRects(const QImage& picture, QRgb transparent);

// Writes the region file of `rects`; false when the file cannot be written.
bool WriteOutlineFile(const QString& path, const std::vector<TRect>& rects);
