// The check of a skin for its authors (zumbrel-skinview --check): every
// problem of the skin file with its file and line, from misspelt keys to
// missing pictures and elements outside the window. Core layer (standard C++
// only); the pictures are measured through a function the caller gives, so
// any decoder can serve. Used by zumbrel-skinview and its tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum TCheckLevel {
  clError,    // the skin fails to load, or loses something it asks for
  clWarning,  // the skin loads, but not quite as written
  clInfo,     // worth knowing: names the calculator binds that the skin lacks
};

struct TSkinProblem {
  TCheckLevel Level = clError;
  std::string File;  // the file the problem is in (the skin file or a picture)
  int Line = 0;      // 1-based line in the skin file; 0 when no line is meant
  std::string Text;
};

// What the check learns of a picture file.
struct TPictureFacts {
  bool Decodes = false;  // the file is a picture of a kind skins take, and decodes
  bool Bitmap = true;    // a bitmap (an icon gives a window no size)
  int Width = 0, Height = 0;
  std::string Error;  // why it does not decode
};
using TPictureProbe = std::function<TPictureFacts(const std::string& path)>;

// The element names the calculator binds: buttons, check boxes, the
// expression edit and the result label.
extern const std::vector<std::string> kBoundButtonNames;
extern const std::vector<std::string> kBoundCheckBoxNames;

// Every problem of the skin file at `skinPath`, errors and warnings in the
// order of the file's lines, then the information.
std::vector<TSkinProblem> CheckSkin(const std::string& skinPath, const TPictureProbe& probe);

// "<file>:<line>: <level>: <text>" (without ":<line>" when there is none).
std::string FormatProblem(const TSkinProblem& problem);
