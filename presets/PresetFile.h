// Preset files: the text form of a saved calculator state (expression, number
// format, angle unit, Eng flag, variables, graph range) and the line-by-line
// rules that read it back, working on a plain state struct. Also the check
// that a preset name names a file inside the Presets folder. Core layer,
// standard C++ only; used by the Presets submenu, its tests and the fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calc/Format.h"
#include "calc/VariableStore.h"
#include "engine/CalcExpress.h"

// What a preset saves and restores.
struct TPresetState {
  // The expression field; HasExpression is false when the skin has none, and
  // then Func is neither written nor restored.
  bool HasExpression = true;
  std::string Func;
  TNumberFormat Format = nfDecimal;
  TCalcDeg Degs = cdRadians;
  bool Eng = false;
  TVariableStore Variables;
  // The graph window's range fields, as typed, and its automatic-Y box.
  std::string FromX, ToX, FromY, ToY;
  bool AutoY = true;
};

// A value as a preset writes it: 23 characters, a sign place (blank or "-"),
// 15 significant digits in the form d.ddddddddddddddE+dddd, always with ".";
// "Nan", "+Inf" or "-Inf" right-aligned for values that are not finite.
std::string ValueText(long double value);

// Reads a preset's value text: leading blanks, an optional sign, digits with an
// optional "." fraction, an optional exponent (E or e, optional sign, digits),
// and nothing else. "." is the decimal point whatever the locale. False, with
// `value` untouched, for any other text or a value too large for the store.
bool ReadPresetValue(std::string_view text, long double& value);

// The whole file for `state`, every line ended by CR LF. Position 0 of the
// variables ("Pi") is not written.
std::string PresetText(const TPresetState& state);

// Reading a preset. Begin cuts the variables back to the fixed names (their
// values stay); each line then changes the state as the preset says;
// malformed lines are skipped one by one. A user variable that finds the
// store full is dropped.
enum TPresetSection : std::uint8_t { psNone, psCalc, psVariables, psGraph };

class TPresetReader {
 public:
  explicit TPresetReader(TPresetState& state);

  // One line without its line feed; carriage returns in it are ignored.
  void Line(std::string_view line);
  // A whole text: lines end at line feeds.
  void Text(std::string_view text);

  TPresetSection Section() const { return FSection; }
  // User variables dropped because the store was full.
  std::size_t Dropped() const { return FDropped; }

 private:
  void CalcLine(std::string_view line);
  void VariableLine(std::string_view line);
  void GraphLine(std::string_view line);

  TPresetState& FState;
  TPresetSection FSection = psNone;
  std::size_t FDropped = 0;
};

// Reads the preset file at `path` into `state` (cut back and changed as
// above). False, with `state` untouched, when the path is not a readable
// plain file; a read error part-way keeps the lines read until then.
bool LoadPresetFile(const std::string& path, TPresetState& state);

// A name the user may save a preset under: not empty, not "." or "..", and
// without "/", "\" or control characters, so the file stays inside the
// Presets folder and the name stays one plain line.
bool IsSafePresetName(std::string_view name);
// A name that, joined to the Presets folder, still names an entry inside it
// (not empty, not "." or "..", no "/" or "\"). Loading and deleting check it.
bool StaysInPresetFolder(std::string_view name);
