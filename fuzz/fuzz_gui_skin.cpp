// Fuzz target: any bytes as a skin file, loaded onto a window with a shape
// component, beside a few real pictures and outline files (good and broken
// ones) that the skin text may name. A load either finishes, fails for a
// missing main picture, or throws the program's own error; whatever happens,
// the skin's counts and slots must agree and Clear must empty the window.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdint>
#include <cstdlib>

#include "controls/CoolForm.h"
#include "controls/ImgBox.h"
#include "controls/ImgBtn.h"
#include "controls/SlideBar.h"
#include "engine/Errors.h"
#include "fuzz/FuzzGui.h"
#include "platform/Region.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"

namespace {

using TWorld = TFuzzWorld;

// Pictures in the skin's own folder and in "pics": bitmaps, an icon, a broken
// bitmap, a metafile, and outline files.
void MakePictures(const QString& dir) {
  QDir(dir).mkdir("pics");
  for (const QString& sub : {QString(), QStringLiteral("pics/")}) {
    QImage img(24, 16, QImage::Format_RGB32);
    img.fill(Qt::gray);
    img.save(dir + "/" + sub + "main.bmp", "BMP");
    img.scaled(6, 5).save(dir + "/" + sub + "key.bmp", "BMP");
    img.scaled(4, 4).save(dir + "/" + sub + "app.ico", "ICO");
    FuzzWriteFile(dir + "/" + sub + "bad.bmp", "BM not really");
    FuzzWriteFile(dir + "/" + sub + "pic.emf", "metafile");
    WriteRegionFile((dir + "/" + sub + "mask.rgn").toStdString(), {{0, 0, 10, 10}, {2, 10, 8, 16}});
    FuzzWriteFile(dir + "/" + sub + "bad.rgn", QByteArray("\x40\0\0\0\x20\0\0\0", 8));
  }
}

TWorld* World() {
  return FuzzWorld([](const QString& dir) { MakePictures(dir); });
}

// Counted slots are filled, the rest are empty, and the window holds exactly
// the counted elements.
template <class T, class Slot>
void CheckKind(const TWorld& w, int count, Slot slot) {
  if (count < 0 || count > TSkin::kMaxElements) abort();
  for (int i = 0; i < TSkin::kSlots; ++i) {
    if ((slot(i) != nullptr) != (i < count)) abort();
  }
  if (w.Form.findChildren<T*>(Qt::FindDirectChildrenOnly).size() != count) abort();
}

void CheckSkin(const TWorld& w) {
  const TSkin& s = w.Skin;
  CheckKind<TImgBtn>(w, s.ButtonCount(), [&](int i) { return s.Buttons(i); });
  CheckKind<TSkinLabel>(w, s.LabelCount(), [&](int i) { return s.Labels(i); });
  CheckKind<TSlideBar>(w, s.SlideBarCount(), [&](int i) { return s.SlideBars(i); });
  CheckKind<TImgCheckBox>(w, s.CheckBoxCount(), [&](int i) { return s.CheckBoxes(i); });
  CheckKind<TSkinImage>(w, s.ImageCount(), [&](int i) { return s.Images(i); });
  CheckKind<TSkinEdit>(w, s.EditCount(), [&](int i) { return s.Edits(i); });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartOffscreenApplication("fuzz_gui_skin");
  World();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWorld* w = World();
  const QString path = w->Dir.filePath("t.skn");
  FuzzWriteFile(path,
                QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  bool threw = false;
  bool loaded = false;
  try {
    loaded = w->Skin.LoadSkin(path);
  } catch (const EZumbrelError&) {
    threw = true;
  }
  if (w->Skin.Loaded() != loaded || (threw && loaded)) abort();
  if (!loaded && !threw && w->Skin.ButtonCount() + w->Skin.LabelCount() + w->Skin.EditCount() != 0)
    abort();
  CheckSkin(*w);
  // Lookups by the names the calculator binds.
  w->Skin.FindLabel("Result");
  w->Skin.FindEdit("Expression");
  w->Skin.SetButtonHint("Enter", "x");

  w->Skin.Clear();
  CheckSkin(*w);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return 0;
}
