// The skin file text and the files of a generated skin.
#include "tools/SkinWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include "skin/SkinPictures.h"
#include "tools/Outline.h"
#include "tools/SkinPaint.h"

namespace {

const char* const KBackgroundFile = "Background.bmp";
const char* const KOutlineFile = "Outline.rgn";

[[noreturn]] void Fail(const QString& what) {
  throw EDescError(what.toStdString());
}

// Colours in skin files are 0x00BBGGRR; "$" keeps them readable as hex even
// in two-part values, where an "x" would make the first number 0.
QString SkinColour(const QColor& c) {
  return QStringLiteral("$%1")
      .arg((c.blue() << 16) | (c.green() << 8) | c.red(), 6, 16, QChar(u'0'))
      .toUpper();
}

QString Pair(int a, int b) {
  return QStringLiteral("%1,%2").arg(a).arg(b);
}

// Element names may hold characters no file name should.
QString FileStem(const QString& name) {
  QString s = name;
  s.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
  return s;
}

void Save(const QImage& img, const QString& path, TWriteSummary& sum) {
  if (!img.convertToFormat(QImage::Format_RGB32).save(path, "BMP"))
    Fail(QStringLiteral("%1: cannot write").arg(path));
  sum.Bytes += QFileInfo(path).size();
  ++sum.Pictures;
}

void WriteText(const QString& path, const QString& text) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text.toUtf8()) < 0)
    Fail(QStringLiteral("%1: cannot write").arg(path));
}

void FieldKeys(QTextStream& out, const QString& prefix, const TField& f, bool edit) {
  out << prefix << "Name=" << f.Name << '\n';
  out << prefix << "Pos=" << Pair(f.Rect.x(), f.Rect.y()) << '\n';
  out << prefix << "Size=" << Pair(f.Rect.width(), f.Rect.height()) << '\n';
  if (!f.Align.isEmpty()) out << prefix << "Align=" << f.Align << '\n';
  if (!f.Font.isEmpty()) out << prefix << "Font=" << f.Font << '\n';
  out << prefix << "Color=" << SkinColour(f.Colour) << ',' << (f.Bold ? 1 : 0) << '\n';
  if (f.Background.isValid())
    out << prefix << "Background=" << SkinColour(f.Background) << '\n';
  else if (edit)
    out << prefix << "Background=" << SkinColour(Qt::white) << '\n';
  if (edit && !f.Border.isEmpty()) out << prefix << "Border=" << f.Border << '\n';
  if (!f.Text.isEmpty()) out << prefix << "Text=" << f.Text << '\n';
}

}  // namespace

QString KeyPictureName(const TKey& key, bool second, bool third) {
  if (key.Check)
    return QStringLiteral("Box_%1_%2.bmp").arg(FileStem(key.Name), second ? "On" : "Off");
  const QString state = third ? "_Down" : second ? "_Up" : "";
  return QStringLiteral("Key_%1%2.bmp").arg(FileStem(key.Name), state);
}

QString SkinFileText(const TSkinDesc& desc, const QString& pictureDir) {
  QString text;
  QTextStream out(&text);
  int buttons = 0, checks = 0;
  for (const TKey& k : desc.Keys) ++(k.Check ? checks : buttons);
  out << "; " << desc.Name << " skin of the Zumbrel calculator.\n"
      << "; Made by zumbrel-skingen from tools/skins/" << QFileInfo(desc.Source).fileName()
      << " - change that file and regenerate rather than editing this one.\n\n";
  out << "[Main]\nPictureDir=" << pictureDir << "\nPicture=" << KBackgroundFile
      << "\nMask=" << KOutlineFile << "\nBackground=" << SkinColour(desc.Window)
      << "\nButtons=" << buttons << "\nLabels=" << desc.Labels.size()
      << "\nSlideBars=" << desc.Slides.size() << "\nCheckBoxes=" << checks
      << "\nImages=0\nEdits=" << desc.Edits.size() << "\n";
  out << "\n[Buttons]\n";
  int n = 0;
  for (const TKey& k : desc.Keys) {
    if (k.Check) continue;
    const QString p = QStringLiteral("But%1").arg(++n);
    out << p << "Name=" << k.Name << '\n'
        << p << "Pos=" << Pair(k.Rect.x(), k.Rect.y()) << '\n'
        << p << "Size=" << Pair(k.Rect.width(), k.Rect.height()) << '\n'
        << p << "Default=" << KeyPictureName(k, false, false) << '\n'
        << p << "Up=" << KeyPictureName(k, true, false) << '\n'
        << p << "Down=" << KeyPictureName(k, false, true) << '\n';
  }
  out << "\n[Labels]\n";
  n = 0;
  for (const TField& f : desc.Labels) FieldKeys(out, QStringLiteral("Label%1").arg(++n), f, false);
  out << "\n[SlideBars]\n";
  n = 0;
  for (const TSlide& s : desc.Slides) {
    const QString p = QStringLiteral("SlideBar%1").arg(++n);
    out << p << "Name=" << s.Name << '\n'
        << p << "Pos=" << Pair(s.Rect.x(), s.Rect.y()) << '\n'
        << p << "Size=" << Pair(s.Rect.width(), s.Rect.height()) << '\n';
    if (s.Thickness > 0) out << p << "Thickness=" << s.Thickness << '\n';
    if (s.Style >= 0) out << p << "Style=" << s.Style << '\n';
    if (s.Colour.isValid()) out << p << "Color=" << SkinColour(s.Colour) << '\n';
  }
  out << "\n[CheckBoxes]\n";
  n = 0;
  for (const TKey& k : desc.Keys) {
    if (!k.Check) continue;
    const QString p = QStringLiteral("CheckBox%1").arg(++n);
    out << p << "Name=" << k.Name << '\n'
        << p << "Pos=" << Pair(k.Rect.x(), k.Rect.y()) << '\n'
        << p << "Size=" << Pair(k.Rect.width(), k.Rect.height()) << '\n'
        << p << "Unchecked=" << KeyPictureName(k, false, false) << '\n'
        << p << "Checked=" << KeyPictureName(k, true, false) << '\n';
  }
  out << "\n[Images]\n\n[Edits]\n";
  n = 0;
  for (const TField& f : desc.Edits) FieldKeys(out, QStringLiteral("Edit%1").arg(++n), f, true);
  out.flush();
  return text;
}

namespace {

// Every picture of the skin at `scale` (above 1), beside those at scale 1.
void SaveScaled(const TSkinDesc& desc, const QDir& pics, int scale, const std::vector<TRect>& rects,
                TWriteSummary& sum) {
  QRegion outline;
  for (const TRect& r : rects) outline += QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  const auto name = [scale](const QString& file) {
    return QString::fromStdString(ScaledPictureName(file.toStdString(), scale));
  };
  const QImage background = RenderBackground(desc, scale, outline);
  Save(ComposeWindow(desc, background, scale), pics.filePath(name(KBackgroundFile)), sum);
  for (const TKey& k : desc.Keys) {
    const QList<QPair<TKeyState, QString>> states =
        k.Check ? QList<QPair<TKeyState, QString>>{{TKeyState::ksUnchecked, KeyPictureName(k, false, false)},
                                                  {TKeyState::ksChecked, KeyPictureName(k, true, false)}}
                : QList<QPair<TKeyState, QString>>{{TKeyState::ksNormal, KeyPictureName(k, false, false)},
                                                  {TKeyState::ksHover, KeyPictureName(k, true, false)},
                                                  {TKeyState::ksDown, KeyPictureName(k, false, true)}};
    for (const auto& [state, file] : states)
      Save(RenderKey(desc, background, k, state, scale), pics.filePath(name(file)), sum);
  }
}

}  // namespace

TWriteSummary WriteSkin(const TSkinDesc& desc, const QString& skinsDir, const QString& previewDir,
                        const QList<int>& scales) {
  TWriteSummary sum;
  const QString pictureDir = FileStem(desc.Name);
  QDir dir(skinsDir);
  if (!dir.mkpath(pictureDir))
    Fail(QStringLiteral("%1: cannot create").arg(dir.filePath(pictureDir)));
  QDir pics(dir.filePath(pictureDir));
  for (const QString& old : pics.entryList({"*.bmp", "*.rgn"}, QDir::Files)) pics.remove(old);

  const QImage background = RenderBackground(desc);
  const QImage window = ComposeWindow(desc, background);
  Save(window, pics.filePath(KBackgroundFile), sum);
  for (const TKey& k : desc.Keys) {
    if (k.Check) {
      Save(RenderKey(desc, background, k, TKeyState::ksUnchecked),
           pics.filePath(KeyPictureName(k, false, false)), sum);
      Save(RenderKey(desc, background, k, TKeyState::ksChecked),
           pics.filePath(KeyPictureName(k, true, false)), sum);
    } else {
      Save(RenderKey(desc, background, k, TKeyState::ksNormal),
           pics.filePath(KeyPictureName(k, false, false)), sum);
      Save(RenderKey(desc, background, k, TKeyState::ksHover),
           pics.filePath(KeyPictureName(k, true, false)), sum);
      Save(RenderKey(desc, background, k, TKeyState::ksDown),
           pics.filePath(KeyPictureName(k, false, true)), sum);
    }
  }
  const std::vector<TRect> rects = OutlineRects(window, desc.Transparent.rgb());
  const QString outline = pics.filePath(KOutlineFile);
  if (!WriteOutlineFile(outline, rects)) Fail(QStringLiteral("%1: cannot write").arg(outline));
  sum.OutlineRects = static_cast<int>(rects.size());
  sum.Bytes += QFileInfo(outline).size();
  for (const int scale : scales)
    if (scale > 1) SaveScaled(desc, pics, scale, rects, sum);

  const QString skn = dir.filePath(desc.Name + ".skn");
  WriteText(skn, SkinFileText(desc, pictureDir));
  sum.Bytes += QFileInfo(skn).size();

  if (!previewDir.isEmpty()) {
    QDir().mkpath(previewDir);
    const QString preview = QDir(previewDir).filePath(desc.Name + "-preview.png");
    const QString states = QDir(previewDir).filePath(desc.Name + "-states.png");
    if (!RenderPreview(desc, window).save(preview, "PNG") ||
        !RenderStateSheet(desc, background).save(states, "PNG"))
      Fail(QStringLiteral("%1: cannot write the previews").arg(previewDir));
  }
  return sum;
}
