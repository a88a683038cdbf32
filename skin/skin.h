// TSkin: reads a skin file (INI form, ".skn") and creates its elements as
// controls on a window: image buttons, labels, slide bars, image check boxes,
// images and edits, each placed, sized and named by the file. The skin owns
// what it creates; callers find elements by name and keep borrowed pointers,
// valid until the next LoadSkin or Clear. Gui layer. Used by the main window
// (skin binding) and the tests.
#pragma once

#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "controls/ImgBtn.h"

class QWidget;
class QObject;
class TCoolForm;
class TImgCheckBox;
class TSlideBar;
class TSkinLabel;
class TSkinEdit;
class TSkinImage;

class TSkin {
 public:
  // Slots per element kind, and the most elements of one kind a skin creates.
  static constexpr int kSlots = 50;
  static constexpr int kMaxElements = 49;

  // `form` is the window the elements go on (their parent); it must outlive
  // every LoadSkin call. The skin never deletes the form.
  explicit TSkin(QWidget* form);
  ~TSkin();
  TSkin(const TSkin&) = delete;
  TSkin& operator=(const TSkin&) = delete;

  QWidget* Form() const { return FForm; }
  // The window's shape component; while null, [Main] "Picture" and "Mask"
  // are not read.
  TCoolForm* CoolForm() const;
  void SetCoolForm(TCoolForm* value);

  // Destroys the current elements, reads the file and creates its elements.
  // False only when CoolForm is set and the main picture file does not exist.
  // A picture that exists but cannot be decoded, or a bad slide bar style,
  // throws (EZumbrelError); the elements finished so far stay and are
  // counted, and Loaded stays false.
  bool LoadSkin(const QString& path);
  // Destroys every element and empties the skin; always true.
  bool Clear();

  // The device pixel ratio the pictures were chosen for: the window's when
  // the skin was loaded (each picture in its version that fits, Name@2x.ext
  // or Name@3x.ext beside Name.ext, or scaled).
  double PictureRatio() const { return FPictureRatio; }
  // Chooses the pictures of the loaded skin again for another ratio (the
  // window moved to a screen of that ratio: its surface asks for this);
  // positions, sizes and the outline stay in the skin's units. True when they
  // changed; a picture that cannot be loaded now leaves every picture as it
  // was.
  bool RepickPictures(double ratio);

  // The first button (lowest slot) of that exact name gets the hint, shown as
  // its tooltip; false when no button has that name.
  bool SetButtonHint(const QString& name, const QString& hint);
  // The first button of that exact name gets `handler` as its OnMouseUp;
  // false when no button has that name.
  bool SetButtonHandler(const QString& name, TOnMouseEvent handler);

  // First element of the kind with exactly that name (case-sensitive), or null.
  TSkinLabel* FindLabel(const QString& name) const;
  TImgCheckBox* FindCheckBox(const QString& name) const;
  TSkinEdit* FindEdit(const QString& name) const;

  QString FileName() const { return FFileName; }
  QString PictureDir() const { return FPictureDir; }
  QString PictureFile() const { return FPictureFile; }
  QString MaskFile() const { return FMaskFile; }
  bool Loaded() const { return FLoaded; }

  int ButtonCount() const { return FButtonCount; }
  int LabelCount() const { return FLabelCount; }
  int SlideBarCount() const { return FSlideBarCount; }
  int CheckBoxCount() const { return FCheckBoxCount; }
  int ImageCount() const { return FImageCount; }
  int EditCount() const { return FEditCount; }

  // Slot i (0..49) of each kind; null for an unused slot or an index outside.
  TImgBtn* Buttons(int i) const;
  TSkinLabel* Labels(int i) const;
  TSlideBar* SlideBars(int i) const;
  TImgCheckBox* CheckBoxes(int i) const;
  TSkinImage* Images(int i) const;
  TSkinEdit* Edits(int i) const;

  // The value readers of skin files (see skin/SkinValues.h).
  static int FirstNumber(const QString& value);
  static int SecondNumber(const QString& value);
  static int ToNumber(const QString& value);
  // The n-th (1-based) comma-separated item; empty when there are fewer.
  static QString ListItem(const QString& value, int n);

 private:
  template <class T>
  using TSlots = std::array<QPointer<T>, kSlots>;

  class TLoader;
  friend class TLoader;

  // Takes the controls of one kind off the window, schedules their deletion
  // (adding them to `discarded`) and empties the slots.
  template <class T>
  static void FreeSlots(TSlots<T>& items, std::vector<QPointer<QObject>>& discarded);
  template <class T>
  static T* Slot(const TSlots<T>& items, int i);

  QWidget* FForm;
  QPointer<TCoolForm> FCoolForm;
  QString FFileName;
  QString FPictureDir;
  QString FPictureFile;
  QString FMaskFile;
  double FPictureRatio = 1;
  bool FLoaded = false;

  int FButtonCount = 0;
  int FLabelCount = 0;
  int FSlideBarCount = 0;
  int FCheckBoxCount = 0;
  int FImageCount = 0;
  int FEditCount = 0;

  TSlots<TImgBtn> FButtons;
  TSlots<TSkinLabel> FLabels;
  TSlots<TSlideBar> FSlideBars;
  TSlots<TImgCheckBox> FCheckBoxes;
  TSlots<TSkinImage> FImages;
  TSlots<TSkinEdit> FEdits;
  // Controls of earlier skins whose deletion is still pending.
  std::vector<QPointer<QObject>> FDiscarded;
};
