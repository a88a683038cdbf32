#include "presets/PresetFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <limits>

#include "platform/Files.h"

static_assert(std::numeric_limits<long double>::digits == 64,
              "presets keep 80-bit extended values");

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kValueWidth = 23;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Optional blanks, optional sign, decimal digits, nothing after; fits an int.
bool ReadDecimalInteger(std::string_view text, int& out) {
  while (!text.empty() && text[0] == ' ') text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  long long value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + (c - '0');
    if (value > 1LL << 31) return false;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max()) return false;
  out = static_cast<int>(value);
  return true;
}

}  // namespace

std::string ValueText(long double value) {
  if (!std::isfinite(value)) {
    const std::string word = std::isnan(value) ? "Nan" : (value > 0 ? "+Inf" : "-Inf");
    return std::string(kValueWidth - word.size(), ' ') + word;
  }
  // to_chars never looks at the locale, so the point is always ".".
  char digits[64];
  const auto result = std::to_chars(digits, digits + sizeof digits, std::fabs(value),
                                    std::chars_format::scientific, 14);
  const std::string_view text(digits, result.ptr - digits);  // d.ddddddddddddddde[+-]xx...
  const std::size_t e = text.find('e');
  std::string out;
  out.reserve(kValueWidth);
  out += value < 0 ? '-' : ' ';
  out += text.substr(0, e);
  out += 'E';
  out += text[e + 1];
  const std::string_view exponent = text.substr(e + 2);
  out.append(exponent.size() < 4 ? 4 - exponent.size() : 0, '0');
  out += exponent;
  return out;
}

bool ReadPresetValue(std::string_view text, long double& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t wholeStart = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const std::string_view whole = text.substr(wholeStart, i - wholeStart);
  std::string_view fraction;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fractionStart = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    fraction = text.substr(fractionStart, i - fractionStart);
  }
  if (whole.empty() && fraction.empty()) return false;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    const std::size_t digitsStart = i;
    // Far beyond the extended range even for a mantissa of a billion digits:
    // the value is then 0 or too large.
    constexpr long kExponentCap = 2000000000;
    while (i < text.size() && IsDigit(text[i]))
      exponent = std::min(exponent * 10 + (text[i++] - '0'), kExponentCap);
    if (i == digitsStart) return false;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != text.size()) return false;
  const long double read = DecimalToExtended(negative, whole, fraction, exponent);
  if (std::isinf(read)) return false;  // beyond the extended range
  value = read;
  return true;
}

std::string PresetText(const TPresetState& state) {
  std::string out;
  const auto line = [&out](std::string_view a, std::string_view b = {}) {
    out += a;
    out += b;
    out += kCrLf;
  };
  line(";Zumbrel Preset");
  line("");
  line("[Calc]");
  line("Func=", state.HasExpression ? std::string_view(state.Func) : std::string_view());
  line("Format=", std::to_string(int(state.Format)));
  line("Degs=", std::to_string(int(state.Degs)));
  line("Eng=", state.Eng ? "1" : "0");
  line("");
  line("[Variables]");
  // Pi is the same in every calculator and is not written.
  for (std::size_t i = kPiSlot + 1; i < state.Variables.Count(); ++i) {
    out += state.Variables.Name(i);
    line("=", ValueText(state.Variables.Value(i)));
  }
  line("");
  line("[Graph]");
  line("X1=", state.FromX);
  line("X2=", state.ToX);
  line("Y1=", state.FromY);
  line("Y2=", state.ToY);
  line("AY=", state.AutoY ? "1" : "0");
  return out;
}

TPresetReader::TPresetReader(TPresetState& state) : FState(state) {
  FState.Variables.KeepFixedNames();
}

void TPresetReader::Line(std::string_view raw) {
  std::string cleaned;
  if (raw.find('\r') != std::string_view::npos) {
    cleaned.reserve(raw.size());
    for (char c : raw)
      if (c != '\r') cleaned += c;
    raw = cleaned;
  }
  if (raw == "[Calc]") {
    FSection = psCalc;
  } else if (raw == "[Variables]") {
    FSection = psVariables;
  } else if (raw == "[Graph]") {
    FSection = psGraph;
  } else if (FSection == psCalc) {
    CalcLine(raw);
  } else if (FSection == psVariables) {
    VariableLine(raw);
  } else if (FSection == psGraph) {
    GraphLine(raw);
  }
}

void TPresetReader::Text(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    Line(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

void TPresetReader::CalcLine(std::string_view line) {
  int n = 0;
  if (StartsWith(line, "Func=")) {
    if (FState.HasExpression) FState.Func = line.substr(5);
  } else if (StartsWith(line, "Format=")) {
    if (ReadDecimalInteger(line.substr(7), n) && n >= nfDecimal && n <= nfBinary)
      FState.Format = static_cast<TNumberFormat>(n);
  } else if (StartsWith(line, "Degs=")) {
    if (ReadDecimalInteger(line.substr(5), n) && n >= cdDegreees && n <= cdGradians)
      FState.Degs = static_cast<TCalcDeg>(n);
  } else if (StartsWith(line, "Eng=")) {
    FState.Eng = line.substr(4) == "1";
  }
}

void TPresetReader::VariableLine(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view name = line.substr(0, equals);
  long double value = 0;
  if (!ReadPresetValue(line.substr(equals + 1), value)) return;
  // The memories and X are found by their fixed names, whatever they are
  // called now; every other name is a user variable of the preset's own.
  for (std::size_t slot = kFirstMemorySlot; slot <= kXSlot; ++slot) {
    if (name == kFixedNames[slot]) {
      FState.Variables.Value(slot) = value;
      return;
    }
  }
  if (!FState.Variables.Append(std::string(name), value)) ++FDropped;
}

void TPresetReader::GraphLine(std::string_view line) {
  if (StartsWith(line, "X1=")) {
    FState.FromX = line.substr(3);
  } else if (StartsWith(line, "X2=")) {
    FState.ToX = line.substr(3);
  } else if (StartsWith(line, "Y1=")) {
    FState.FromY = line.substr(3);
  } else if (StartsWith(line, "Y2=")) {
    FState.ToY = line.substr(3);
  } else if (StartsWith(line, "AY=")) {
    FState.AutoY = line == "AY=1";
  }
}

bool LoadPresetFile(const std::string& path, TPresetState& state) {
  // Folders, devices, pipes and files too large to be presets are not read.
  std::string text;
  if (ReadRegularFile(path, text) != rrRead) return false;
  TPresetReader reader(state);
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    reader.Line(std::string_view(text).substr(pos, end - pos));
    pos = end + 1;
  }
  return true;
}

bool StaysInPresetFolder(std::string_view name) {
  return IsPlainFileName(name);
}

bool IsSafePresetName(std::string_view name) {
  if (!StaysInPresetFolder(name)) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == 0x7F) return false;
    // U+0080..U+009F, the second set of control characters, in UTF-8.
    if (c == 0xC2 && i + 1 < name.size()) {
      const auto next = static_cast<unsigned char>(name[i + 1]);
      if (next >= 0x80 && next <= 0x9F) return false;
    }
  }
  return true;
}
