// The skin description that zumbrel-skingen renders: a small INI-like text
// (tools/skins/<Name>.desc) read into plain structures. Used only by the skin
// authoring tools; the calculator never reads these files.
#pragma once

#include <QColor>
#include <QList>
#include <QMap>
#include <QPair>
#include <QRect>
#include <QString>
#include <stdexcept>

// A fault in a description file, with the file and line it was found on.
class EDescError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One "[Kind Id]" section with its "key=value" lines in file order. Keys may
// repeat (Row=, Shape=, Panel=, ...); lookups ignore letter case.
struct TDescSection {
  QString Kind;
  QString Id;
  int Line = 0;
  QList<QPair<QString, QString>> Values;
  QList<int> Lines;  // the line of each value, for messages

  bool Has(const QString& key) const;
  QString Value(const QString& key, const QString& def = QString()) const;
  QStringList All(const QString& key) const;
};

// A vertical gradient; a plain colour has Top == Bottom.
struct TFill {
  QColor Top, Bottom;
  bool IsValid() const { return Top.isValid(); }
};

enum class TShapeKind { skRect, skRound, skEllipse };

struct TShape {
  TShapeKind Kind = TShapeKind::skRect;
  QRectF Rect;
  qreal Radius = 0;
};

// Drawn into the background picture, in file order.
struct TDecor {
  enum TKind { dkPanel, dkText, dkLine } Kind = dkPanel;
  QString Look;  // panels: flat, sunken, raised, glass
  TShape Shape;
  TFill Fill;
  QColor Edge;  // invalid: no outline
  // Texts: the box, its alignment and font; lines: Shape.Rect holds the two ends.
  Qt::Alignment Align = Qt::AlignCenter;
  QString Family;
  qreal Size = 10;
  bool Bold = false;
  qreal Width = 1;
  QString Text;
};

// How a key or a toggle looks; "Led" colours matter for toggles only.
struct TStyle {
  TFill Face;
  QColor Text = Qt::black;
  QColor Edge;
  QColor Shadow;
  qreal Radius = 4;
  qreal FontSize = 11;
  bool Bold = false;
  QString Family;
  QColor Led, LedOff;
  QColor Hover;  // ring shown while the pointer is over the key; invalid: the skin's Accent
};

// One key or toggle placed by a grid.
struct TKey {
  QString Name;
  QString Caption;
  QString Style;
  QRect Rect;
  bool Check = false;
};

// A skin label or edit, written to the skin file nearly as given.
struct TField {
  QString Name;
  QRect Rect;
  QString Align;  // L, R, C or empty
  QString Font;   // "Family,size", verbatim
  QColor Colour = Qt::black;
  bool Bold = false;
  QColor Background;  // invalid: transparent (labels) / none given (edits)
  QString Border;     // edits: "1", "0" or empty
  QString Text;
};

struct TSlide {
  QString Name;
  QRect Rect;
  int Thickness = 0;  // 0: not written
  int Style = -1;     // -1: not written
  QColor Colour;      // invalid: the bar's colour follows its position
};

struct TSkinDesc {
  QString Name;
  QString Source;  // the description's path, for messages
  QSize Size;
  QString Family = QStringLiteral("DejaVu Sans");
  QList<TShape> Shapes, Cuts;
  TFill Body;
  QColor Edge;
  qreal EdgeWidth = 1;
  QColor Bevel;
  QColor Window;
  QColor Transparent = QColor(255, 0, 255);
  QColor Accent;  // hover ring of keys whose style names none
  QList<TDecor> Decor;
  QMap<QString, TStyle> Styles;
  QList<TKey> Keys;
  QList<TField> Labels, Edits;
  QList<TSlide> Slides;
};

// Reads the sections of a description file; throws EDescError.
QList<TDescSection> ReadDescSections(const QString& path);

// Reads and checks a whole description; throws EDescError with file and line.
TSkinDesc LoadSkinDesc(const QString& path);

// The caption a key or toggle carries when the description gives none.
QString DefaultCaption(const QString& name);

// "#RRGGBB" (or "none", giving an invalid colour when allowNone).
QColor ParseColour(const QString& text, bool allowNone = false);
