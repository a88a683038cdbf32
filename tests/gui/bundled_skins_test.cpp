// The skins that ship with the calculator: every picture they name is there
// and decodes, the loader builds every element with pictures of the element's
// size, the fallback skin "Windows" has every element the calculator binds,
// and the committed files are what their descriptions in tools/skins render.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <cmath>

#include "controls/CoolForm.h"
#include "controls/ImgBox.h"
#include "controls/ImgBtn.h"
#include "controls/SlideBar.h"
#include "platform/IniFile.h"
#include "platform/Region.h"
#include "skin/SkinElements.h"
#include "skin/SkinPictures.h"
#include "skin/skin.h"

namespace {

const QString KSkinsDir = QStringLiteral(ZUMBREL_SOURCE_DIR "/data/Skins");

const QStringList KBoundButtons = {
    "Enter",  "Close",    "Clear",    "Back", "Minimize", "0",      "1",        "2",    "3",
    "4",      "5",        "6",        "7",    "8",        "9",      "A",        "B",    "C",
    "D",      "E",        "F",        "Exp",  "Pi",       "Divide", "Multiply", "Plus", "Minus",
    "Point",  "BracketL", "BracketR", "Sin",  "Cos",      "Tan",    "Log",      "Ln",   "Power",
    "Power2", "Power3",   "Fact",     "And",  "Or",       "Xor",    "Mod",      "Inv"};
const QStringList KBoundCheckBoxes = {"MemSet",   "MemClear", "MemOut", "MemPlus",
                                      "MemMinus", "2ndF",     "Hyp",    "Eng"};

QStringList BundledSkins() {
  QStringList paths;
  for (const QFileInfo& f : QDir(KSkinsDir).entryInfoList({"*.skn"}, QDir::Files, QDir::Name))
    paths.append(f.filePath());
  return paths;
}

QString PictureFolder(const QString& skinPath) {
  const IniFile ini(skinPath.toStdString());
  return QFileInfo(skinPath).dir().filePath(
      QString::fromStdString(ini.ReadString("Main", "PictureDir", "")));
}

QRegion Outline(const QString& skinPath) {
  const IniFile ini(skinPath.toStdString());
  const QString mask = QString::fromStdString(ini.ReadString("Main", "Mask", ""));
  const auto rects = ReadRegionFile(QDir(PictureFolder(skinPath)).filePath(mask).toStdString());
  return rects ? RegionFromRects(*rects) : QRegion();
}

// A window with a shape surface and a skin loaded from `path`.
struct TLoaded {
  QWidget Form;
  TCoolForm* Surface = new TCoolForm(&Form);
  TSkin Skin{&Form};
  explicit TLoaded(const QString& path) {
    Skin.SetCoolForm(Surface);
    Loaded = Skin.LoadSkin(path);
  }
  bool Loaded = false;
  TImgBtn* Button(const QString& name) const {
    for (int i = 0; i < Skin.ButtonCount(); ++i)
      if (Skin.Buttons(i)->ButtonName() == name) return Skin.Buttons(i);
    return nullptr;
  }
};

}  // namespace

TEST(BundledSkins, ThreeOrMoreShipIncludingTheFallback) {
  const QStringList skins = BundledSkins();
  EXPECT_GE(skins.size(), 3);
  EXPECT_TRUE(skins.contains(KSkinsDir + "/Windows.skn"));
}

// Reads the skin file itself: the loader skips a missing picture silently, so
// only this finds one.
TEST(BundledSkins, EveryNamedPictureExistsAndDecodesAsBitmap) {
  struct TKind {
    const char* Section;
    const char* Word;
    const char* Count;
    QStringList Pictures;
  };
  const TKind kinds[] = {{"Buttons", "But", "Buttons", {"Default", "Up", "Down"}},
                         {"CheckBoxes", "CheckBox", "CheckBoxes", {"Unchecked", "Checked"}}};
  for (const QString& path : BundledSkins()) {
    SCOPED_TRACE(path.toStdString());
    const IniFile ini(path.toStdString());
    const QDir pics(PictureFolder(path));
    const auto decodes = [&](const std::string& name) {
      SCOPED_TRACE(name);
      ASSERT_FALSE(name.empty());
      QImageReader reader(pics.filePath(QString::fromStdString(name)));
      EXPECT_EQ(reader.format(), "bmp");
      const QImage img = reader.read();
      EXPECT_FALSE(img.isNull()) << reader.errorString().toStdString();
      // Each ships its version for screens of ratio 2, of twice its size.
      QImageReader twice(pics.filePath(QString::fromStdString(ScaledPictureName(name, 2))));
      EXPECT_EQ(twice.size(), img.size() * 2) << twice.errorString().toStdString();
    };
    decodes(ini.ReadString("Main", "Picture", ""));
    for (const TKind& kind : kinds) {
      const int count = ini.ReadInteger("Main", kind.Count, 0);
      EXPECT_LE(count, TSkin::kMaxElements) << kind.Count;
      for (int n = 1; n <= count; ++n)
        for (const QString& attr : kind.Pictures)
          decodes(ini.ReadString(
              kind.Section, QStringLiteral("%1%2%3").arg(kind.Word).arg(n).arg(attr).toStdString(),
              ""));
    }
    const QImage window(
        pics.filePath(QString::fromStdString(ini.ReadString("Main", "Picture", ""))));
    const QRegion outline = Outline(path);
    EXPECT_FALSE(outline.isEmpty()) << "no outline file, or one without a region";
    EXPECT_TRUE(QRegion(window.rect()).contains(outline.boundingRect()));
  }
}

TEST(BundledSkins, LoaderBuildsEveryElementWithPicturesOfItsSize) {
  for (const QString& path : BundledSkins()) {
    SCOPED_TRACE(path.toStdString());
    TLoaded s(path);
    ASSERT_TRUE(s.Loaded);
    ASSERT_TRUE(s.Skin.Loaded());
    const QRegion outline = Outline(path);
    EXPECT_EQ(s.Form.size(), s.Surface->Picture().size());
    QStringList names;
    for (int i = 0; i < s.Skin.ButtonCount(); ++i) {
      const TImgBtn* b = s.Skin.Buttons(i);
      SCOPED_TRACE(b->ButtonName().toStdString());
      EXPECT_FALSE(names.contains(b->ButtonName()))
          << "a second button of this name is never bound";
      names.append(b->ButtonName());
      for (const QPixmap* pic : {&b->Pic(), &b->PicUp(), &b->PicDown()})
        EXPECT_EQ(pic->size(), b->size());
      EXPECT_TRUE(outline.contains(b->geometry().center()))
          << "the key lies outside the window's outline";
      for (int j = 0; j < i; ++j)
        EXPECT_FALSE(b->geometry().intersects(s.Skin.Buttons(j)->geometry()))
            << "overlaps " << s.Skin.Buttons(j)->ButtonName().toStdString();
    }
    for (int i = 0; i < s.Skin.CheckBoxCount(); ++i) {
      const TImgCheckBox* c = s.Skin.CheckBoxes(i);
      SCOPED_TRACE(c->CheckBoxName().toStdString());
      EXPECT_EQ(c->PicChecked().size(), c->size());
      EXPECT_EQ(c->PicUnchecked().size(), c->size());
      EXPECT_TRUE(outline.contains(c->geometry().center()));
    }
    // The calculator needs its display and its expression field in every skin.
    EXPECT_NE(s.Skin.FindLabel("Result"), nullptr);
    EXPECT_NE(s.Skin.FindEdit("Expression"), nullptr);
    EXPECT_NE(s.Button("Enter"), nullptr);
  }
}

TEST(BundledSkins, WindowsHasEveryElementTheCalculatorBinds) {
  TLoaded s(KSkinsDir + "/Windows.skn");
  ASSERT_TRUE(s.Loaded);
  for (const QString& name : KBoundButtons)
    EXPECT_NE(s.Button(name), nullptr) << name.toStdString();
  for (const QString& name : KBoundCheckBoxes)
    EXPECT_NE(s.Skin.FindCheckBox(name), nullptr) << name.toStdString();
  const TSkinEdit* expression = s.Skin.FindEdit("Expression");
  ASSERT_NE(expression, nullptr);
  EXPECT_GT(expression->width(), 0);
  EXPECT_NE(s.Skin.FindLabel("Result"), nullptr);
}

TEST(BundledSkins, OutlinesShapeTheWindows) {
  // Windows rounds its corners; Midnight is clearly not a rectangle.
  struct TRow {
    const char* Skin;
    double MaxFilled;  // outline area over the picture's area
  };
  for (const TRow& row : {TRow{"Windows", 1.0}, TRow{"Midnight", 0.95}}) {
    SCOPED_TRACE(row.Skin);
    const QString path = KSkinsDir + "/" + row.Skin + ".skn";
    const QRegion outline = Outline(path);
    const QImage window(QDir(PictureFolder(path)).filePath("Background.bmp"));
    ASSERT_FALSE(window.isNull());
    const QRect r = window.rect();
    for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
      EXPECT_FALSE(outline.contains(corner));
    EXPECT_TRUE(outline.contains(r.center()));
    double area = 0;
    for (const QRect& rect : outline) area += double(rect.width()) * rect.height();
    EXPECT_LT(area / (double(r.width()) * r.height()), row.MaxFilled);
  }
}

TEST(BundledSkins, ResultDisplayHoldsAFullLengthResult) {
  // 1/3 shows with 18 significant digits: the longest plain decimal result.
  const QString longest = QStringLiteral("-0.333333333333333333");
  for (const QString& path : BundledSkins()) {
    SCOPED_TRACE(path.toStdString());
    TLoaded s(path);
    ASSERT_TRUE(s.Loaded);
    const TSkinLabel* result = s.Skin.FindLabel("Result");
    ASSERT_NE(result, nullptr);
    EXPECT_LE(QFontMetrics(result->font()).horizontalAdvance(longest), result->width());
    EXPECT_GE(result->font().pointSize(), 12);
  }
}

TEST(BundledSkins, MidnightHasASlideBarAndARateField) {
  TLoaded s(KSkinsDir + "/Midnight.skn");
  ASSERT_TRUE(s.Loaded);
  ASSERT_GE(s.Skin.SlideBarCount(), 1);
  EXPECT_GT(s.Skin.SlideBars(0)->width(), s.Skin.SlideBars(0)->height());
  const TSkinEdit* rate = s.Skin.FindEdit("Rate");
  ASSERT_NE(rate, nullptr);
  EXPECT_EQ(rate->text(), "0.5");
  EXPECT_TRUE(rate->isVisibleTo(&s.Form));
}

TEST(BundledSkins, PocketBuildsTheExpressionOutOfSight) {
  TLoaded s(KSkinsDir + "/Pocket.skn");
  ASSERT_TRUE(s.Loaded);
  const TSkinEdit* expression = s.Skin.FindEdit("Expression");
  ASSERT_NE(expression, nullptr);
  EXPECT_EQ(expression->width(), 0);
  const TSkinLabel* result = s.Skin.FindLabel("Result");
  ASSERT_NE(result, nullptr);
  EXPECT_GE(result->height(), 40);
  EXPECT_GE(result->font().pointSize(), 14);
}

// The outline tool, given only a skin's window picture, must write the outline
// that ships with it: the corners carry the transparent colour, and no pixel
// inside the window does.
TEST(BundledSkins, OutlineToolReproducesEachOutlineFromItsPicture) {
  const QString tool = QStringLiteral(ZUMBREL_BIN_DIR "/zumbrel-outline");
  if (!QFileInfo::exists(tool)) GTEST_SKIP() << "zumbrel-outline is not built";
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  for (const QString& path : BundledSkins()) {
    SCOPED_TRACE(path.toStdString());
    const IniFile ini(path.toStdString());
    const QDir pics(PictureFolder(path));
    const QString written = out.filePath(QFileInfo(path).completeBaseName() + ".rgn");
    QProcess run;
    run.start(tool, {pics.filePath(QString::fromStdString(ini.ReadString("Main", "Picture", ""))),
                     written});
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    const auto made = ReadRegionFile(written.toStdString());
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made, ReadRegionFile(
                        pics.filePath(QString::fromStdString(ini.ReadString("Main", "Mask", "")))
                            .toStdString()));
  }
}

// A faulty description stops the generator with the file and line of the
// fault, and no skin file is written for it.
TEST(BundledSkins, GeneratorRejectsFaultyDescriptions) {
  const QString generator = QStringLiteral(ZUMBREL_BIN_DIR "/zumbrel-skingen");
  if (!QFileInfo::exists(generator)) GTEST_SKIP() << "zumbrel-skingen is not built";
  const QString head = QStringLiteral(
      "[Skin]\nName=T\nSize=100,80\nShape=round 0,0,100,80,8\nBody=#808080\n"
      "[Style k]\nFace=#FFFFFF\n");
  QStringList keys;  // one more than the loader creates
  for (int i = 1; i <= 50; ++i) keys.append(QStringLiteral("k%1").arg(i));
  const QString fifty = keys.join(u' ');
  struct TRow {
    QString Body;
    QString Message;
  };
  const TRow rows[] = {
      {"[Grid g]\nOrigin=0,0\nCell=20,20\nStyle=nostyle\nRow=Enter\n", "no style 'nostyle'"},
      {"[Grid g]\nOrigin=90,0\nCell=20,20\nStyle=k\nRow=Enter\n", "outside the window"},
      {"[Grid g]\nOrigin=0,0\nCell=20,20\nStyle=k\nRow=Enter Enter\n", "two elements named Enter"},
      {"[Grid g]\nOrigin=0,0\nCell=1,1\nStyle=k\nRow=" + fifty + "\n", "at most 49 elements"},
      {"[Decor]\nPanel=sunken round 1,1,10 #FFFFFF\n", ":9: expected 5 numbers"},
      {"[Label r]\nPos=1,1\nSize=10,10\nColor=red\n", "not a colour"},
      {"[SlideBar s]\nPos=1,1\nSize=50,10\nStyle=18\n", "Style is 0 to 17"},
      {"[Skin2]\n", "unknown section [Skin2]"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Body.toStdString());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile desc(dir.filePath("T.desc"));
    ASSERT_TRUE(desc.open(QIODevice::WriteOnly));
    desc.write((head + row.Body).toUtf8());
    desc.close();
    QProcess run;
    run.start(generator, {"--out", dir.filePath("out"), desc.fileName()});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 1);
    const QString err = QString::fromUtf8(run.readAllStandardError());
    EXPECT_TRUE(err.contains(row.Message)) << err.toStdString();
    EXPECT_TRUE(err.contains("T.desc:")) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out/T.skn")));
  }
}

// Mean difference per colour channel, 0..255; -1 when the sizes differ.
static double MeanDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.isNull()) return -1;
  const QImage x = a.convertToFormat(QImage::Format_RGB32),
               y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int row = 0; row < x.height(); ++row) {
    const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col)
      sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col])) +
             std::abs(qBlue(p[col]) - qBlue(q[col]));
  }
  return sum / (3.0 * x.width() * x.height());
}

TEST(BundledSkins, CommittedFilesAreWhatTheirDescriptionsRender) {
  const QString generator = QStringLiteral(ZUMBREL_BIN_DIR "/zumbrel-skingen");
  if (!QFileInfo::exists(generator)) GTEST_SKIP() << "zumbrel-skingen is not built";
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  QStringList args = {"--out", out.path()};
  for (const QFileInfo& f :
       QDir(ZUMBREL_SOURCE_DIR "/tools/skins").entryInfoList({"*.desc"}, QDir::Files))
    args.append(f.filePath());
  QProcess run;
  run.start(generator, args);
  ASSERT_TRUE(run.waitForFinished(120000));
  ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

  const QStringList skins = QDir(out.path()).entryList({"*.skn"}, QDir::Files, QDir::Name);
  EXPECT_EQ(skins, QDir(KSkinsDir).entryList({"*.skn"}, QDir::Files, QDir::Name));
  for (const QString& skn : skins) {
    SCOPED_TRACE(skn.toStdString());
    QFile made(out.path() + "/" + skn), committed(KSkinsDir + "/" + skn);
    ASSERT_TRUE(made.open(QIODevice::ReadOnly) && committed.open(QIODevice::ReadOnly));
    EXPECT_EQ(made.readAll(), committed.readAll())
        << "regenerate the skins (cmake --build <dir> --target skins)";
    const QDir madePics(PictureFolder(out.path() + "/" + skn)),
        pics(PictureFolder(KSkinsDir + "/" + skn));
    const QStringList files = madePics.entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, pics.entryList(QDir::Files, QDir::Name));
    for (const QString& file : files) {
      SCOPED_TRACE(file.toStdString());
      if (file.endsWith(".bmp")) {
        // Glyph edges may differ a little between font renderers; colours and
        // layout may not.
        const double diff =
            MeanDifference(QImage(madePics.filePath(file)), QImage(pics.filePath(file)));
        EXPECT_GE(diff, 0) << "sizes differ";
        EXPECT_LE(diff, 3.0);
      } else {
        EXPECT_EQ(ReadRegionFile(madePics.filePath(file).toStdString()),
                  ReadRegionFile(pics.filePath(file).toStdString()));
      }
    }
  }
}
