// zumbrel-outline: writes the outline (region) file of a picture, the shape a
// skin window takes, from the pixels that are not of the transparent colour.
#include "tools/Outline.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QImageReader>
#include <cstdio>

#include "tools/SkinDesc.h"

namespace {

void PrintRegion(const std::vector<TRect>& rects) {
  if (rects.empty()) {
    std::puts("empty region");
    return;
  }
  TRect box = rects.front();
  for (const TRect& r : rects) {
    box.Left = std::min(box.Left, r.Left);
    box.Top = std::min(box.Top, r.Top);
    box.Right = std::max(box.Right, r.Right);
    box.Bottom = std::max(box.Bottom, r.Bottom);
  }
  std::printf("%zu rectangles, bounds %d,%d - %d,%d\n", rects.size(), box.Left, box.Top, box.Right,
              box.Bottom);
}

int Dump(const QString& path, bool all) {
  const auto rects = ReadRegionFile(path.toStdString());
  if (!rects) {
    std::fprintf(stderr, "zumbrel-outline: %s holds no region\n", qPrintable(path));
    return 1;
  }
  PrintRegion(*rects);
  if (all)
    for (const TRect& r : *rects) std::printf("%d,%d,%d,%d\n", r.Left, r.Top, r.Right, r.Bottom);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QCommandLineParser args;
  args.setApplicationDescription(
      "Writes the outline file of a picture: every pixel not of the transparent colour is inside.\n"
      "With --dump, prints the region held in an outline file instead.");
  args.addHelpOption();
  args.addOption(
      {{"k", "key"}, "The transparent colour, #RRGGBB (default: the top-left pixel's).", "colour"});
  args.addOption(
      {{"d", "dump"}, "Print the region of an outline file (and with --verbose its rectangles)."});
  args.addOption({{"v", "verbose"}, "Print every rectangle."});
  args.addPositionalArgument("picture", "The picture (BMP or any format Qt reads).");
  args.addPositionalArgument("outline", "The outline file to write.");
  args.process(app);
  const QStringList files = args.positionalArguments();
  if (args.isSet("dump")) {
    if (files.size() != 1) {
      std::fputs("zumbrel-outline: --dump takes one outline file\n", stderr);
      return 2;
    }
    return Dump(files[0], args.isSet("verbose"));
  }
  if (files.size() != 2) {
    std::fputs("zumbrel-outline: give a picture and the outline file to write (see --help)\n",
               stderr);
    return 2;
  }
  QImageReader reader(files[0]);
  const QImage picture = reader.read();
  if (picture.isNull()) {
    std::fprintf(stderr, "zumbrel-outline: %s: %s\n", qPrintable(files[0]),
                 qPrintable(reader.errorString()));
    return 1;
  }
  QRgb key = CornerColour(picture);
  if (args.isSet("key")) {
    const QColor c = ParseColour(args.value("key"));
    if (!c.isValid()) {
      std::fputs("zumbrel-outline: --key takes a colour #RRGGBB\n", stderr);
      return 2;
    }
    key = c.rgb();
  }
  const std::vector<TRect> rects = OutlineRects(picture, key);
  if (!WriteOutlineFile(files[1], rects)) {
    std::fprintf(stderr, "zumbrel-outline: %s: cannot write\n", qPrintable(files[1]));
    return 1;
  }
  std::printf("transparent colour #%06X; ", key & 0xFFFFFF);
  PrintRegion(rects);
  if (args.isSet("verbose"))
    for (const TRect& r : rects) std::printf("%d,%d,%d,%d\n", r.Left, r.Top, r.Right, r.Bottom);
  return 0;
}
