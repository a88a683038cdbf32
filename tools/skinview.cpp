// zumbrel-skinview: shows a skin in a bare window exactly as the calculator's
// skin loader builds it (picture, outline, every element), without the
// calculator behind it. For skin authors, and for screenshots of skins.
#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>

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
  for (const QString& name : args.values("check")) {
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

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser args;
  args.setApplicationDescription("Shows a skin in a bare window, as the calculator would load it.");
  args.addHelpOption();
  args.addOption({"check", "Show the check box <name> checked (repeatable).", "name"});
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
