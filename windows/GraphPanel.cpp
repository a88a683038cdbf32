// The graph window's bottom panel: the range fields, the Auto boxes, the Draw
// button and the pointer's readout, placed in one row of 36 pixels where the
// window's width allows and in two or three rows where it does not, so no
// control ever covers another.
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <utility>
#include <vector>

#include "windows/graf.h"

namespace {

constexpr int kMargin = 8;     // left and right of the rows
constexpr int kSpacing = 5;    // between the controls of a group
constexpr int kGroupGap = 10;  // between groups
constexpr int kFieldMin = 66, kFieldMax = 90;
constexpr int kReadoutMin = 100, kReadoutWanted = 150;
constexpr int kDrawWidth = 64;

void Name(QWidget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(QString::fromLatin1(name));
}

using TRow = std::vector<std::pair<QWidget*, int>>;  // a control and its width

// Places the controls left to right from `left` in the row whose top is
// `top`, each centred in the row's height; returns where the row ends.
int Place(const TRow& row, int left, int top) {
  const int rowHeight = TGraphForm::kPanelHeight;
  for (const auto& [widget, width] : row) {
    const int h = std::min(widget->sizeHint().height(), rowHeight);
    widget->setGeometry(left, top + (rowHeight - h) / 2, width, h);
    left += width + kSpacing;
  }
  return left - kSpacing;
}

}  // namespace

void TGraphForm::CreatePanel() {
  FPanel1 = new QWidget(this);
  Name(FPanel1, "Panel1");
  FPanel1->setAutoFillBackground(true);

  const auto label = [&](const char* name, const char* text) {
    auto* l = new QLabel(QString::fromLatin1(text), FPanel1);
    Name(l, name);
    return l;
  };
  const auto field = [&](const char* name, const char* text) {
    auto* e = new QLineEdit(QString::fromLatin1(text), FPanel1);
    Name(e, name);
    return e;
  };
  const auto check = [&](const char* name) {
    auto* c = new QCheckBox(QStringLiteral("Auto"), FPanel1);
    Name(c, name);
    return c;
  };
  // Made in their order left to right, which is also the keyboard's order.
  FLabels[0] = label("Label1", "X:");
  FFromX = field("FromX", "-5");
  FLabels[1] = label("Label2", "-");
  FToX = field("ToX", "5");
  FAutoX = check("AutoX");
  FAutoX->setEnabled(false);
  FLabels[2] = label("Label3", "Y:");
  FFromY = field("FromY", "-2");
  FLabels[3] = label("Label4", "-");
  FToY = field("ToY", "2");
  FAutoY = check("AutoY");
  FDrawBut = new QPushButton(QStringLiteral("Draw"), FPanel1);
  Name(FDrawBut, "DrawBut");
  FReadout = new QLabel(FPanel1);
  Name(FReadout, "Readout");
  QFont small = FReadout->font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1));
  FReadout->setFont(small);
  FReadout->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  FReadout->setTextFormat(Qt::PlainText);

  // Setting a box's check, by the user or from the settings, runs its click.
  connect(FAutoX, &QCheckBox::toggled, this, [this] { AutoXClick(); });
  connect(FAutoY, &QCheckBox::toggled, this, [this] { AutoYClick(); });
  // The button's errors go to the program's report, not through the toolkit.
  connect(FDrawBut, &QPushButton::clicked, this,
          [this] { RunHandler(FHost, [this] { DrawButClick(); }); });
}

int TGraphForm::MinimumPanelWidth() const {
  const auto w = [](const QWidget* widget) { return widget->sizeHint().width(); };
  const int x = w(FLabels[0]) + w(FLabels[1]) + w(FAutoX) + 4 * kSpacing + 2 * kFieldMin;
  const int y = w(FLabels[2]) + w(FLabels[3]) + w(FAutoY) + 4 * kSpacing + 2 * kFieldMin;
  return 2 * kMargin + std::max({x, y, kDrawWidth + kGroupGap + kReadoutMin});
}

int TGraphForm::LayoutPanel(int width) {
  const auto w = [](const QWidget* widget) { return widget->sizeHint().width(); };
  const int fixedX = w(FLabels[0]) + w(FLabels[1]) + w(FAutoX) + 4 * kSpacing;
  const int fixedY = w(FLabels[2]) + w(FLabels[3]) + w(FAutoY) + 4 * kSpacing;
  const auto groupX = [&](int f) {
    return TRow{{FLabels[0], w(FLabels[0])},
                {FFromX, f},
                {FLabels[1], w(FLabels[1])},
                {FToX, f},
                {FAutoX, w(FAutoX)}};
  };
  const auto groupY = [&](int f) {
    return TRow{{FLabels[2], w(FLabels[2])},
                {FFromY, f},
                {FLabels[3], w(FLabels[3])},
                {FToY, f},
                {FAutoY, w(FAutoY)}};
  };
  // The Draw button and the readout, which takes what the row has left.
  const auto drawRow = [&](int left, int top) {
    FDrawBut->setGeometry(left, top + (kPanelHeight - FDrawBut->sizeHint().height()) / 2,
                          kDrawWidth, FDrawBut->sizeHint().height());
    const int readoutLeft = left + kDrawWidth + kGroupGap;
    FReadout->setGeometry(readoutLeft, top + 1, std::max(0, width - kMargin - readoutLeft),
                          kPanelHeight - 2);
  };

  const int inner = width - 2 * kMargin;
  // One row: the fields narrow down to kFieldMin before anything moves, and
  // the readout gets its wanted width before the fields grow again.
  const int oneRow = inner - fixedX - fixedY - kDrawWidth - 3 * kGroupGap;
  if (oneRow >= 4 * kFieldMin + kReadoutMin) {
    int rest = oneRow - 4 * kFieldMin - kReadoutMin;
    rest -= std::min(rest, kReadoutWanted - kReadoutMin);
    const int f = kFieldMin + std::min(rest / 4, kFieldMax - kFieldMin);
    int left = Place(groupX(f), kMargin, 0) + kGroupGap;
    left = Place(groupY(f), left, 0) + kGroupGap;
    drawRow(left, 0);
    return kPanelHeight;
  }
  // Two rows: both ranges, then Draw and the readout.
  const int twoRows = inner - fixedX - fixedY - kGroupGap;
  if (twoRows >= 4 * kFieldMin) {
    const int f = std::min(twoRows / 4, kFieldMax);
    const int left = Place(groupX(f), kMargin, 0) + kGroupGap;
    Place(groupY(f), left, 0);
    drawRow(kMargin, kPanelHeight);
    return 2 * kPanelHeight;
  }
  // Three rows, down to the window's minimum width.
  const int f = std::clamp((inner - std::max(fixedX, fixedY)) / 2, kFieldMin, kFieldMax);
  Place(groupX(f), kMargin, 0);
  Place(groupY(f), kMargin, kPanelHeight);
  drawRow(kMargin, 2 * kPanelHeight);
  return 3 * kPanelHeight;
}

void TGraphForm::LayoutChildren() {
  const int w = width(), h = height();
  const int panel = LayoutPanel(w);
  FPanel1->setGeometry(0, h - panel, w, panel);
  FImage->setGeometry(kImageInset, kImageInset, std::max(0, w - 2 * kImageInset),
                      std::max(0, h - panel - kImageInset));
  SetReadout(FReadoutX, FReadoutY);
}

void TGraphForm::SetReadout(const QString& x, const QString& y) {
  FReadoutX = x;
  FReadoutY = y;
  // Each line is cut with an ellipsis where the readout is too narrow.
  const QFontMetrics fm(FReadout->font());
  const int room = FReadout->width();
  FReadout->setText(x.isEmpty() && y.isEmpty()
                        ? QString()
                        : fm.elidedText(x, Qt::ElideRight, room) + QLatin1Char('\n') +
                              fm.elidedText(y, Qt::ElideRight, room));
}

QString TGraphForm::ReadoutText() const {
  return FReadoutX.isEmpty() && FReadoutY.isEmpty() ? QString()
                                                    : FReadoutX + QLatin1Char('\n') + FReadoutY;
}
