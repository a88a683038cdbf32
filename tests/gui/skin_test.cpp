// The skin loader on a real window: elements, their keys, limits, failures,
// lookups and reloading. Pictures are made at run time in a temporary folder.
#include "skin/skin.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "controls/CoolForm.h"
#include "controls/ImgBox.h"
#include "controls/ImgBtn.h"
#include "controls/SlideBar.h"
#include "engine/Errors.h"
#include "platform/Region.h"
#include "skin/SkinElements.h"

namespace {

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    QDir(Dir.path()).mkdir("pics");
    Bmp("pics/main.bmp", 120, 90);
    Bmp("pics/small.bmp", 80, 60);
    Bmp("pics/key.bmp", 20, 10);
    Bmp("pics/key_dn.bmp", 21, 11);
    Form.resize(10, 10);
    Skin.SetCoolForm(Cool);
  }
  void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  void Bmp(const QString& name, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    ASSERT_TRUE(img.save(Dir.filePath(name), "BMP"));
  }
  // Writes a skin file (and any other text file) and gives its path.
  QString Write(const QString& name, const QByteArray& text) {
    QFile f(Dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    return f.fileName();
  }
  bool Load(const QByteArray& text) { return Skin.LoadSkin(Write("t.skn", text)); }
  // Elements of a kind on the window right now.
  template <class T>
  int OnForm() const {
    return static_cast<int>(Form.findChildren<T*>(Qt::FindDirectChildrenOnly).size());
  }

  QTemporaryDir Dir;
  QWidget Form;
  TCoolForm* Cool = new TCoolForm(&Form);
  TSkin Skin{&Form};
};

const QByteArray kMain = "[Main]\nPictureDir=pics\nPicture=main.bmp\n";

TEST_F(SkinTest, CreatesEveryKindWithItsKeys) {
  ASSERT_TRUE(Load(kMain + R"(Background=$FF0000
Buttons=2
Labels=1
SlideBars=1
CheckBoxes=1
Images=1
Edits=1
[Buttons]
But1Default=key.bmp
But1Down=key_dn.bmp
But1Up=nothere.bmp
But1Pos=12,40
But1Size=30x40
But1Name=Enter
But2Pos=7 ,8
But2Size=40
But2Name=Clear
[SlideBars]
SlideBar1Pos=5, 6
SlideBar1Size=100,20
SlideBar1Thickness=260
SlideBar1Style=$105
SlideBar1Name=Rate
[CheckBoxes]
CheckBox1Unchecked=key.bmp
CheckBox1Checked=key_dn.bmp
CheckBox1Pos=1,2
CheckBox1Size=3,4
CheckBox1Name=2ndF
[Images]
Image1Pos=9,9
Image1Size=5,5
Image1Name=Logo
Image1Foreground=$FF
Image1Background=-5
)"));
  EXPECT_TRUE(Skin.Loaded());
  EXPECT_EQ(Form.size(), QSize(120, 90));
  EXPECT_EQ(Form.palette().color(QPalette::Window), QColor(0, 0, 255));
  EXPECT_EQ(Skin.PictureFile(), "main.bmp");
  EXPECT_EQ(Skin.PictureDir(), "pics");
  EXPECT_EQ(Skin.FileName(), Dir.filePath("t.skn"));
  EXPECT_EQ(Skin.MaskFile(), "");
  const int counts[] = {Skin.ButtonCount(),   Skin.LabelCount(), Skin.SlideBarCount(),
                        Skin.CheckBoxCount(), Skin.ImageCount(), Skin.EditCount()};
  EXPECT_EQ(std::vector<int>(std::begin(counts), std::end(counts)), std::vector<int>({2, 1, 1, 1, 1, 1}));

  TImgBtn* b1 = Skin.Buttons(0);
  TImgBtn* b2 = Skin.Buttons(1);
  ASSERT_TRUE(b1 && b2);
  EXPECT_EQ(b1->geometry(), QRect(12, 40, 30, 0));
  EXPECT_EQ(b2->geometry(), QRect(0, 8, 0, 40));
  EXPECT_EQ(b1->ButtonName(), "Enter");
  EXPECT_EQ(b1->accessibleName(), "Enter");
  EXPECT_EQ(b1->Pic().size(), QSize(20, 10));
  EXPECT_EQ(b1->PicDown().size(), QSize(21, 11));
  EXPECT_TRUE(b1->PicUp().isNull());
  EXPECT_EQ(b1->PicFile(), "key.bmp");
  EXPECT_EQ(b1->PicUpFile(), "");
  EXPECT_EQ(b1->Picture().size(), QSize(20, 10));
  EXPECT_EQ(b2->Tag(), 1);
  EXPECT_TRUE(b1->isVisibleTo(&Form) && b1->isEnabled());
  EXPECT_EQ(Skin.Buttons(2), nullptr);
  EXPECT_EQ(Skin.Buttons(-1), nullptr);
  EXPECT_EQ(Skin.Buttons(50), nullptr);

  TSlideBar* s = Skin.SlideBars(0);
  EXPECT_EQ(s->geometry(), QRect(5, 6, 100, 20));
  EXPECT_EQ(s->Thickness(), 4);   // low 8 bits of 260
  EXPECT_EQ(s->ThumbStyle(), 5);  // low 8 bits of $105
  EXPECT_FALSE(s->Ticks());
  EXPECT_TRUE(s->FlashColor());  // no "Color"
  EXPECT_EQ(s->SlideBarName(), "Rate");

  TImgCheckBox* c = Skin.CheckBoxes(0);
  EXPECT_EQ(c->geometry(), QRect(1, 2, 3, 4));
  EXPECT_FALSE(c->Checked());
  EXPECT_FALSE(c->MouseCheck());
  EXPECT_EQ(c->PicCheckedFile(), "key_dn.bmp");
  EXPECT_EQ(c->Picture().size(), QSize(20, 10));  // the unchecked picture shows
  // A file named by several elements is decoded once: they share its pixels.
  EXPECT_EQ(c->PicUnchecked().cacheKey(), b1->Pic().cacheKey());

  TSkinImage* i = Skin.Images(0);
  EXPECT_EQ(i->geometry(), QRect(9, 9, 5, 5));
  EXPECT_EQ(i->ImageName(), "Logo");
  EXPECT_EQ(i->Foreground(), 255);
  EXPECT_EQ(i->Background(), -5);

  // The slide bar lies above the windowless elements made after it.
  const QObjectList kids = Form.children();
  EXPECT_LT(kids.indexOf(c), kids.indexOf(s));
  EXPECT_LT(kids.indexOf(i), kids.indexOf(s));
  EXPECT_LT(kids.indexOf(Cool), kids.indexOf(b1));
}

TEST_F(SkinTest, CountsAreCutAt49) {
  QByteArray text = kMain + "Buttons=60\nLabels=-3\nEdits=junk\n[Buttons]\n";
  for (int n = 1; n <= 50; ++n) text += "But" + QByteArray::number(n) + "Name=b" + QByteArray::number(n) + "\n";
  ASSERT_TRUE(Load(text));
  EXPECT_EQ(Skin.ButtonCount(), 49);
  EXPECT_EQ(Skin.Buttons(48)->ButtonName(), "b49");
  EXPECT_EQ(Skin.Buttons(49), nullptr);
  EXPECT_EQ(Skin.LabelCount(), 0);
  EXPECT_EQ(Skin.EditCount(), 0);
  EXPECT_EQ(OnForm<TImgBtn>(), 49);
}

TEST_F(SkinTest, LabelsAndEdits) {
  ASSERT_TRUE(Load(kMain + R"(Labels=5
Edits=3
[Labels]
Label1Font=Courier,10
Label1Size=50,20
Label1Color=255,1
Label1Align=R
Label1Text=<b>x</b>
Label1Name=Result
Label2Font=Courier,10
Label2Size=50,21
Label2Color=$FF0000,0
Label2Background=0
Label3Color=0xFF0000,1
Label3Background=-1
Label3Align=c
Label4Font=Arial
Label4Size=10,1
Label5Font=VeryLongFontNameThatGoesOnAndOnForever,9
[Edits]
Edit1Border=1
Edit1Background=255
Edit1Text=0.5
Edit1Name=Rate
Edit1Color=$00FF00,1
Edit2Border=0
Edit2Font=Courier,12
Edit3Pos=3,4
)"));
  TSkinLabel* l1 = Skin.Labels(0);
  TSkinLabel* l2 = Skin.Labels(1);
  TSkinLabel* l3 = Skin.Labels(2);
  EXPECT_EQ(l1->font().family(), "Courier");
  EXPECT_EQ(l1->font().pointSize(), 10);
  EXPECT_TRUE(l1->font().bold());
  EXPECT_EQ(l1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_FALSE(l1->autoFillBackground());  // transparent
  EXPECT_FALSE(l1->wordWrap());            // 20 pixels, 10 points
  EXPECT_TRUE(l2->wordWrap());             // 21 pixels
  EXPECT_TRUE(l1->alignment() & Qt::AlignRight);
  EXPECT_EQ(l1->text(), "<b>x</b>");
  EXPECT_EQ(l1->textFormat(), Qt::PlainText);
  EXPECT_EQ(l1->LabelName(), "Result");
  EXPECT_EQ(l2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_FALSE(l2->font().bold());
  EXPECT_TRUE(l2->autoFillBackground());  // opaque black
  EXPECT_EQ(l2->palette().color(QPalette::Window), QColor(0, 0, 0));
  EXPECT_EQ(l3->palette().color(QPalette::WindowText), QColor(0, 0, 0));
  EXPECT_TRUE(l3->font().bold());
  EXPECT_FALSE(l3->autoFillBackground());
  EXPECT_TRUE(l3->alignment() & Qt::AlignLeft);  // only upper-case letters align
  EXPECT_EQ(Skin.Labels(3)->font().family(), "Arial");
  EXPECT_TRUE(Skin.Labels(3)->wordWrap());  // size 0: any height wraps
  EXPECT_EQ(Skin.Labels(4)->font().family(), "VeryLongFontNameThatGoesOnAndOn");

  TSkinEdit* e1 = Skin.Edits(0);
  TSkinEdit* e2 = Skin.Edits(1);
  TSkinEdit* e3 = Skin.Edits(2);
  QLineEdit plain;
  EXPECT_TRUE(e1->hasFrame());
  EXPECT_FALSE(e2->hasFrame());
  EXPECT_TRUE(e3->hasFrame());
  EXPECT_EQ(e1->palette().color(QPalette::Base), QColor(255, 0, 0));
  EXPECT_EQ(e1->palette().color(QPalette::Text), QColor(0, 255, 0));
  EXPECT_TRUE(e1->font().bold());
  EXPECT_EQ(e2->palette().color(QPalette::Base), plain.palette().color(QPalette::Base));
  EXPECT_EQ(e1->text(), "0.5");
  EXPECT_EQ(e1->EditName(), "Rate");
  EXPECT_EQ(e1->accessibleName(), "Rate");
  EXPECT_EQ(e2->font().pointSize(), 12);
  EXPECT_EQ(e3->pos(), QPoint(3, 4));
}

TEST_F(SkinTest, LookupsByExactNameFirstWins) {
  ASSERT_TRUE(Load(kMain + R"(Buttons=3
Labels=1
CheckBoxes=2
Edits=1
[Buttons]
But1Name=Plus
But2Name=Enter
But3Name=Enter
[Labels]
Label1Name=Result
[CheckBoxes]
CheckBox1Name=Hyp
CheckBox2Name=Hyp
[Edits]
Edit1Name=Expression
)"));
  int calls = 0;
  EXPECT_TRUE(Skin.SetButtonHandler("Enter", [&](QObject*, const TMouseMessage&) { ++calls; }));
  EXPECT_TRUE(Skin.SetButtonHint("Enter", "Evaluate"));
  EXPECT_FALSE(Skin.SetButtonHandler("enter", [](QObject*, const TMouseMessage&) {}));
  EXPECT_FALSE(Skin.SetButtonHint("Minus", "x"));
  ASSERT_TRUE(Skin.Buttons(1)->OnMouseUp);
  Skin.Buttons(1)->OnMouseUp(nullptr, TMouseMessage{});
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(Skin.Buttons(2)->OnMouseUp);
  EXPECT_FALSE(Skin.Buttons(0)->OnMouseUp);
  EXPECT_EQ(Skin.Buttons(1)->Hint(), "Evaluate");
  EXPECT_TRUE(Skin.Buttons(1)->ShowHint());
  EXPECT_FALSE(Skin.Buttons(2)->ShowHint());
  EXPECT_EQ(Skin.FindLabel("Result"), Skin.Labels(0));
  EXPECT_EQ(Skin.FindLabel("result"), nullptr);
  EXPECT_EQ(Skin.FindCheckBox("Hyp"), Skin.CheckBoxes(0));
  EXPECT_EQ(Skin.FindEdit("Expression"), Skin.Edits(0));
  EXPECT_EQ(Skin.FindEdit("Expression "), nullptr);
}

TEST_F(SkinTest, LaterLoadLeavesNothingOfTheEarlierSkin) {
  ASSERT_TRUE(Load(kMain + "Buttons=3\nLabels=2\nSlideBars=1\nEdits=2\n[Edits]\nEdit1Name=A\n"));
  ASSERT_TRUE(Load("[Main]\nPicture=pics\\small.bmp\nButtons=1\n"));  // no PictureDir, "\" path
  EXPECT_EQ(Form.size(), QSize(80, 60));
  EXPECT_EQ(OnForm<TImgBtn>(), 1);
  EXPECT_EQ(OnForm<TSkinLabel>() + OnForm<TSlideBar>() + OnForm<TSkinEdit>(), 0);
  EXPECT_EQ(Skin.FindEdit("A"), nullptr);
  EXPECT_EQ(Skin.Edits(0), nullptr);
  EXPECT_EQ(Skin.PictureDir(), "");
  EXPECT_TRUE(Skin.Clear());
  EXPECT_EQ(OnForm<TImgBtn>(), 0);
  EXPECT_EQ(Skin.ButtonCount(), 0);
  EXPECT_EQ(Skin.FileName(), "");
  EXPECT_FALSE(Skin.Loaded());
}

TEST_F(SkinTest, MissingMainPictureFailsAndCreatesNothing) {
  ASSERT_TRUE(Load(kMain + "Background=255\nButtons=2\n"));
  EXPECT_FALSE(Load("[Main]\nPictureDir=pics\nPicture=gone.bmp\nBackground=0\nButtons=2\n"));
  EXPECT_FALSE(Skin.Loaded());
  EXPECT_EQ(Skin.ButtonCount(), 0);
  EXPECT_EQ(OnForm<TImgBtn>(), 0);
  EXPECT_EQ(Skin.PictureDir(), "pics");
  EXPECT_EQ(Skin.PictureFile(), "");
  EXPECT_EQ(Form.size(), QSize(120, 90));  // the window keeps size and colour
  EXPECT_EQ(Form.palette().color(QPalette::Window), QColor(255, 0, 0));
  EXPECT_FALSE(Skin.LoadSkin(Dir.filePath("none.skn")));
  // Without a shape component the picture is not needed.
  TSkin bare(&Form);
  EXPECT_TRUE(bare.LoadSkin(Dir.filePath("none.skn")));
}

TEST_F(SkinTest, ErrorsEndTheLoadKeepingFinishedElements) {
  Write("pics/bad.bmp", "this is no bitmap");
  Write("pics/pic.emf", "metafile");
  struct Row {
    QByteArray text;
    const char* message;
    int buttons, slideBars;
  } rows[] = {
      {"Buttons=1\nSlideBars=3\n[SlideBars]\nSlideBar1Style=17\nSlideBar2Style=18\n",
       "TSlideBar.SetThumbStyle: Bad value", 1, 1},
      {"Buttons=3\n[Buttons]\nBut2Default=bad.bmp\n", "invalid picture", 1, 0},
      {"Buttons=3\n[Buttons]\nBut3Up=pic.emf\n", "unsupported format", 2, 0},
  };
  for (const Row& r : rows) {
    try {
      Load(kMain + r.text);
      ADD_FAILURE() << "no error for " << r.text.constData();
    } catch (const EZumbrelError& e) {
      EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Skin.Loaded());
    EXPECT_EQ(Skin.ButtonCount(), r.buttons);
    EXPECT_EQ(OnForm<TImgBtn>(), r.buttons);
    EXPECT_EQ(Skin.SlideBarCount(), r.slideBars);
    EXPECT_EQ(OnForm<TSlideBar>(), r.slideBars);
  }
}

// Each skin gets its own outline whatever skin came before: one loaded after a
// shaped skin is rectangular unless its own mask file shapes it.
TEST_F(SkinTest, MaskShapesTheWindowOnlyWhenGiven) {
  ASSERT_TRUE(WriteRegionFile(Dir.filePath("pics/round.rgn").toStdString(), {{0, 0, 50, 40}}));
  Write("pics/empty.rgn", QByteArray(4, '\0'));
  Write("pics/short.rgn", QByteArray("\x40\0\0\0\x20\0", 6));
  const struct {
    QByteArray mask;
    const char* maskFile;
    QRegion shape;
  } rows[] = {
      {"Mask=round.rgn\n", "round.rgn", QRegion(0, 0, 50, 40)},
      {"", "", QRegion()},
      {"Mask=missing.rgn\n", "", QRegion()},
      {"Mask=empty.rgn\n", "empty.rgn", QRegion()},
      {"Mask=short.rgn\n", "short.rgn", QRegion()},
  };
  for (const auto& r : rows) {
    ASSERT_TRUE(Load(kMain + "Mask=round.rgn\n"));
    ASSERT_EQ(Form.mask(), QRegion(0, 0, 50, 40));
    ASSERT_TRUE(Load(kMain + r.mask)) << r.mask.constData();
    EXPECT_EQ(Skin.MaskFile(), r.maskFile) << r.mask.constData();
    EXPECT_EQ(Form.mask(), r.shape) << r.mask.constData();
  }
}

// A main picture that gives a window of no size (an icon is no bitmap) fails
// like a missing one: nothing is made, and the window keeps what it had.
TEST_F(SkinTest, IconMainPictureFailsLikeAMissingOne) {
  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(Qt::red);
  ASSERT_TRUE(icon.save(Dir.filePath("pics/app.ico"), "ICO"));
  ASSERT_TRUE(Load(kMain + "Buttons=1\n[Buttons]\nBut1Default=app.ico\n"));
  EXPECT_EQ(Skin.Buttons(0)->Pic().size(), QSize(16, 16));  // as a key's picture it serves
  EXPECT_FALSE(Load("[Main]\nPictureDir=pics\nPicture=app.ico\nButtons=1\n"));
  EXPECT_FALSE(Skin.Loaded());
  EXPECT_EQ(Skin.ButtonCount(), 0);
  EXPECT_EQ(Skin.PictureFile(), "");
  EXPECT_EQ(Form.size(), QSize(120, 90));
}

// A picture may ship larger versions beside it; the skin takes the one that
// fits the screen's device pixel ratio and keeps the skin's own sizes. Names
// are found regardless of letter case, PNG keeps its alpha, and hover and
// pressed pictures are decoded only when first asked for.
TEST_F(SkinTest, PicturesFitTheScreensRatio) {
  const auto picture = [this](const QString& name, int w, int h, QColor colour) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(colour);
    ASSERT_TRUE(img.save(Dir.filePath(name)));
  };
  picture("pics/main@2x.bmp", 240, 180, Qt::red);
  picture("pics/face.bmp", 30, 20, Qt::darkCyan);
  picture("pics/face@2x.bmp", 60, 40, Qt::red);
  picture("pics/face@3x.bmp", 90, 60, Qt::blue);
  picture("pics/ONLY1X.BMP", 10, 10, Qt::green);
  picture("pics/Later.bmp", 10, 10, Qt::green);
  picture("pics/glass.png", 10, 10, QColor(255, 0, 0, 128));
  ASSERT_TRUE(WriteRegionFile(Dir.filePath("pics/round.rgn").toStdString(), {{0, 0, 50, 40}}));
  ASSERT_TRUE(Load(kMain + "Mask=round.rgn\nButtons=2\n[Buttons]\nBut1Default=face.bmp\n"
                           "But1Down=only1x.bmp\nBut1Up=LATER.bmp\nBut2Default=glass.png\n"));
  TImgBtn* b = Skin.Buttons(0);
  // Not decoded at the load: a hover picture broken since then is empty,
  // and the button shows its normal picture instead.
  Write("pics/Later.bmp", "broken now");
  EXPECT_TRUE(b->PicUp().isNull());
  EXPECT_EQ(Skin.Buttons(1)->Pic().toImage().pixelColor(5, 5), QColor(255, 0, 0, 128));
  // A picture that fails now keeps every picture as it was.
  EXPECT_FALSE(Skin.RepickPictures(2));
  EXPECT_EQ(Skin.PictureRatio(), 1);
  EXPECT_EQ(b->Pic().size(), QSize(30, 20));
  picture("pics/Later.bmp", 10, 10, Qt::green);

  const struct {
    double ratio;
    QSize face, only1x;  // device pixels
    QColor faceColour;
    double faceRatio, only1xRatio;
  } rows[] = {
      {2, {60, 40}, {10, 10}, Qt::red, 2, 1},  // a 1x picture is drawn doubled
      {1.5, {45, 30}, {15, 15}, Qt::red, 1.5, 1.5},
      {3, {90, 60}, {10, 10}, Qt::blue, 3, 1},
      {1, {30, 20}, {10, 10}, Qt::darkCyan, 1, 1},
  };
  for (const auto& r : rows) {
    ASSERT_TRUE(Skin.RepickPictures(r.ratio)) << r.ratio;
    EXPECT_EQ(Skin.PictureRatio(), r.ratio);
    EXPECT_EQ(b->Pic().size(), r.face) << r.ratio;
    EXPECT_EQ(b->Pic().devicePixelRatio(), r.faceRatio) << r.ratio;
    EXPECT_EQ(b->Pic().toImage().pixelColor(r.face.width() / 2, r.face.height() / 2), r.faceColour)
        << r.ratio;
    EXPECT_EQ(b->Picture().cacheKey(), b->Pic().cacheKey()) << r.ratio;  // shown at once
    EXPECT_EQ(b->PicDown().size(), r.only1x) << r.ratio;
    EXPECT_EQ(b->PicDown().devicePixelRatio(), r.only1xRatio) << r.ratio;
    // The skin's units stay: the window's size, the keys' places, the outline.
    EXPECT_EQ(Cool->Picture().deviceIndependentSize().toSize(), QSize(120, 90)) << r.ratio;
    EXPECT_EQ(Form.size(), QSize(120, 90));
    EXPECT_EQ(Form.mask(), QRegion(0, 0, 50, 40));
    EXPECT_TRUE(Cool->Mask()->Region());
  }
  EXPECT_FALSE(Skin.RepickPictures(1));  // nothing to change
}

// An 8-bit run-length bitmap of one colour: a few bytes a row on disk however
// many pixels it holds.
QByteArray RunLengthBitmap(int width, int height) {
  QByteArray row;
  for (int left = width; left > 0; left -= 255) row += char(std::min(left, 255)), row += char(1);
  row += QByteArray(2, '\0');
  QByteArray pixels = row.repeated(height) + QByteArray("\0\1", 2);
  QByteArray palette(256 * 4, '\0');
  palette[4] = char(0x80);
  const auto u32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
  const auto u16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
  const quint32 offset = 14 + 40 + palette.size();
  return "BM" + u32(offset + pixels.size()) + u32(0) + u32(offset) + u32(40) + u32(width) +
         u32(height) + u16(1) + u16(8) + u32(1) + u32(pixels.size()) + u32(2835) + u32(2835) +
         u32(256) + u32(0) + palette + pixels;
}

// The pictures of a skin together have a budget of 256 MB of pixels: a skin
// past it ends its load with an error naming the picture, before that picture
// is decoded, like a picture that does not decode.
TEST_F(SkinTest, PicturesPastTheirBudgetEndTheLoad) {
  Write("pics/vast.bmp", RunLengthBitmap(8200, 8200));   // 269 MB as pixels
  Write("pics/half1.bmp", RunLengthBitmap(5800, 5800));  // 135 MB each
  Write("pics/half2.bmp", RunLengthBitmap(5800, 5800));
  const struct {
    QByteArray keys;
    const char* picture;
    int buttons;
  } rows[] = {
      {"Buttons=2\n[Buttons]\nBut2Default=vast.bmp\n", "vast.bmp", 1},
      {"Buttons=3\n[Buttons]\nBut1Default=half1.bmp\nBut2Up=half1.bmp\nBut3Down=half2.bmp\n",
       "half2.bmp", 2},
  };
  for (const auto& r : rows) {
    try {
      Load(kMain + r.keys);
      ADD_FAILURE() << "no error for " << r.keys.constData();
    } catch (const EZumbrelError& e) {
      EXPECT_NE(std::string(e.what()).find(r.picture), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("more than 256 MB"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Skin.Loaded());
    EXPECT_EQ(Skin.ButtonCount(), r.buttons);
  }
  // Each load has the whole budget again.
  EXPECT_TRUE(Load(kMain + "Buttons=1\n[Buttons]\nBut1Default=half2.bmp\n"));
  EXPECT_EQ(Skin.Buttons(0)->Pic().size(), QSize(5800, 5800));
}

}  // namespace
