#include "windows/GraphPicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

#include "windows/GraphMath.h"

namespace {

// Grid lines stand at least this far apart; the labels' own width may ask for more.
constexpr int kMinColumnSpacing = 56;
constexpr int kMinRowSpacing = 36;
constexpr int kLabelGap = 3;  // between a line and its label

QFont LabelFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(10);
  return font;
}

struct TGridLabels {
  graph::TGrid Grid;
  std::vector<QString> Texts;
  int Widest = 0;
};

TGridLabels Labelled(const graph::TGrid& grid, const QFontMetrics& fm, char separator) {
  TGridLabels out{grid, {}, 0};
  for (const long double v : grid.Values) {
    out.Texts.push_back(QString::fromStdString(graph::GridLabel(v, grid.Step, separator)));
    out.Widest = std::max(out.Widest, fm.horizontalAdvance(out.Texts.back()));
  }
  return out;
}

// The vertical lines' values: spaced so that each label fits between two lines.
TGridLabels ColumnGrid(const TPlotView& v, int w, const QFontMetrics& fm, char separator) {
  int spacing = kMinColumnSpacing;
  TGridLabels labels;
  for (int attempt = 0; attempt < 4; ++attempt) {
    labels = Labelled(graph::GridFor(v.X1, v.X2, w, spacing), fm, separator);
    const long double width = std::fabs(v.X2 - v.X1);
    const long double pixels = width > 0 ? labels.Grid.Step / width * w : 0;
    if (labels.Grid.Values.empty() || pixels >= labels.Widest + 2 * kLabelGap + 4) break;
    spacing = labels.Widest + 2 * kLabelGap + 8;
  }
  return labels;
}

void PaintGridLines(QPainter& painter, const TPlotView& v, const TGridLabels& columns,
                    const TGridLabels& rows, int w, int h) {
  painter.setPen(QPen(QColor::fromRgb(kGraphGrid), 0));
  for (const long double x : columns.Grid.Values) {
    const std::int64_t c = graph::PlotColumn(x, v.X1, v.X2, w);
    if (c >= 0 && c < w) painter.drawLine(int(c), 0, int(c), h - 1);
  }
  for (const long double y : rows.Grid.Values) {
    const std::int64_t r = graph::PlotRow(y, v.YMin, v.YMax, h);
    if (r >= 0 && r < h) painter.drawLine(0, int(r), w - 1, int(r));
  }
}

// The numbers of the grid lines: those of the vertical lines to the right of
// each line, below the X axis (or along the bottom edge); those of the
// horizontal lines above each line, right of the Y axis (or along the left
// edge). A label that would leave the picture or run into the one before is
// left out; where both axes cross, 0 is written once, at the Y axis.
void PaintLabels(QPainter& painter, const TPlotView& v, const TGridLabels& columns,
                 const TGridLabels& rows, bool axes, int w, int h) {
  const QFontMetrics fm = painter.fontMetrics();
  const int lh = fm.height();
  painter.setPen(QColor::fromRgb(kGraphLabel));
  // Where the axes are, -1 where none is drawn.
  const std::int64_t axisRow = axes ? graph::HorizontalAxisRow(v.YMin, v.YMax, h).value_or(-1) : -1;
  const std::int64_t axisColumn = axes ? graph::VerticalAxisColumn(v.X1, v.X2, w).value_or(-1) : -1;

  const int top = axisRow >= 0 && axisRow + kLabelGap + lh <= h ? int(axisRow) + kLabelGap : h - lh;
  int freeFrom = 0;  // the first column not taken by a label
  for (std::size_t i = 0; i < columns.Grid.Values.size(); ++i) {
    if (columns.Grid.Values[i] == 0 && axisColumn >= 0 && axisRow >= 0) continue;
    const std::int64_t c = graph::PlotColumn(columns.Grid.Values[i], v.X1, v.X2, w);
    const int tw = fm.horizontalAdvance(columns.Texts[i]);
    const std::int64_t left = c + kLabelGap;
    if (c < 0 || left + tw > w || left < freeFrom) continue;
    painter.drawText(QRect(int(left), top, tw, lh), Qt::AlignLeft | Qt::AlignVCenter,
                     columns.Texts[i]);
    freeFrom = int(left) + tw + kLabelGap;
  }

  const int left = axisColumn >= 0 && axisColumn + kLabelGap + rows.Widest <= w
                       ? int(axisColumn) + kLabelGap
                       : kLabelGap;
  for (std::size_t i = 0; i < rows.Grid.Values.size(); ++i) {
    const std::int64_t r = graph::PlotRow(rows.Grid.Values[i], v.YMin, v.YMax, h);
    const std::int64_t labelTop = r - lh;
    if (labelTop < 0 || r > h) continue;
    painter.drawText(QRect(left, int(labelTop), fm.horizontalAdvance(rows.Texts[i]), lh),
                     Qt::AlignLeft | Qt::AlignVCenter, rows.Texts[i]);
  }
}

void PaintAxes(QPainter& painter, const TPlotView& v, int w, int h) {
  painter.setPen(QPen(QColor::fromRgb(kGraphAxis), 0));
  if (const auto r = graph::HorizontalAxisRow(v.YMin, v.YMax, h)) {
    const int row = static_cast<int>(*r);
    painter.drawLine(0, row, w - 1, row);
  }
  if (const auto k = graph::VerticalAxisColumn(v.X1, v.X2, w)) {
    const int column = static_cast<int>(*k);
    painter.drawLine(column, 0, column, h - 1);
  }
}

void PaintCurve(QPainter& painter, const TPlotView& v, const graph::TSample* samples, int count,
                bool join, int w, int h) {
  painter.setPen(QPen(QColor::fromRgb(kGraphCurve), 0));
  bool newPiece = true;
  std::int64_t previousRow = 0;
  for (int i = 0; i < count && i < w; ++i) {
    if (!samples[i].Good()) {
      newPiece = true;
      continue;
    }
    const std::int64_t row = graph::PlotRow(samples[i].Value, v.YMin, v.YMax, h);
    if (join) {
      // Rows far outside are clipped here, so the painter only sees small numbers.
      const graph::TSegment line{i - 1.0, double(previousRow), double(i), double(row)};
      if (!newPiece) {
        if (const auto seg = graph::ClipSegment(line, w, h))
          painter.drawLine(QLineF(seg->X0, seg->Y0, seg->X1, seg->Y1));
      }
    } else if (row >= 0 && row < h) {
      painter.drawPoint(i, static_cast<int>(row));
    }
    previousRow = row;
    newPiece = false;
  }
}

}  // namespace

void PaintPlot(QImage& bitmap, const TPlotView& view, const graph::TSample* samples, int count,
               const TPlotOptions& options) {
  const int w = bitmap.width(), h = bitmap.height();
  if (w <= 0 || h <= 0) return;
  QPainter painter(&bitmap);
  if (options.GridAndLabels) {
    painter.setFont(LabelFont());
    const QFontMetrics fm = painter.fontMetrics();
    const TGridLabels columns = ColumnGrid(view, w, fm, options.Separator);
    const TGridLabels rows =
        Labelled(graph::GridFor(view.YMin, view.YMax, h, kMinRowSpacing), fm, options.Separator);
    PaintGridLines(painter, view, columns, rows, w, h);
    if (options.Axes) PaintAxes(painter, view, w, h);
    PaintLabels(painter, view, columns, rows, options.Axes, w, h);
  } else if (options.Axes) {
    PaintAxes(painter, view, w, h);
  }
  PaintCurve(painter, view, samples, count, options.Join, w, h);
}
