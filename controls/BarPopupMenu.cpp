// TBarPopupMenu: popup menu with a gradient side band.
//
// The band is a left contents margin of the menu: the menu lays its items out
// to the right of it and widens itself by the same amount, so painting and
// hit-testing of the items stay the menu's own. The band itself is painted
// after the menu, item by item over the rows of the items it spans.
#include "controls/BarPopupMenu.h"

#include <QBitmap>
#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cmath>

namespace {

// The caption of placeholder items: they keep their room but show nothing.
const QString kHiddenCaption = QStringLiteral("#");

bool IsHidden(const QAction* a) { return a->text() == kHiddenCaption; }

// One channel of the gradient at `row` of `total` rows: truncating integer
// arithmetic, the product first.
int Channel(int start, int end, int row, int total) {
  return start + int((int64_t(end) - start) * row / total);
}

}  // namespace

TBarPopupMenu::TBarPopupMenu(QWidget* parent) : QMenu(parent) {
  FVerticalFont = QFont(QStringLiteral("Tahoma"), 14);
  FVerticalFont.setBold(true);
  FVerticalFont.setItalic(true);
  FVerticalText = QGuiApplication::applicationDisplayName();
  UpdateMargins();
}

TBarPopupMenu::~TBarPopupMenu() = default;

void TBarPopupMenu::UpdateMargins() {
  setContentsMargins(FBarVisible ? FBarWidth : 0, 0, 0, 0);
  update();
}

void TBarPopupMenu::SetBitmap(const QPixmap& bitmap) {
  FBitmap = bitmap;
  update();
}

void TBarPopupMenu::SetBarWidth(int value) {
  if (value < 0 || value == FBarWidth) return;
  FBarWidth = value;
  UpdateMargins();
}

void TBarPopupMenu::SetBitmapOffsetX(int value) {
  FBitmapOffsetX = value;
  update();
}

void TBarPopupMenu::SetBitmapOffsetY(int value) {
  FBitmapOffsetY = value;
  update();
}

void TBarPopupMenu::SetBitmapVertAlignment(TBitmapVertAlignment value) {
  if (value < bvaTop || value > bvaMiddle) return;
  FBitmapVertAlignment = value;
  update();
}

void TBarPopupMenu::SetBitmapHorzAlignment(TBitmapHorzAlignment value) {
  if (value < bhaLeft || value > bhaCenter) return;
  FBitmapHorzAlignment = value;
  update();
}

void TBarPopupMenu::SetBarVisible(bool value) {
  if (value == FBarVisible) return;
  FBarVisible = value;
  UpdateMargins();
}

void TBarPopupMenu::SetGradientEnd(const QColor& value) {
  if (!value.isValid()) return;
  FGradientEnd = value;
  update();
}

void TBarPopupMenu::SetGradientStart(const QColor& value) {
  if (!value.isValid()) return;
  FGradientStart = value;
  update();
}

bool TBarPopupMenu::Transparent() const { return !FBitmap.isNull() && FTransparent; }

void TBarPopupMenu::SetTransparent(bool value) {
  if (FBitmap.isNull()) return;
  FTransparent = value;
  update();
}

void TBarPopupMenu::SetVerticalFont(const QFont& font) {
  FVerticalFont = font;
  update();
}

void TBarPopupMenu::SetVerticalFontColor(const QColor& color) {
  if (!color.isValid()) return;
  FVerticalFontColor = color;
  update();
}

void TBarPopupMenu::SetVerticalText(const QString& text) {
  FVerticalText = text;
  update();
}

void TBarPopupMenu::SetVerticalTextOffsetY(int value) {
  FVerticalTextOffsetY = value;
  update();
}

void TBarPopupMenu::Popup(int x, int y) { popup(QPoint(x, y)); }

int TBarPopupMenu::TotalHeight() const {
  int total = 0;
  for (QAction* a : actions()) {
    if (!a->isVisible() || IsHidden(a)) continue;
    const QRect r = actionGeometry(a);
    if (r.isValid()) total += r.height();
  }
  return total;
}

bool TBarPopupMenu::event(QEvent* e) {
  if (e->type() == QEvent::Show) {
    // Every showing starts a fresh band.
    FTotalHeight = 0;
    FBarDrawn = false;
  }
  return QMenu::event(e);
}

void TBarPopupMenu::paintEvent(QPaintEvent* e) {
  QMenu::paintEvent(e);
  QPainter p(this);
  PaintHiddenItems(p, e->region());
  if (FBarVisible) PaintBand(p, e->region());
}

// Placeholder items: paint the menu's empty background over what the menu drew.
void TBarPopupMenu::PaintHiddenItems(QPainter& p, const QRegion& area) {
  for (QAction* a : actions()) {
    if (!a->isVisible() || !IsHidden(a)) continue;
    const QRect r = actionGeometry(a);
    if (!r.isValid() || !area.intersects(r)) continue;
    p.save();
    p.setClipRect(r);
    QStyleOptionMenuItem opt;
    opt.initFrom(this);
    opt.state = QStyle::State_None;
    opt.checkType = QStyleOptionMenuItem::NotCheckable;
    opt.rect = rect();
    opt.menuRect = rect();
    style()->drawPrimitive(QStyle::PE_PanelMenu, &opt, &p, this);
    opt.menuItemType = QStyleOptionMenuItem::EmptyArea;
    style()->drawControl(QStyle::CE_MenuEmptyArea, &opt, &p, this);
    p.restore();
  }
}

void TBarPopupMenu::PaintBand(QPainter& p, const QRegion& area) {
  // Row 0 of the band is the top of the first laid-out item; the band's
  // left edge lies BarWidth to the left of the items.
  int firstRow = -1, itemsLeft = 0;
  QRegion spanned;
  FTotalHeight = 0;
  for (QAction* a : actions()) {
    if (!a->isVisible()) continue;
    const QRect r = actionGeometry(a);
    if (!r.isValid()) continue;
    if (firstRow < 0 || r.top() < firstRow) firstRow = r.top();
    itemsLeft = r.left();
    if (IsHidden(a)) continue;
    FTotalHeight += r.height();
    // The text may use the item's full width and one row below it.
    spanned += QRect(0, r.top(), width(), r.height() + 1);
  }
  if (FTotalHeight <= 0) return;  // nothing spanned: nothing to paint
  const int bandLeft = itemsLeft - FBarWidth;

  p.save();
  p.translate(bandLeft, 0);
  for (QAction* a : actions()) {
    if (!a->isVisible() || IsHidden(a)) continue;
    const QRect r = actionGeometry(a);
    if (r.isValid() && area.intersects(QRect(bandLeft, r.top(), FBarWidth, r.height())))
      PaintBandRows(p, r.top(), r.bottom(), firstRow);
  }
  p.setClipRegion(spanned.translated(-bandLeft, 0).intersected(area.translated(-bandLeft, 0)));
  PaintBandText(p, firstRow);
  p.setClipping(false);
  PaintBandPicture(p, firstRow);
  p.restore();
  FBarDrawn = true;
}

// Rows top..bottom (inclusive) of the band, in the band's own x.
void TBarPopupMenu::PaintBandRows(QPainter& p, int top, int bottom, int firstRow) const {
  const int stripWidth = FBarWidth - 2;
  if (stripWidth <= 0) return;
  if (FGradientStart == FGradientEnd) {
    p.fillRect(QRect(0, top, stripWidth, bottom - top + 1), FGradientStart);
    return;
  }
  const QColor s = FGradientStart.toRgb(), e = FGradientEnd.toRgb();
  for (int y = top; y <= bottom; ++y) {
    // Rows below the band's height (after a placeholder item) keep the end colour.
    const int row = std::clamp(y - firstRow, 0, FTotalHeight);
    const QColor c(Channel(s.red(), e.red(), row, FTotalHeight),
                   Channel(s.green(), e.green(), row, FTotalHeight),
                   Channel(s.blue(), e.blue(), row, FTotalHeight));
    p.fillRect(QRect(0, y, stripWidth, 1), c);
  }
}

// The text runs upward from near the band's bottom, centred across the band.
void TBarPopupMenu::PaintBandText(QPainter& p, int firstRow) const {
  if (FVerticalText.isEmpty()) return;
  const QFontMetrics fm(FVerticalFont);
  const int th = fm.height();
  const int x = int(std::nearbyint((FBarWidth - th) / 2.0 - 0.5)) - 1;
  int y = firstRow + FTotalHeight + FVerticalTextOffsetY;
  if (!FBitmap.isNull() && FBitmapVertAlignment == bvaBottom) y -= FBitmap.height();
  p.save();
  p.setFont(FVerticalFont);
  p.setPen(FVerticalFontColor);
  p.translate(x, y);
  p.rotate(-90);
  p.drawText(0, fm.ascent(), FVerticalText);
  p.restore();
}

void TBarPopupMenu::PaintBandPicture(QPainter& p, int firstRow) const {
  if (FBitmap.isNull()) return;
  const int w = FBitmap.width(), h = FBitmap.height();
  int top = 0, left = 0;
  switch (FBitmapVertAlignment) {
    case bvaTop: top = FBitmapOffsetY; break;
    case bvaBottom: top = FTotalHeight + FBitmapOffsetY - h; break;
    case bvaMiddle: top = (FTotalHeight - h) / 2 + FBitmapOffsetY; break;
  }
  switch (FBitmapHorzAlignment) {
    case bhaLeft: left = FBitmapOffsetX; break;
    case bhaRight: left = FBarWidth - 2 + FBitmapOffsetX - w; break;
    case bhaCenter: left = (FBarWidth - 2 - w) / 2 + FBitmapOffsetX; break;
  }
  p.drawPixmap(left, firstRow + top, TransparentBitmap());
}

// The picture with its bottom-left pixel's colour made see-through.
QPixmap TBarPopupMenu::TransparentBitmap() const {
  if (!Transparent()) return FBitmap;
  const QColor key = FBitmap.toImage().pixelColor(0, FBitmap.height() - 1);
  QPixmap out = FBitmap;
  out.setMask(FBitmap.createMaskFromColor(key, Qt::MaskInColor));
  return out;
}
