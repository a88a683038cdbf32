// Scaffolding shared by the gui fuzz targets: an offscreen application, and a
// window with a shape component and a skin, beside a scratch folder that is
// removed at exit. Each target prepares the folder with its own files.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <functional>

#include "controls/CoolForm.h"
#include "skin/skin.h"

struct TFuzzWorld {
  QTemporaryDir Dir;
  QWidget Form;
  TCoolForm* Cool = new TCoolForm(&Form);
  TSkin Skin{&Form};
};

inline void FuzzWriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::abort();
}

// The one world of a fuzz run, made on first use with `prepare` run on its
// scratch folder. It is never destroyed; its folder goes at exit.
inline TFuzzWorld* FuzzWorld(const std::function<void(const QString&)>& prepare = {}) {
  static TFuzzWorld* world = [&] {
    auto* w = new TFuzzWorld;
    if (!w->Dir.isValid()) std::abort();
    std::atexit([] { FuzzWorld()->Dir.remove(); });
    if (prepare) prepare(w->Dir.path());
    w->Skin.SetCoolForm(w->Cool);
    return w;
  }();
  return world;
}

// libFuzzer's start-up hook body: an application on the offscreen platform.
inline void StartOffscreenApplication(const char* programName) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char* argv[] = {const_cast<char*>(programName), nullptr};
  new QApplication(argc, argv);
}
