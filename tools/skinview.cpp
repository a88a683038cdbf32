// zumbrel-skinview: shows a skin in a bare window exactly as the calculator's
// skin loader builds it (picture, outline, every element), without the
// calculator behind it, or (--check) lists every problem of a skin. For skin
// authors, and for screenshots of skins.
#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"
#include "skin/SkinCheck.h"

#include "controls/CoolForm.h"
#include "controls/ImgBox.h"
#include "controls/ImgBtn.h"
#include "engine/Errors.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"

namespace {

TImgBtn* FindButton(const TSkin& skin, const QString& name) {
  for (int i = 0; i < skin.ButtonCount(); ++i)
    if (TImgBtn* b = skin.Buttons(i); b && b->ButtonName() == name) return b;
  return nullptr;
}

// Puts the state pictures of the named elements on show, for screenshots.
bool ShowStates(const TSkin& skin, const QCommandLineParser& args) {
  bool ok = true;
  const auto missing = [&](const QString& name) {
    std::fprintf(stderr, "zumbrel-skinview: the skin has no element %s\n", qPrintable(name));
    ok = false;
  };
  for (const QString& name : args.values("checked")) {
    if (TImgCheckBox* box = skin.FindCheckBox(name))
      box->SetChecked(true);
    else
      missing(name);
  }
  for (const QString& name : args.values("hover")) {
    if (TImgBtn* b = FindButton(skin, name))
      b->SetPic(b->PicUp());
    else
      missing(name);
  }
  for (const QString& name : args.values("press")) {
    if (TImgBtn* b = FindButton(skin, name))
      b->SetPic(b->PicDown());
    else
      missing(name);
  }
  if (args.isSet("result")) {
    if (TSkinLabel* l = skin.FindLabel("Result")) {
      l->SetOneLine();  // as the calculator shows its result
      l->setText(args.value("result"));
    }
  }
  if (args.isSet("expression")) {
    if (TSkinEdit* e = skin.FindEdit("Expression")) e->setText(args.value("expression"));
  }
  return ok;
}

// A picture as the skin loader decodes it: by its extension, whole.
TPictureFacts ProbePicture(const std::string& path) {
  TPictureFacts facts;
  const QString ext = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).suffix().toLower();
  if (ext != "bmp" && ext != "png" && ext != "ico") {
    facts.Error = "not a BMP, PNG or ICO file";
    return facts;
  }
  std::string bytes;
  if (ReadRegularFile(path, bytes) != rrRead) {
    facts.Error = "not a regular file of at most 64 MB";
    return facts;
  }
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, ext.toLatin1());
  reader.setAutoDetectImageFormat(false);
  reader.setAllocationLimit(256);  // as much as a whole skin may take
  const QImage image = reader.read();
  if (image.isNull()) {
    facts.Error = reader.errorString().toStdString();
    return facts;
  }
  facts.Decodes = true;
  facts.Bitmap = ext != "ico";
  facts.Width = image.width();
  facts.Height = image.height();
  return facts;
}

// Prints every problem of the skin; 1 when one of them is an error.
int CheckSkinFile(const QString& skin) {
  int errors = 0, warnings = 0;
  for (const TSkinProblem& p : CheckSkin(QFile::encodeName(skin).toStdString(), ProbePicture)) {
    std::printf("%s\n", FormatProblem(p).c_str());
    errors += p.Level == clError;
    warnings += p.Level == clWarning;
  }
  std::printf("%s: %d error%s, %d warning%s\n", qPrintable(skin), errors, errors == 1 ? "" : "s",
              warnings, warnings == 1 ? "" : "s");
  return errors > 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Checking a skin decodes its pictures and needs no screen.
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--check") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QCommandLineParser args;
  args.setApplicationDescription("Shows a skin in a bare window, as the calculator would load it.");
  args.addHelpOption();
  args.addOption({"check",
                  "List every problem of the skin with its file and line, and open no window; "
                  "the exit status is 1 when one of them is an error."});
  args.addOption({"checked", "Show the check box <name> checked (repeatable).", "name"});
  args.addOption({"hover", "Show the button <name> in its hover picture (repeatable).", "name"});
  args.addOption({"press", "Show the button <name> in its pressed picture (repeatable).", "name"});
  args.addOption({"result", "Text for the Result label.", "text"});
  args.addOption({"expression", "Text for the Expression edit.", "text"});
  args.addOption(
      {"shot", "Save a screenshot of the window and its surroundings, then quit.", "png"});
  args.addPositionalArgument("skin", "The skin file (.skn).");
  args.process(app);
  if (args.positionalArguments().size() != 1) {
    std::fputs("zumbrel-skinview: give one skin file (see --help)\n", stderr);
    return 2;
  }
  if (args.isSet("check")) return CheckSkinFile(args.positionalArguments()[0]);
  QWidget window;
  window.setWindowTitle("zumbrel-skinview");
  auto* surface = new TCoolForm(&window);
  TSkin skin(&window);
  skin.SetCoolForm(surface);
  try {
    if (!skin.LoadSkin(args.positionalArguments()[0])) {
      std::fprintf(stderr, "zumbrel-skinview: cannot load %s (no skin file or no main picture)\n",
                   qPrintable(args.positionalArguments()[0]));
      return 1;
    }
  } catch (const EZumbrelError& e) {
    std::fprintf(stderr, "zumbrel-skinview: %s\n", e.what());
    return 1;
  }
  if (!ShowStates(skin, args)) return 1;
  std::printf("%s: %d buttons, %d labels, %d slide bars, %d check boxes, %d edits, %dx%d\n",
              qPrintable(skin.FileName()), skin.ButtonCount(), skin.LabelCount(),
              skin.SlideBarCount(), skin.CheckBoxCount(), skin.EditCount(), window.width(),
              window.height());
  window.move(40, 40);
  window.show();
  if (args.isSet("shot")) {
    const QString file = args.value("shot");
    QTimer::singleShot(700, &app, [&] {
      const QRect r = window.frameGeometry().adjusted(-20, -20, 20, 20);
      const QPixmap shot = window.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
      const bool saved = shot.save(file, "PNG");
      if (!saved) std::fprintf(stderr, "zumbrel-skinview: cannot write %s\n", qPrintable(file));
      app.exit(saved ? 0 : 1);
    });
  }
  return app.exec();
}
