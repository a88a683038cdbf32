// zumbrel-skingen: renders skins from their descriptions (tools/skins/*.desc)
// into a skins folder: the skin file, the BMP pictures and the outline file.
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

#include "skin/SkinPictures.h"
#include "tools/SkinDesc.h"
#include "tools/SkinWriter.h"

int main(int argc, char** argv) {
  // Drawing needs fonts, not a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QCommandLineParser args;
  args.setApplicationDescription(
      "Renders skin descriptions into skin files, BMP pictures and outline files.");
  args.addHelpOption();
  args.addOption({{"o", "out"}, "The skins folder to write into (required).", "folder"});
  args.addOption(
      {{"p", "preview"}, "Also write <Name>-preview.png and <Name>-states.png here.", "folder"});
  args.addOption({{"s", "scales"},
                  "Pixels per skin pixel to render, comma-separated (default 1,2): each scale "
                  "above 1 adds <Picture>@<scale>x.bmp for screens of that ratio.",
                  "list", "1,2"});
  args.addPositionalArgument("descriptions", "Skin description files (.desc).", "desc...");
  args.process(app);
  const QString out = args.value("out");
  if (out.isEmpty() || args.positionalArguments().isEmpty()) {
    std::fputs("zumbrel-skingen: give --out <skins folder> and at least one description\n", stderr);
    return 2;
  }
  QList<int> scales;
  for (const QString& item : args.value("scales").split(u',', Qt::SkipEmptyParts)) {
    bool ok = false;
    const int scale = item.trimmed().toInt(&ok);
    if (!ok || scale < 1 || scale > kMaxPictureScale) {
      std::fprintf(stderr, "zumbrel-skingen: --scales takes whole numbers from 1 to %d, not %s\n",
                   kMaxPictureScale, qPrintable(item));
      return 2;
    }
    if (!scales.contains(scale)) scales.append(scale);
  }
  int failed = 0;
  for (const QString& path : args.positionalArguments()) {
    try {
      const TSkinDesc desc = LoadSkinDesc(path);
      const TWriteSummary sum = WriteSkin(desc, out, args.value("preview"), scales);
      std::printf("%s: %d elements, %d pictures, %d outline rectangles, %lld bytes\n",
                  qPrintable(desc.Name),
                  static_cast<int>(desc.Keys.size() + desc.Labels.size() + desc.Edits.size() +
                                   desc.Slides.size()),
                  sum.Pictures, sum.OutlineRects, static_cast<long long>(sum.Bytes));
    } catch (const EDescError& e) {
      std::fprintf(stderr, "zumbrel-skingen: %s\n", e.what());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}
