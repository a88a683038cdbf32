#include "skin/skin.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QStringDecoder>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "controls/CoolForm.h"
#include "controls/ImgBox.h"
#include "controls/ImgBtn.h"
#include "controls/SlideBar.h"
#include "engine/Errors.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "skin/PictureCache.h"
#include "skin/SkinElements.h"
#include "skin/SkinValues.h"

namespace {

// Coordinates and sizes beyond what a window system holds are cut, so a wild
// skin value cannot overflow the toolkit's rectangle arithmetic.
constexpr int kMaxCoord = 32767;
constexpr int kMinCoord = -32768;
// Font sizes beyond this (in points) are cut; nothing larger fits a window.
constexpr int kMaxPointSize = 500;

// Skin files written on other systems may be in a one-byte code page; text
// that is not valid UTF-8 is read as Latin-1.
QString DecodeValue(std::string_view bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (decoder.hasError()) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return text;
}

std::string Bytes(const QString& text) { return text.toStdString(); }

// Stored paths may use "\" as the separator.
QString LocalPath(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

// Applies a skin font: the name only when one is given, the size only when
// positive (0 keeps the default size).
void ApplyFont(QWidget* w, const QString& value) {
  const skinvalues::TSkinFont f = skinvalues::ReadFont(Bytes(value));
  QFont font = w->font();
  if (!f.Name.empty()) font.setFamily(QString::fromStdString(f.Name));
  if (f.Size > 0) font.setPointSize(std::min(f.Size, kMaxPointSize));
  w->setFont(font);
}

// Applies a text colour: the colour to `role`, bold or regular style.
void ApplyTextColor(QWidget* w, const QString& value, QPalette::ColorRole role) {
  const skinvalues::TSkinTextColor c = skinvalues::ReadTextColor(Bytes(value));
  if (const auto colour = SkinColor(c.Color)) {
    QPalette pal = w->palette();
    pal.setColor(role, *colour);
    w->setPalette(pal);
  }
  QFont font = w->font();
  font.setBold(c.Bold);
  w->setFont(font);
}

void SetRole(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(role, colour);
  w->setPalette(pal);
}

int Coord(int v) { return std::clamp(v, kMinCoord, kMaxCoord); }
int Extent(int v) { return std::clamp(v, 0, kMaxCoord); }

void MoveTo(QWidget* w, const QString& pair) {
  const std::string s = Bytes(pair);
  w->move(Coord(skinvalues::FirstNumber(s)), Coord(skinvalues::SecondNumber(s)));
}

void SizeTo(QWidget* w, const QString& pair) {
  const std::string s = Bytes(pair);
  w->resize(Extent(skinvalues::FirstNumber(s)), Extent(skinvalues::SecondNumber(s)));
}

}  // namespace

// One run of LoadSkin: the parsed file, the pictures folder, and the creation
// of each kind of element.
class TSkin::TLoader {
 public:
  TLoader(TSkin& skin, const QString& path) : FSkin(skin) {
    // Like a missing file, one that is no regular file of a sane size (a
    // pipe nobody writes to, a link to a device) reads as a file without keys.
    std::string bytes;
    if (ReadRegularFile(QFile::encodeName(path).toStdString(), bytes) == rrRead)
      FIni = TIniData(std::move(bytes));
    const QString pictureDir = Read("Main", "PictureDir");
    FSkin.FFileName = path;
    FSkin.FPictureDir = pictureDir;
    FSkin.FPictureRatio = FSkin.FForm->devicePixelRatioF();
    FPictures = std::make_shared<TSkinPictures>(QFileInfo(LocalPath(path)).path(),
                                                LocalPath(pictureDir), FSkin.FPictureRatio);
  }

  bool Run();

 private:
  QString Read(const char* section, const std::string& key) const {
    const std::optional<std::string_view> value = FIni.Find(section, key);
    return value ? DecodeValue(*value) : QString();
  }
  QString Attr(const char* section, const char* kind, int n, const char* attr) const {
    return Read(section, kind + std::to_string(n) + attr);
  }

  bool LoadWindowPicture();
  template <class T, class Apply>
  void CreateKind(const char* countKey, TSlots<T>& items, int& count, Apply apply);
  // Windowless elements go below every slide bar and edit.
  void StackWindowless(QWidget* w) const;

  void ApplyButton(TImgBtn* b, int n);
  void ApplyLabel(TSkinLabel* l, int n) const;
  void ApplySlideBar(TSlideBar* s, int n) const;
  void ApplyCheckBox(TImgCheckBox* c, int n);
  void ApplyImage(TSkinImage* i, int n) const;
  void ApplyEdit(TSkinEdit* e, int n) const;

  TSkin& FSkin;
  TIniData FIni;
  std::shared_ptr<TSkinPictures> FPictures;
};

bool TSkin::TLoader::Run() {
  if (FSkin.FCoolForm && !LoadWindowPicture()) return false;

  const int background = skinvalues::IntegerKey(Bytes(Read("Main", "Background")), 0);
  if (const auto colour = SkinColor(background)) SetRole(FSkin.FForm, QPalette::Window, *colour);

  CreateKind("Buttons", FSkin.FButtons, FSkin.FButtonCount, [this](TImgBtn* b, int n) {
    ApplyButton(b, n);
    StackWindowless(b);
  });
  CreateKind("Labels", FSkin.FLabels, FSkin.FLabelCount, [this](TSkinLabel* l, int n) {
    ApplyLabel(l, n);
    StackWindowless(l);
  });
  CreateKind("SlideBars", FSkin.FSlideBars, FSkin.FSlideBarCount,
             [this](TSlideBar* s, int n) { ApplySlideBar(s, n); });
  CreateKind("CheckBoxes", FSkin.FCheckBoxes, FSkin.FCheckBoxCount, [this](TImgCheckBox* c, int n) {
    ApplyCheckBox(c, n);
    StackWindowless(c);
  });
  CreateKind("Images", FSkin.FImages, FSkin.FImageCount, [this](TSkinImage* i, int n) {
    ApplyImage(i, n);
    StackWindowless(i);
  });
  CreateKind("Edits", FSkin.FEdits, FSkin.FEditCount, [this](TSkinEdit* e, int n) { ApplyEdit(e, n); });
  return true;
}

// The background picture and the outline. False when the picture file is
// missing, or gives a window of no size (an icon is not a bitmap): the window
// keeps its picture, size, colour and shape.
bool TSkin::TLoader::LoadWindowPicture() {
  TCoolForm* cool = FSkin.FCoolForm;
  const QString picture = Read("Main", "Picture");
  QPixmap pic;
  bool isBitmap = true;
  if (!FPictures->Load(picture, pic, isBitmap)) return false;
  // The window takes the picture's size in the skin's units, whatever the
  // screen's pixels.
  const QSize size = pic.deviceIndependentSize().toSize();
  if (!isBitmap || size.isEmpty()) return false;
  cool->SetPicture(pic, isBitmap);
  FSkin.FForm->resize(size);
  FSkin.FPictureFile = picture;

  // A skin's outline is its own, whatever skin came before: without a mask
  // file, or with one that cannot be read, the window is rectangular.
  const QString mask = Read("Main", "Mask");
  if (const std::optional<QString> file = FPictures->FindFile(mask)) {
    FSkin.FMaskFile = mask;
    if (cool->LoadMask(*file)) {
      cool->ApplyMask();
      return true;
    }
  }
  cool->ClearMask();
  return true;
}

template <class T, class Apply>
void TSkin::TLoader::CreateKind(const char* countKey, TSlots<T>& items, int& count, Apply apply) {
  const int total = std::min(skinvalues::IntegerKey(Bytes(Read("Main", countKey)), 0), kMaxElements);
  for (int n = 1; n <= total; ++n) {
    auto* control = new T(FSkin.FForm);
    items[n - 1] = control;
    try {
      apply(control, n);
    } catch (...) {
      // An element whose keys failed is not kept half-made.
      items[n - 1] = nullptr;
      delete control;
      throw;
    }
    ++count;
  }
}

void TSkin::TLoader::StackWindowless(QWidget* w) const {
  // Slide bars are the only windowed elements made before the last
  // windowless ones; edits come last and lie on top anyway.
  if (TSlideBar* lowest = FSkin.FSlideBars[0]) w->stackUnder(lowest);
}

void TSkin::TLoader::ApplyButton(TImgBtn* b, int n) {
  const char* s = "Buttons";
  QPixmap pic;
  QString file = Attr(s, "But", n, "Default");
  if (FPictures->Load(file, pic)) {
    b->SetPic(pic);
    b->SetPicFile(file);
  }
  // Many keys are never pressed or even pointed at: their state pictures
  // are decoded when first shown.
  TLazyPixmap state;
  file = Attr(s, "But", n, "Down");
  if (FPictures->Defer(file, state)) {
    b->SetPicDown(state);
    b->SetPicDownFile(file);
  }
  file = Attr(s, "But", n, "Up");
  if (FPictures->Defer(file, state)) {
    b->SetPicUp(state);
    b->SetPicUpFile(file);
  }
  MoveTo(b, Attr(s, "But", n, "Pos"));
  SizeTo(b, Attr(s, "But", n, "Size"));
  const QString name = Attr(s, "But", n, "Name");
  b->SetButtonName(name);
  b->setAccessibleName(name);
  b->setVisible(true);
  b->setEnabled(true);
  b->SetTag(n - 1);
  b->SetPic(b->Pic());
}

void TSkin::TLoader::ApplyLabel(TSkinLabel* l, int n) const {
  const char* s = "Labels";
  l->setText(QString());
  SizeTo(l, Attr(s, "Label", n, "Size"));
  const QString align = Attr(s, "Label", n, "Align");
  if (align == QLatin1String("L")) {
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  } else if (align == QLatin1String("R")) {
    l->setAlignment(Qt::AlignRight | Qt::AlignTop);
  } else if (align == QLatin1String("C")) {
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  }
  const QString font = Attr(s, "Label", n, "Font");
  ApplyFont(l, font);
  ApplyTextColor(l, Attr(s, "Label", n, "Color"), QPalette::WindowText);
  const int background = skinvalues::IntegerKey(Bytes(Attr(s, "Label", n, "Background")), -1);
  const auto colour = background == -1 ? std::nullopt : SkinColor(background);
  if (colour) {
    SetRole(l, QPalette::Window, *colour);
    l->setAutoFillBackground(true);
  } else {
    // The window picture shows through.
    l->setAutoFillBackground(false);
  }
  MoveTo(l, Attr(s, "Label", n, "Pos"));
  // Room for two lines of the font's size lets the text wrap.
  const int points = skinvalues::ReadFont(Bytes(font)).Size;
  l->setWordWrap(2LL * points < l->height());
  l->SetLabelName(Attr(s, "Label", n, "Name"));
  l->setText(Attr(s, "Label", n, "Text"));
  l->setVisible(true);
}

void TSkin::TLoader::ApplySlideBar(TSlideBar* b, int n) const {
  const char* s = "SlideBars";
  b->SetTicks(false);
  MoveTo(b, Attr(s, "SlideBar", n, "Pos"));
  SizeTo(b, Attr(s, "SlideBar", n, "Size"));
  const QString thickness = Attr(s, "SlideBar", n, "Thickness");
  if (!thickness.isEmpty()) b->SetThickness(skinvalues::ToNumber(Bytes(thickness)) & 0xFF);
  const QString style = Attr(s, "SlideBar", n, "Style");
  if (!style.isEmpty()) b->SetThumbStyle(skinvalues::ToNumber(Bytes(style)) & 0xFF);
  const QString colour = Attr(s, "SlideBar", n, "Color");
  if (!colour.isEmpty()) {
    b->SetFlashColor(false);
    b->SetFocusColor(skinvalues::ToNumber(Bytes(colour)));
  } else {
    b->SetFlashColor(true);
  }
  const QString name = Attr(s, "SlideBar", n, "Name");
  b->SetSlideBarName(name);
  b->setAccessibleName(name);
  b->setVisible(true);
}

void TSkin::TLoader::ApplyCheckBox(TImgCheckBox* c, int n) {
  const char* s = "CheckBoxes";
  QPixmap pic;
  QString file = Attr(s, "CheckBox", n, "Unchecked");
  if (FPictures->Load(file, pic)) {
    c->SetPicUnchecked(pic);
    c->SetPicUncheckedFile(file);
  }
  file = Attr(s, "CheckBox", n, "Checked");
  if (FPictures->Load(file, pic)) {
    c->SetPicChecked(pic);
    c->SetPicCheckedFile(file);
  }
  MoveTo(c, Attr(s, "CheckBox", n, "Pos"));
  SizeTo(c, Attr(s, "CheckBox", n, "Size"));
  const QString name = Attr(s, "CheckBox", n, "Name");
  c->SetCheckBoxName(name);
  c->setAccessibleName(name);
  // Skin boxes change only when the program sets them (until bound).
  c->SetChecked(false);
  c->SetMouseCheck(false);
  c->setVisible(true);
}

void TSkin::TLoader::ApplyImage(TSkinImage* i, int n) const {
  const char* s = "Images";
  MoveTo(i, Attr(s, "Image", n, "Pos"));
  SizeTo(i, Attr(s, "Image", n, "Size"));
  i->SetImageName(Attr(s, "Image", n, "Name"));
  i->SetForeground(skinvalues::ToNumber(Bytes(Attr(s, "Image", n, "Foreground"))));
  i->SetBackground(skinvalues::ToNumber(Bytes(Attr(s, "Image", n, "Background"))));
  i->setVisible(true);
}

void TSkin::TLoader::ApplyEdit(TSkinEdit* e, int n) const {
  const char* s = "Edits";
  e->setText(QString());
  SizeTo(e, Attr(s, "Edit", n, "Size"));
  ApplyFont(e, Attr(s, "Edit", n, "Font"));
  ApplyTextColor(e, Attr(s, "Edit", n, "Color"), QPalette::Text);
  // Without a colour (-1) the edit keeps the platform's normal edit colours.
  const int background = skinvalues::IntegerKey(Bytes(Attr(s, "Edit", n, "Background")), -1);
  if (background != -1) {
    if (const auto colour = SkinColor(background)) SetRole(e, QPalette::Base, *colour);
  }
  MoveTo(e, Attr(s, "Edit", n, "Pos"));
  e->SetEditName(Attr(s, "Edit", n, "Name"));
  const QString border = Attr(s, "Edit", n, "Border");
  e->setFrame(border.isEmpty() || border == QLatin1String("1"));
  e->setText(Attr(s, "Edit", n, "Text"));
  e->setVisible(true);
}

TSkin::TSkin(QWidget* form) : FForm(form) {}

TSkin::~TSkin() {
  if (FCoolForm) FCoolForm->OnScreenChanged = nullptr;
  Clear();
  // The skin is going away with its window: nothing of it runs any more, so
  // what Clear set aside can go at once.
  for (const QPointer<QObject>& p : FDiscarded) delete p.data();
}

TCoolForm* TSkin::CoolForm() const { return FCoolForm.data(); }

void TSkin::SetCoolForm(TCoolForm* value) {
  if (FCoolForm) FCoolForm->OnScreenChanged = nullptr;
  FCoolForm = value;
  // Moved to a screen of another device pixel ratio: other pictures fit.
  if (FCoolForm) FCoolForm->OnScreenChanged = [this] { RepickPictures(FForm->devicePixelRatioF()); };
}

template <class T>
void TSkin::FreeSlots(TSlots<T>& items, std::vector<QPointer<QObject>>& discarded) {
  for (QPointer<T>& slot : items) {
    if (T* control = slot.data()) {
      // LoadSkin may run from a handler of one of these very controls (a
      // button's command, a label's menu): take it off the window now and
      // delete it once that handler has returned.
      control->hide();
      control->setParent(nullptr);
      control->deleteLater();
      discarded.emplace_back(control);
    }
    slot = nullptr;
  }
}

bool TSkin::Clear() {
  std::erase_if(FDiscarded, [](const QPointer<QObject>& p) { return p.isNull(); });
  FreeSlots(FButtons, FDiscarded);
  FreeSlots(FLabels, FDiscarded);
  FreeSlots(FSlideBars, FDiscarded);
  FreeSlots(FCheckBoxes, FDiscarded);
  FreeSlots(FImages, FDiscarded);
  FreeSlots(FEdits, FDiscarded);
  FButtonCount = FLabelCount = FSlideBarCount = FCheckBoxCount = FImageCount = FEditCount = 0;
  FFileName.clear();
  FPictureDir.clear();
  FPictureFile.clear();
  FMaskFile.clear();
  FLoaded = false;
  return true;
}

bool TSkin::RepickPictures(double ratio) {
  if (!FLoaded || std::abs(ratio - FPictureRatio) < 0.001) return false;
  auto pictures = std::make_shared<TSkinPictures>(QFileInfo(LocalPath(FFileName)).path(),
                                                  LocalPath(FPictureDir), ratio);
  // Every picture is made before any is shown: one that fails leaves them
  // all as they were.
  struct TButtonPics {
    QPixmap Pic;
    TLazyPixmap Up, Down;
  };
  std::vector<TButtonPics> buttons(static_cast<std::size_t>(FButtonCount));
  std::vector<std::pair<QPixmap, QPixmap>> boxes(static_cast<std::size_t>(FCheckBoxCount));
  QPixmap window;
  try {
    if (FCoolForm && !FPictureFile.isEmpty()) pictures->Load(FPictureFile, window);
    for (int i = 0; i < FButtonCount; ++i) {
      TButtonPics& b = buttons[std::size_t(i)];
      if (const TImgBtn* button = Buttons(i)) {
        pictures->Load(button->PicFile(), b.Pic);
        pictures->Defer(button->PicUpFile(), b.Up);
        pictures->Defer(button->PicDownFile(), b.Down);
      }
    }
    for (int i = 0; i < FCheckBoxCount; ++i) {
      if (const TImgCheckBox* box = CheckBoxes(i)) {
        pictures->Load(box->PicUncheckedFile(), boxes[std::size_t(i)].first);
        pictures->Load(box->PicCheckedFile(), boxes[std::size_t(i)].second);
      }
    }
  } catch (const EZumbrelError&) {
    return false;
  }
  FPictureRatio = ratio;
  if (!window.isNull()) {
    FCoolForm->SetPicture(window);
    FCoolForm->ApplyMask();  // the same outline: a new picture made it forget it
  }
  for (int i = 0; i < FButtonCount; ++i) {
    if (TImgBtn* button = Buttons(i)) {
      TButtonPics& b = buttons[std::size_t(i)];
      if (!button->PicUpFile().isEmpty()) button->SetPicUp(b.Up);
      if (!button->PicDownFile().isEmpty()) button->SetPicDown(b.Down);
      if (!button->PicFile().isEmpty()) button->SetPic(b.Pic);
    }
  }
  for (int i = 0; i < FCheckBoxCount; ++i) {
    if (TImgCheckBox* box = CheckBoxes(i)) {
      if (!box->PicUncheckedFile().isEmpty()) box->SetPicUnchecked(boxes[std::size_t(i)].first);
      if (!box->PicCheckedFile().isEmpty()) box->SetPicChecked(boxes[std::size_t(i)].second);
    }
  }
  return true;
}

bool TSkin::LoadSkin(const QString& path) {
  Clear();
  TLoader loader(*this, path);
  if (!loader.Run()) return false;
  FLoaded = true;
  return true;
}

template <class T>
T* TSkin::Slot(const TSlots<T>& items, int i) {
  return i >= 0 && i < kSlots ? items[static_cast<std::size_t>(i)].data() : nullptr;
}

TImgBtn* TSkin::Buttons(int i) const { return Slot(FButtons, i); }
TSkinLabel* TSkin::Labels(int i) const { return Slot(FLabels, i); }
TSlideBar* TSkin::SlideBars(int i) const { return Slot(FSlideBars, i); }
TImgCheckBox* TSkin::CheckBoxes(int i) const { return Slot(FCheckBoxes, i); }
TSkinImage* TSkin::Images(int i) const { return Slot(FImages, i); }
TSkinEdit* TSkin::Edits(int i) const { return Slot(FEdits, i); }

namespace {

// The first control in `items` whose name (read by `name`) is exactly `wanted`.
template <class Slots, class Name>
auto FindByName(const Slots& items, const QString& wanted, Name name) -> decltype(items[0].data()) {
  for (const auto& slot : items) {
    if (slot && name(*slot) == wanted) return slot.data();
  }
  return nullptr;
}

}  // namespace

bool TSkin::SetButtonHint(const QString& name, const QString& hint) {
  TImgBtn* b = FindByName(FButtons, name, [](const TImgBtn& x) { return x.ButtonName(); });
  if (!b) return false;
  b->SetHint(hint);
  b->SetShowHint(true);
  return true;
}

bool TSkin::SetButtonHandler(const QString& name, TOnMouseEvent handler) {
  TImgBtn* b = FindByName(FButtons, name, [](const TImgBtn& x) { return x.ButtonName(); });
  if (!b) return false;
  b->OnMouseUp = std::move(handler);
  return true;
}

TSkinLabel* TSkin::FindLabel(const QString& name) const {
  return FindByName(FLabels, name, [](const TSkinLabel& x) { return x.LabelName(); });
}

TImgCheckBox* TSkin::FindCheckBox(const QString& name) const {
  return FindByName(FCheckBoxes, name, [](const TImgCheckBox& x) { return x.CheckBoxName(); });
}

TSkinEdit* TSkin::FindEdit(const QString& name) const {
  return FindByName(FEdits, name, [](const TSkinEdit& x) { return x.EditName(); });
}

int TSkin::FirstNumber(const QString& value) { return skinvalues::FirstNumber(Bytes(value)); }
int TSkin::SecondNumber(const QString& value) { return skinvalues::SecondNumber(Bytes(value)); }
int TSkin::ToNumber(const QString& value) { return skinvalues::ToNumber(Bytes(value)); }

QString TSkin::ListItem(const QString& value, int n) {
  return QString::fromStdString(skinvalues::ListItem(Bytes(value), n));
}
