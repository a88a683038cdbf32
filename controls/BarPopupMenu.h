// TBarPopupMenu: a popup menu with a band down its left edge: a vertical colour
// gradient, a line of text written upward and an optional small picture. The
// items are drawn by the style, shifted right by the band's width. Submenus are
// ordinary menus without a band. GUI layer; used by the main window.
#pragma once

#include <QColor>
#include <QFont>
#include <QMenu>
#include <QPixmap>
#include <QString>

enum TBitmapVertAlignment : int { bvaTop = 0, bvaBottom = 1, bvaMiddle = 2 };
enum TBitmapHorzAlignment : int { bhaLeft = 0, bhaRight = 1, bhaCenter = 2 };

class TBarPopupMenu : public QMenu {
  Q_OBJECT

 public:
  explicit TBarPopupMenu(QWidget* parent = nullptr);
  ~TBarPopupMenu() override;

  // Optional picture in the band (none by default); assigning copies it.
  QPixmap Bitmap() const { return FBitmap; }
  void SetBitmap(const QPixmap& bitmap);
  // Width of the band; the painted strip is BarWidth - 2 wide, the last two
  // pixels are a gap before the items. Default 31; negative values are ignored.
  int BarWidth() const { return FBarWidth; }
  void SetBarWidth(int value);
  int BitmapOffsetX() const { return FBitmapOffsetX; }
  void SetBitmapOffsetX(int value);
  int BitmapOffsetY() const { return FBitmapOffsetY; }
  void SetBitmapOffsetY(int value);
  TBitmapVertAlignment BitmapVertAlignment() const { return FBitmapVertAlignment; }
  void SetBitmapVertAlignment(TBitmapVertAlignment value);
  TBitmapHorzAlignment BitmapHorzAlignment() const { return FBitmapHorzAlignment; }
  void SetBitmapHorzAlignment(TBitmapHorzAlignment value);
  // Off: a plain menu, no band and no shift.
  bool BarVisible() const { return FBarVisible; }
  void SetBarVisible(bool value);
  // Colour at the bottom (default black) and at the top (default blue).
  QColor GradientEnd() const { return FGradientEnd; }
  void SetGradientEnd(const QColor& value);
  QColor GradientStart() const { return FGradientStart; }
  void SetGradientStart(const QColor& value);
  // The picture's colour at its bottom-left pixel shows the band through.
  // Reads false and ignores writes while there is no picture. Default true.
  bool Transparent() const;
  void SetTransparent(bool value);
  // Font of the band text (default "Tahoma", 14 points, white, bold italic);
  // the font's colour is VerticalFontColor.
  QFont VerticalFont() const { return FVerticalFont; }
  void SetVerticalFont(const QFont& font);
  QColor VerticalFontColor() const { return FVerticalFontColor; }
  void SetVerticalFontColor(const QColor& color);
  // The band text; defaults to the application's display name.
  QString VerticalText() const { return FVerticalText; }
  void SetVerticalText(const QString& text);
  // Start of the text, measured from the bottom of the band (default -6).
  int VerticalTextOffsetY() const { return FVerticalTextOffsetY; }
  void SetVerticalTextOffsetY(int value);

  // Shows the menu at screen point (x, y), starting a fresh band.
  void Popup(int x, int y);

  // Sum of the heights of the items the band spans (visible items whose
  // caption is not "#"), as laid out now.
  int TotalHeight() const;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void UpdateMargins();
  void PaintHiddenItems(QPainter& p, const QRegion& area);
  void PaintBand(QPainter& p, const QRegion& area);
  void PaintBandRows(QPainter& p, int top, int bottom, int firstRow) const;
  void PaintBandText(QPainter& p, int firstRow) const;
  void PaintBandPicture(QPainter& p, int firstRow) const;
  QPixmap TransparentBitmap() const;

  QPixmap FBitmap;
  int FBarWidth = 31;
  int FBitmapOffsetX = 0;
  int FBitmapOffsetY = 0;
  TBitmapVertAlignment FBitmapVertAlignment = bvaBottom;
  TBitmapHorzAlignment FBitmapHorzAlignment = bhaLeft;
  bool FBarVisible = true;
  QColor FGradientEnd = QColor(0, 0, 0);
  QColor FGradientStart = QColor(0, 0, 255);
  bool FTransparent = true;
  QFont FVerticalFont;
  QColor FVerticalFontColor = QColor(255, 255, 255);
  QString FVerticalText;
  int FVerticalTextOffsetY = -6;
  int FTotalHeight = 0;
  bool FBarDrawn = false;
};
