// The pictures of one skin load.
#include "skin/PictureCache.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "engine/Errors.h"
#include "platform/Files.h"

namespace {

constexpr qint64 kBytesPerPixel = 4;

qint64 PixelBytes(const QSize& size) {
  return size.isValid() ? qint64(size.width()) * size.height() * kBytesPerPixel : 0;
}

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString FromLocal(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

[[noreturn]] void PictureError(const QString& file, const char* why) {
  throw EZumbrelError(QStringLiteral("Cannot load picture %1: %2").arg(file, QLatin1String(why)).toStdString());
}

[[noreturn]] void BudgetError(const QString& file) {
  PictureError(file, "the skin's pictures together need more than 256 MB");
}

// The decoder for a picture file, chosen by its extension.
QByteArray FormatOf(const QString& file) {
  const QString ext = QFileInfo(file).suffix().toLower();
  if (ext == QLatin1String("bmp") || ext == QLatin1String("png") || ext == QLatin1String("ico"))
    return ext.toLatin1();
  // Metafiles ("emf", "wmf") and every other kind cannot be decoded here.
  PictureError(file, "unsupported format");
}

// A picture made for `scale` is drawn as it is on a screen whose ratio is a
// whole multiple of it (the toolkit then repeats its pixels, which keeps
// edges crisp); for any other ratio it is resampled to the screen's pixels.
bool NeedsResample(double ratio, int scale) {
  const double times = ratio / scale;
  return times < 0.99 || std::abs(times - std::round(times)) > 0.01;
}

}  // namespace

TSkinPictures::TSkinPictures(const QString& skinFolder, const QString& pictureDir, double ratio)
    : FFolder(Local(skinFolder)), FPictureDir(Local(pictureDir)), FRatio(ratio > 0 ? ratio : 1) {}

std::optional<QString> TSkinPictures::FindFile(const QString& name) {
  const std::string local = Local(name);
  // A name holding a NUL character can name no file.
  if (local.empty() || local.find('\0') != std::string::npos) return std::nullopt;
  const std::string relative = FPictureDir.empty() ? local : FPictureDir + "/" + local;
  const std::optional<TFoundFile> found = FFinder.Find(FFolder, relative);
  if (!found) return std::nullopt;
  return FromLocal(found->Path);
}

std::optional<TSkinPictures::TChoice> TSkinPictures::Choose(const QString& name) {
  const std::optional<QString> base = FindFile(name);
  if (!base) return std::nullopt;
  TChoice choice{FromLocal(std::filesystem::path(Local(*base)).lexically_normal().string()), 1};
  // A screen of ratio 1 never needs the larger versions: they are not even
  // looked for.
  if (FRatio <= 1.01) return choice;
  const std::filesystem::path path(Local(choice.File));
  const std::string folder = path.parent_path().string();
  const std::string file = path.filename().string();
  std::vector<int> scales{1};
  std::vector<std::string> files{Local(choice.File)};
  for (int s = 2; s <= kMaxPictureScale; ++s) {
    if (const auto larger = FFinder.Find(folder, ScaledPictureName(file, s))) {
      scales.push_back(s);
      files.push_back(larger->Path);
    }
  }
  const int scale = ChoosePictureScale(FRatio, scales);
  const auto at = std::find(scales.begin(), scales.end(), scale) - scales.begin();
  if (scale != 1) choice = {FromLocal(files[std::size_t(at)]), scale};
  return choice;
}

QSize TSkinPictures::DeviceSize(const QSize& size, int scale) const {
  if (!NeedsResample(FRatio, scale)) return size;
  const double by = FRatio / scale;
  return QSize(std::max(1, int(std::lround(size.width() * by))),
               std::max(1, int(std::lround(size.height() * by))));
}

void TSkinPictures::Admit(const TChoice& choice, const QByteArray& head) {
  if (FAdmitted.count(choice.File)) return;
  const QByteArray format = FormatOf(choice.File);
  // The header tells the size before any pixel is decoded; a picture that
  // would not fit is refused without decoding it. BMP and PNG headers are
  // read here directly, which is much quicker than a decoder's.
  std::optional<TPictureSize> size =
      PictureSizeFromHeader(std::string_view(head.constData(), std::size_t(head.size())));
  if (!size && format == "ico") {
    QByteArray bytes = head;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    if (const QSize s = reader.size(); s.isValid() && !s.isEmpty()) size = TPictureSize{s.width(), s.height()};
  }
  if (!size) PictureError(choice.File, "invalid picture");
  const qint64 bytes = PixelBytes(DeviceSize(QSize(size->Width, size->Height), choice.Scale));
  if (bytes > kBudget - FUsed) BudgetError(choice.File);
  FUsed += bytes;
  FAdmitted.emplace(choice.File, bytes);
}

void TSkinPictures::Admit(const TChoice& choice) {
  if (FAdmitted.count(choice.File)) return;
  FormatOf(choice.File);
  QFile file(choice.File);
  if (QFileInfo(file).size() > qint64(kMaxInputFileSize) || !file.open(QIODevice::ReadOnly))
    PictureError(choice.File, "not a regular file of at most 64 MB");
  // An icon's directory names its pictures' sizes further in.
  Admit(choice, file.read(FormatOf(choice.File) == "ico" ? 4096 : 64));
}

QPixmap TSkinPictures::Decode(const TChoice& choice, bool& isBitmap) {
  const auto known = FPictures.find(choice.File);
  if (known != FPictures.end()) {
    isBitmap = known->second.IsBitmap;
    return known->second.Picture;
  }
  const QByteArray format = FormatOf(choice.File);
  std::string bytes;
  if (ReadRegularFile(Local(choice.File), bytes) != rrRead)
    PictureError(choice.File, "not a regular file of at most 64 MB");
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  Admit(choice, data);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  // What is left of the budget, this picture's own share included.
  const qint64 left = kBudget - FUsed + FAdmitted[choice.File];
  reader.setAllocationLimit(static_cast<int>(std::max<qint64>(1, (left >> 20) + 1)));
  QImage image = reader.read();
  if (image.isNull()) PictureError(choice.File, "invalid picture");
  if (PixelBytes(DeviceSize(image.size(), choice.Scale)) > left) BudgetError(choice.File);
  double ratio = choice.Scale;
  if (NeedsResample(FRatio, choice.Scale)) {
    image = image.scaled(DeviceSize(image.size(), choice.Scale), Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
    ratio = FRatio;
  }
  QPixmap picture = QPixmap::fromImage(std::move(image));
  picture.setDevicePixelRatio(ratio);
  isBitmap = format != "ico";
  FPictures.emplace(choice.File, TEntry{picture, isBitmap});
  return picture;
}

bool TSkinPictures::Load(const QString& name, QPixmap& pic, bool& isBitmap) {
  const std::optional<TChoice> choice = Choose(name);
  if (!choice) return false;
  pic = Decode(*choice, isBitmap);
  return true;
}

bool TSkinPictures::Load(const QString& name, QPixmap& pic) {
  bool isBitmap = true;
  return Load(name, pic, isBitmap);
}

bool TSkinPictures::Defer(const QString& name, TLazyPixmap& pic) {
  const std::optional<TChoice> choice = Choose(name);
  if (!choice) return false;
  Admit(*choice);
  pic = TLazyPixmap([self = shared_from_this(), c = *choice] {
    try {
      bool isBitmap = true;
      return self->Decode(c, isBitmap);
    } catch (const EZumbrelError&) {
      return QPixmap();  // the button shows its normal picture instead
    }
  });
  return true;
}
