// Reading skin descriptions: sections, value forms, key grids and checks.
#include "tools/SkinDesc.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>

namespace {

const int KMaxElements = 49;  // the skin loader creates at most 49 of a kind

[[noreturn]] void Fail(const QString& where, int line, const QString& what) {
  throw EDescError(QStringLiteral("%1:%2: %3").arg(where).arg(line).arg(what).toStdString());
}

// Context for messages about one value.
struct TAt {
  QString File;
  int Line;
  [[noreturn]] void Fail(const QString& what) const { ::Fail(File, Line, what); }
};

QList<int> Ints(const QString& text, int count, const TAt& at, int maxCount = -1) {
  const QStringList parts = text.split(u',');
  if (parts.size() < count || parts.size() > (maxCount < 0 ? count : maxCount))
    at.Fail(QStringLiteral("expected %1 numbers separated by commas: '%2'").arg(count).arg(text));
  QList<int> result;
  for (const QString& p : parts) {
    bool ok = false;
    const int v = p.trimmed().toInt(&ok);
    if (!ok) at.Fail(QStringLiteral("not a number: '%1'").arg(p));
    result.append(v);
  }
  return result;
}

QPoint Point(const QString& text, const TAt& at) {
  const QList<int> v = Ints(text, 2, at);
  return {v[0], v[1]};
}

QColor Colour(const QString& text, const TAt& at, bool allowNone = false) {
  const QColor c = ParseColour(text, allowNone);
  if (!c.isValid() && !(allowNone && text.trimmed().compare(u"none", Qt::CaseInsensitive) == 0))
    at.Fail(QStringLiteral("not a colour (#RRGGBB): '%1'").arg(text));
  return c;
}

TFill Fill(const QString& text, const TAt& at) {
  const QStringList parts = text.split(u'/');
  if (parts.size() > 2) at.Fail(QStringLiteral("a fill is #RRGGBB or #RRGGBB/#RRGGBB"));
  TFill f;
  f.Top = Colour(parts[0], at);
  f.Bottom = parts.size() == 2 ? Colour(parts[1], at) : f.Top;
  return f;
}

// "round x,y,w,h,r", "rect x,y,w,h" or "ellipse x,y,w,h".
TShape Shape(const QString& kind, const QString& coords, const TAt& at) {
  TShape s;
  QList<int> v;
  if (kind == u"round") {
    s.Kind = TShapeKind::skRound;
    v = Ints(coords, 5, at);
    s.Radius = v[4];
  } else if (kind == u"rect" || kind == u"ellipse") {
    s.Kind = kind == u"rect" ? TShapeKind::skRect : TShapeKind::skEllipse;
    v = Ints(coords, 4, at);
  } else {
    at.Fail(QStringLiteral("unknown shape '%1' (rect, round, ellipse)").arg(kind));
  }
  s.Rect = QRectF(v[0], v[1], v[2], v[3]);
  if (s.Rect.width() <= 0 || s.Rect.height() <= 0) at.Fail(QStringLiteral("empty shape"));
  return s;
}

QStringList Words(const QString& text) {
  return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// "11" or "11b": a font size in points, optionally bold.
void FontSize(const QString& text, qreal& size, bool& bold, const TAt& at) {
  QString t = text.trimmed();
  bold = t.endsWith(u'b');
  if (bold) t.chop(1);
  bool ok = false;
  size = t.toDouble(&ok);
  if (!ok || size <= 0) at.Fail(QStringLiteral("not a font size: '%1'").arg(text));
}

TDecor Decor(const QString& key, const QString& value, const TAt& at) {
  TDecor d;
  const QStringList w = Words(value);
  if (key == u"panel") {
    // Panel=<look> <shape> <coords> <fill> [<edge>]
    if (w.size() < 4 || w.size() > 5)
      at.Fail(QStringLiteral("Panel=<look> <shape> <coords> <fill> [<edge>]"));
    d.Kind = TDecor::dkPanel;
    d.Look = w[0];
    static const QStringList looks = {"flat", "sunken", "raised", "glass"};
    if (!looks.contains(d.Look)) at.Fail(QStringLiteral("unknown panel look '%1'").arg(d.Look));
    d.Shape = Shape(w[1], w[2], at);
    d.Fill = Fill(w[3], at);
    if (w.size() == 5) d.Edge = Colour(w[4], at);
  } else if (key == u"text") {
    // Text=<x,y,w,h> <L|C|R> <size[b]> <colour> <text...>
    if (w.size() < 5) at.Fail(QStringLiteral("Text=<x,y,w,h> <L|C|R> <size> <colour> <text>"));
    d.Kind = TDecor::dkText;
    const QList<int> r = Ints(w[0], 4, at);
    d.Shape.Rect = QRectF(r[0], r[1], r[2], r[3]);
    const QString a = w[1].toUpper();
    if (a == u"L")
      d.Align = Qt::AlignLeft | Qt::AlignVCenter;
    else if (a == u"R")
      d.Align = Qt::AlignRight | Qt::AlignVCenter;
    else if (a == u"C")
      d.Align = Qt::AlignCenter;
    else
      at.Fail(QStringLiteral("alignment is L, C or R"));
    FontSize(w[2], d.Size, d.Bold, at);
    d.Fill.Top = d.Fill.Bottom = Colour(w[3], at);
    // The text is the rest of the line, spaces kept.
    const QRegularExpression head(QStringLiteral("^\\s*(\\S+\\s+){4}"));
    d.Text = value.mid(head.match(value).capturedLength());
  } else if (key == u"line") {
    // Line=<x1,y1,x2,y2> <colour> [<width>]
    if (w.size() < 2 || w.size() > 3)
      at.Fail(QStringLiteral("Line=<x1,y1,x2,y2> <colour> [<width>]"));
    d.Kind = TDecor::dkLine;
    const QList<int> r = Ints(w[0], 4, at);
    d.Shape.Rect = QRectF(QPointF(r[0], r[1]), QPointF(r[2], r[3]));
    d.Edge = Colour(w[1], at);
    if (w.size() == 3) d.Width = w[2].toDouble();
  } else {
    at.Fail(QStringLiteral("unknown decoration '%1' (Panel, Text, Line)").arg(key));
  }
  return d;
}

void ReadSkin(const TDescSection& s, TSkinDesc& desc, const QString& file) {
  for (int i = 0; i < s.Values.size(); ++i) {
    const QString key = s.Values[i].first.toLower();
    const QString& v = s.Values[i].second;
    const TAt at{file, s.Lines[i]};
    if (key == u"name")
      desc.Name = v;
    else if (key == u"size") {
      const QPoint size = Point(v, at);
      desc.Size = QSize(size.x(), size.y());
    } else if (key == u"font")
      desc.Family = v;
    else if (key == u"shape" || key == u"cut") {
      const QStringList w = Words(v);
      if (w.size() != 2) at.Fail(QStringLiteral("%1=<shape> <coords>").arg(s.Values[i].first));
      (key == u"shape" ? desc.Shapes : desc.Cuts).append(Shape(w[0], w[1], at));
    } else if (key == u"body")
      desc.Body = Fill(v, at);
    else if (key == u"edge")
      desc.Edge = Colour(v, at, true);
    else if (key == u"edgewidth")
      desc.EdgeWidth = v.toDouble();
    else if (key == u"bevel")
      desc.Bevel = Colour(v, at, true);
    else if (key == u"window")
      desc.Window = Colour(v, at);
    else if (key == u"transparent")
      desc.Transparent = Colour(v, at);
    else if (key == u"accent")
      desc.Accent = Colour(v, at, true);
    else
      at.Fail(QStringLiteral("unknown key '%1' in [Skin]").arg(s.Values[i].first));
  }
}

TStyle ReadStyle(const TDescSection& s, const QString& file) {
  TStyle st;
  for (int i = 0; i < s.Values.size(); ++i) {
    const QString key = s.Values[i].first.toLower();
    const QString& v = s.Values[i].second;
    const TAt at{file, s.Lines[i]};
    if (key == u"face")
      st.Face = Fill(v, at);
    else if (key == u"text")
      st.Text = Colour(v, at);
    else if (key == u"edge")
      st.Edge = Colour(v, at, true);
    else if (key == u"shadow")
      st.Shadow = Colour(v, at, true);
    else if (key == u"radius")
      st.Radius = v.toDouble();
    else if (key == u"font")
      FontSize(v, st.FontSize, st.Bold, at);
    else if (key == u"family")
      st.Family = v;
    else if (key == u"led")
      st.Led = Colour(v, at);
    else if (key == u"ledoff")
      st.LedOff = Colour(v, at);
    else if (key == u"hover")
      st.Hover = Colour(v, at, true);
    else
      at.Fail(QStringLiteral("unknown key '%1' in a style").arg(s.Values[i].first));
  }
  return st;
}

// Places the keys of one grid: rows of tokens "Name[*cols[xrows]][:style]",
// "." for an empty cell; a key spanning rows keeps its cells in later rows.
void ReadGrid(const TDescSection& s, const QMap<QString, QString>& captions, TSkinDesc& desc,
              const QString& file) {
  const TAt at0{file, s.Line};
  const QString kind = s.Value("Kind", "button").toLower();
  if (kind != u"button" && kind != u"check") at0.Fail(QStringLiteral("Kind is button or check"));
  if (!s.Has("Origin") || !s.Has("Cell")) at0.Fail(QStringLiteral("a grid needs Origin and Cell"));
  const QPoint origin = Point(s.Value("Origin"), at0);
  const QPoint cell = Point(s.Value("Cell"), at0);
  const QPoint gap = Point(s.Value("Gap", "0,0"), at0);
  const QString style = s.Value("Style");
  QSet<QPair<int, int>> used;
  int row = 0;
  for (int i = 0; i < s.Values.size(); ++i) {
    if (s.Values[i].first.compare(u"row", Qt::CaseInsensitive) != 0) continue;
    const TAt at{file, s.Lines[i]};
    int col = 0;
    for (const QString& token : Words(s.Values[i].second)) {
      while (used.contains({row, col})) ++col;
      if (token == u".") {
        ++col;
        continue;
      }
      static const QRegularExpression re(
          QStringLiteral("^([^*:]+)(?:\\*(\\d+)(?:x(\\d+))?)?(?::(\\S+))?$"));
      const QRegularExpressionMatch m = re.match(token);
      if (!m.hasMatch()) at.Fail(QStringLiteral("bad key token '%1'").arg(token));
      const int cols = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
      const int rows = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
      if (cols < 1 || rows < 1) at.Fail(QStringLiteral("bad span in '%1'").arg(token));
      TKey k;
      k.Name = m.captured(1);
      k.Caption = captions.value(k.Name, DefaultCaption(k.Name));
      k.Style = m.captured(4).isEmpty() ? style : m.captured(4);
      k.Check = kind == u"check";
      k.Rect =
          QRect(origin.x() + col * (cell.x() + gap.x()), origin.y() + row * (cell.y() + gap.y()),
                cols * cell.x() + (cols - 1) * gap.x(), rows * cell.y() + (rows - 1) * gap.y());
      for (int r = row; r < row + rows; ++r)
        for (int c = col; c < col + cols; ++c) used.insert({r, c});
      desc.Keys.append(k);
      col += cols;
    }
    ++row;
  }
}

TField ReadField(const TDescSection& s, const QString& file, bool edit) {
  TField f;
  const TAt at0{file, s.Line};
  f.Name = s.Value("Name", s.Id);
  if (!s.Has("Pos") || !s.Has("Size"))
    at0.Fail(QStringLiteral("a label or edit needs Pos and Size"));
  const QPoint pos = Point(s.Value("Pos"), at0);
  const QPoint size = Point(s.Value("Size"), at0);
  f.Rect = QRect(pos.x(), pos.y(), size.x(), size.y());
  f.Align = s.Value("Align").toUpper();
  if (!f.Align.isEmpty() && f.Align != u"L" && f.Align != u"R" && f.Align != u"C")
    at0.Fail(QStringLiteral("Align is L, R or C"));
  f.Font = s.Value("Font");
  f.Colour = Colour(s.Value("Color", "#000000"), at0);
  f.Bold = s.Value("Bold") == u"1";
  f.Background = Colour(s.Value("Background", "none"), at0, true);
  f.Border = s.Value("Border");
  f.Text = s.Value("Text");
  if (edit && f.Align.size()) at0.Fail(QStringLiteral("edits take no Align"));
  return f;
}

TSlide ReadSlide(const TDescSection& s, const QString& file) {
  TSlide b;
  const TAt at{file, s.Line};
  b.Name = s.Value("Name", s.Id);
  const QPoint pos = Point(s.Value("Pos", "0,0"), at);
  const QPoint size = Point(s.Value("Size", "0,0"), at);
  b.Rect = QRect(pos.x(), pos.y(), size.x(), size.y());
  if (s.Has("Thickness")) b.Thickness = s.Value("Thickness").toInt();
  if (b.Thickness < 0 || b.Thickness > 12) at.Fail(QStringLiteral("Thickness is 1 to 12"));
  if (s.Has("Style")) b.Style = s.Value("Style").toInt();
  if (s.Has("Style") && (b.Style < 0 || b.Style > 17)) at.Fail(QStringLiteral("Style is 0 to 17"));
  b.Colour = Colour(s.Value("Color", "none"), at, true);
  return b;
}

void Check(const TSkinDesc& d) {
  const TAt at{d.Source, 0};
  if (d.Name.isEmpty()) at.Fail(QStringLiteral("[Skin] needs a Name"));
  if (d.Size.width() <= 0 || d.Size.height() <= 0) at.Fail(QStringLiteral("[Skin] needs a Size"));
  if (d.Shapes.isEmpty()) at.Fail(QStringLiteral("[Skin] needs at least one Shape"));
  if (!d.Body.IsValid()) at.Fail(QStringLiteral("[Skin] needs a Body fill"));
  const QRect window(QPoint(0, 0), d.Size);
  QSet<QString> buttons, checks;
  int nButtons = 0, nChecks = 0;
  for (const TKey& k : d.Keys) {
    if (!d.Styles.contains(k.Style))
      at.Fail(QStringLiteral("key %1: no style '%2'").arg(k.Name, k.Style));
    if (!window.contains(k.Rect))
      at.Fail(QStringLiteral("key %1 lies outside the window").arg(k.Name));
    QSet<QString>& names = k.Check ? checks : buttons;
    if (names.contains(k.Name)) at.Fail(QStringLiteral("two elements named %1").arg(k.Name));
    names.insert(k.Name);
    ++(k.Check ? nChecks : nButtons);
  }
  if (nButtons > KMaxElements || nChecks > KMaxElements || d.Labels.size() > KMaxElements ||
      d.Edits.size() > KMaxElements || d.Slides.size() > KMaxElements)
    at.Fail(QStringLiteral("a skin holds at most %1 elements of a kind").arg(KMaxElements));
}

}  // namespace

bool TDescSection::Has(const QString& key) const {
  for (const auto& v : Values)
    if (v.first.compare(key, Qt::CaseInsensitive) == 0) return true;
  return false;
}

QString TDescSection::Value(const QString& key, const QString& def) const {
  for (const auto& v : Values)
    if (v.first.compare(key, Qt::CaseInsensitive) == 0) return v.second;
  return def;
}

QStringList TDescSection::All(const QString& key) const {
  QStringList result;
  for (const auto& v : Values)
    if (v.first.compare(key, Qt::CaseInsensitive) == 0) result.append(v.second);
  return result;
}

QColor ParseColour(const QString& text, bool allowNone) {
  const QString t = text.trimmed();
  if (allowNone && t.compare(u"none", Qt::CaseInsensitive) == 0) return {};
  static const QRegularExpression re(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
  if (!re.match(t).hasMatch()) return {};
  return QColor(t);
}

QString DefaultCaption(const QString& name) {
  static const QMap<QString, QString> captions = {
      {"Enter", "="},        {"Close", "\u00D7"},  {"Minimize", "\u2013"},
      {"Clear", "AC"},       {"Back", "\u232B"},   {"Exp", "Exp"},
      {"Pi", "\u03C0"},      {"Divide", "\u00F7"}, {"Multiply", "\u00D7"},
      {"Plus", "+"},         {"Minus", "\u2212"},  {"Point", "."},
      {"BracketL", "("},     {"BracketR", ")"},    {"Sin", "sin"},
      {"Cos", "cos"},        {"Tan", "tan"},       {"Log", "log"},
      {"Ln", "ln"},          {"Power", "x\u02B8"}, {"Power2", "x\u00B2"},
      {"Power3", "x\u00B3"}, {"Fact", "n!"},       {"And", "AND"},
      {"Or", "OR"},          {"Xor", "XOR"},       {"Mod", "MOD"},
      {"Inv", "1/x"},        {"MemSet", "MS"},     {"MemClear", "MC"},
      {"MemOut", "MR"},      {"MemPlus", "M+"},    {"MemMinus", "M\u2212"},
      {"2ndF", "2ndF"},      {"Hyp", "Hyp"},       {"Eng", "Eng"}};
  return captions.value(name, name);
}

QList<TDescSection> ReadDescSections(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    throw EDescError(QStringLiteral("%1: cannot open").arg(path).toStdString());
  QTextStream in(&file);
  in.setEncoding(QStringConverter::Utf8);
  QList<TDescSection> sections;
  int line = 0;
  while (!in.atEnd()) {
    const QString text = in.readLine().trimmed();
    ++line;
    if (text.isEmpty() || text.startsWith(u'#') || text.startsWith(u';')) continue;
    if (text.startsWith(u'[')) {
      if (!text.endsWith(u']')) Fail(path, line, QStringLiteral("unclosed section name"));
      const QStringList w = Words(text.mid(1, text.size() - 2));
      if (w.isEmpty()) Fail(path, line, QStringLiteral("empty section name"));
      sections.append(TDescSection{w[0], w.mid(1).join(u' '), line, {}, {}});
      continue;
    }
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0) Fail(path, line, QStringLiteral("expected key=value"));
    if (sections.isEmpty()) Fail(path, line, QStringLiteral("a value before the first section"));
    sections.last().Values.append({text.left(eq).trimmed(), text.mid(eq + 1).trimmed()});
    sections.last().Lines.append(line);
  }
  return sections;
}

TSkinDesc LoadSkinDesc(const QString& path) {
  const QList<TDescSection> sections = ReadDescSections(path);
  TSkinDesc desc;
  desc.Source = path;
  QMap<QString, QString> captions;
  for (const TDescSection& s : sections)
    if (s.Kind.compare(u"Captions", Qt::CaseInsensitive) == 0)
      for (const auto& v : s.Values) captions.insert(v.first, v.second);
  for (const TDescSection& s : sections) {
    const QString kind = s.Kind.toLower();
    if (kind == u"skin")
      ReadSkin(s, desc, path);
    else if (kind == u"decor") {
      for (int i = 0; i < s.Values.size(); ++i)
        desc.Decor.append(
            Decor(s.Values[i].first.toLower(), s.Values[i].second, {path, s.Lines[i]}));
    } else if (kind == u"style")
      desc.Styles.insert(s.Id, ReadStyle(s, path));
    else if (kind == u"grid")
      ReadGrid(s, captions, desc, path);
    else if (kind == u"label")
      desc.Labels.append(ReadField(s, path, false));
    else if (kind == u"edit")
      desc.Edits.append(ReadField(s, path, true));
    else if (kind == u"slidebar")
      desc.Slides.append(ReadSlide(s, path));
    else if (kind != u"captions")
      Fail(path, s.Line, QStringLiteral("unknown section [%1]").arg(s.Kind));
  }
  if (desc.Name.isEmpty()) desc.Name = QFileInfo(path).completeBaseName();
  if (!desc.Window.isValid()) desc.Window = desc.Body.Bottom;
  Check(desc);
  return desc;
}
