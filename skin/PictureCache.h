// The pictures of one skin load: each file a skin names is found regardless
// of letter case, taken in the version that fits the screen's device pixel
// ratio (Name.ext, Name@2x.ext, Name@3x.ext) and decoded once however many
// elements name it, and all of them together stay within a memory budget.
// A picture carries the ratio it was made for, so it is drawn at the skin's
// own size. Gui layer; used by the skin loader only.
#pragma once

#include <QPixmap>
#include <QString>
#include <memory>
#include <optional>
#include <unordered_map>

#include "controls/ImgBtn.h"
#include "skin/SkinPictures.h"

class TSkinPictures : public std::enable_shared_from_this<TSkinPictures> {
 public:
  // The decoded pictures of a skin together may take this much memory (at 4
  // bytes a pixel, as the screen holds them); a skin that needs more does not
  // load. The bundled skins need about 2 MB at a ratio of 1.
  static constexpr qint64 kBudget = qint64(256) << 20;

  // Pictures named relative to `pictureDir` inside `skinFolder`, for a
  // screen of device pixel ratio `ratio`.
  TSkinPictures(const QString& skinFolder, const QString& pictureDir, double ratio);

  double Ratio() const { return FRatio; }

  // The path of the file `name` names in the pictures folder (any letter
  // case), or none when there is no such regular file.
  std::optional<QString> FindFile(const QString& name);

  // Decodes the picture `name` now: false (and `pic` untouched) when there is
  // no such file. "bmp" and "png" are bitmaps, "ico" an icon; any other
  // kind, a file that does not decode, or one past the budget throws
  // EZumbrelError.
  bool Load(const QString& name, QPixmap& pic, bool& isBitmap);
  bool Load(const QString& name, QPixmap& pic);
  // The same, but only the picture's header is read now (it throws as Load
  // does for a kind or a header it cannot read, or a size past the budget);
  // the pixels are decoded when the picture is first asked for. A picture
  // that fails then is empty.
  bool Defer(const QString& name, TLazyPixmap& pic);

 private:
  struct TChoice {
    QString File;  // the version to decode
    int Scale = 1;
  };
  struct TEntry {
    QPixmap Picture;
    bool IsBitmap = true;
  };
  // The version of the named picture that fits the ratio; none when the
  // picture's own file is missing.
  std::optional<TChoice> Choose(const QString& name);
  // Throws when the header cannot be read or the picture would not fit the
  // budget; counts it against the budget once per file.
  void Admit(const TChoice& choice);
  // The same with the file's first bytes (or all of them) at hand.
  void Admit(const TChoice& choice, const QByteArray& head);
  QPixmap Decode(const TChoice& choice, bool& isBitmap);
  // The device pixels a picture of `size` at `scale` takes on this screen.
  QSize DeviceSize(const QSize& size, int scale) const;

  std::string FFolder;
  std::string FPictureDir;
  double FRatio;
  TFileFinder FFinder;
  std::unordered_map<QString, TEntry> FPictures;  // by chosen file
  std::unordered_map<QString, qint64> FAdmitted;  // bytes counted, by chosen file
  qint64 FUsed = 0;
};
