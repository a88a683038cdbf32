// Painting the graph's picture from its samples: the faint grid of round
// values with their labels, the axes and the curve, on the black bitmap.
// Gui layer. Used by the graph window (windows/graf) and its benchmark.
#pragma once

#include <QImage>

#include "windows/GraphSampler.h"

// The colours of the picture.
inline constexpr QRgb kGraphBackground = 0x000000;
inline constexpr QRgb kGraphAxis = 0x808080;
inline constexpr QRgb kGraphCurve = 0xFFFF00;
inline constexpr QRgb kGraphGrid = 0x303030;   // faint, below the axes' grey
inline constexpr QRgb kGraphLabel = 0xB0B0B0;  // readable on black, apart from the curve

struct TPlotView {
  long double X1 = 0, X2 = 0;      // the columns sample X1 + i * (X2 - X1) / W
  long double YMin = 0, YMax = 0;  // YMax at row 0, YMin at row H
};

struct TPlotOptions {
  bool Axes = true;
  bool Join = false;
  bool GridAndLabels = false;
  char Separator = '.';
};

// Paints onto `bitmap` (already filled with the background): the grid and
// its labels when asked, the axes when asked, then the curve of the first
// `count` samples (one per column; a failed sample breaks a joined line).
void PaintPlot(QImage& bitmap, const TPlotView& view, const graph::TSample* samples, int count,
               const TPlotOptions& options);
