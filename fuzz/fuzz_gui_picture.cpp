// Fuzz target: any bytes as a picture file named by a skin. The bytes are
// written as "in.bmp" and as "in.ico"; one fixed skin names the bitmap as the
// window picture, a button picture and a check box picture, another names the
// icon as the button and check box pictures (on a fixed window bitmap: an icon
// gives a window of no size, so it never loads as one). A load either finishes
// or throws the program's own error; either way the window and the skin stay
// consistent and the window paints.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>

#include "controls/CoolForm.h"
#include "controls/ImgBox.h"
#include "controls/ImgBtn.h"
#include "engine/Errors.h"
#include "fuzz/FuzzGui.h"
#include "skin/skin.h"

namespace {

using TWorld = TFuzzWorld;

// The same places for both kinds: the window picture, a button's three
// pictures and a check box's two.
QByteArray SkinText(const char* window, const char* picture) {
  return QByteArray("[Main]\nPicture=") + window +
         "\nButtons=1\nCheckBoxes=1\n"
         "[Buttons]\nBut1Default=" +
         picture + "\nBut1Down=" + picture + "\nBut1Up=" + picture +
         "\nBut1Pos=1,1\nBut1Size=8,8\nBut1Name=Enter\n"
         "[CheckBoxes]\nCheckBox1Unchecked=" +
         picture + "\nCheckBox1Checked=" + picture +
         "\nCheckBox1Pos=2,2\nCheckBox1Size=8,8\nCheckBox1Name=Hyp\n";
}

TWorld* World() {
  return FuzzWorld([](const QString& dir) {
    FuzzWriteFile(QDir(dir).filePath("bmp.skn"), SkinText("in.bmp", "in.bmp"));
    FuzzWriteFile(QDir(dir).filePath("ico.skn"), SkinText("win.bmp", "in.ico"));
    QImage window(16, 16, QImage::Format_RGB32);
    window.fill(Qt::gray);
    window.save(QDir(dir).filePath("win.bmp"), "BMP");
  });
}

// The decoders lie outside the instrumented code, so what they made is
// reported through counters libFuzzer reads as extra coverage: an input whose
// picture has another depth, alpha or size class, or that fails where others
// load, is kept and mutated further.
constexpr int kKindCounters = 40;

}  // namespace

// Kept and not optimised away: libFuzzer finds it by its section.
__attribute__((section("__libfuzzer_extra_counters"), used))
uint8_t PictureCounters[4 + 2 * kKindCounters];

namespace {

void Observe(int kind, bool loaded, const QPixmap& pic) {
  PictureCounters[kind * 2 + (loaded ? 1 : 0)] = 1;
  if (!loaded || pic.isNull()) return;
  uint8_t* c = PictureCounters + 4 + kind * kKindCounters;
  c[std::min(std::bit_width(static_cast<unsigned>(pic.depth())), 5u)] = 1;
  c[pic.hasAlphaChannel() ? 6 : 7] = 1;
  c[8 + std::min(std::bit_width(static_cast<unsigned>(pic.width())), 15u)] = 1;
  c[24 + std::min(std::bit_width(static_cast<unsigned>(pic.height())), 15u)] = 1;
}

void LoadOne(TWorld& w, const char* skin, int kind) {
  bool loaded = false;
  bool threw = false;
  try {
    loaded = w.Skin.LoadSkin(w.Dir.filePath(skin));
  } catch (const EZumbrelError&) {
    threw = true;
  }
  // The picture exists, so a load that did not throw has finished.
  if (loaded == threw || w.Skin.Loaded() != loaded) abort();
  if (loaded) {
    if (w.Skin.ButtonCount() != 1 || w.Skin.CheckBoxCount() != 1) abort();
    // A window is never larger than the toolkit's widget limit, however
    // tall a picture claims to be.
    if (w.Form.size() != w.Cool->Picture().size().boundedTo(w.Form.maximumSize())) abort();
  } else if (w.Skin.ButtonCount() > 1 || w.Skin.CheckBoxCount() != 0) {
    abort();
  }
  TImgBtn* button = w.Skin.Buttons(0);
  Observe(kind, loaded, button ? button->Pic() : QPixmap());
  // Paint what was made, clipped to a small target.
  QImage target(32, 32, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::transparent);
  w.Form.render(&target);
  if (button) button->render(&target);
  if (TImgCheckBox* c = w.Skin.CheckBoxes(0)) {
    c->SetChecked(true);
    c->render(&target);
  }
  w.Skin.Clear();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartOffscreenApplication("fuzz_gui_picture");
  World();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWorld* w = World();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  FuzzWriteFile(w->Dir.filePath("in.bmp"), bytes);
  FuzzWriteFile(w->Dir.filePath("in.ico"), bytes);
  LoadOne(*w, "bmp.skn", 0);
  LoadOne(*w, "ico.skn", 1);
  return 0;
}
