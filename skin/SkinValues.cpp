#include "skin/SkinValues.h"

#include "platform/IniFile.h"
#include "platform/Utf8.h"

namespace skinvalues {

bool ParseInteger(std::string_view text, int& out) {
  // Skin files also take a bare "x" or "X" as the hexadecimal prefix.
  return ParseIniInteger(text, out, /*bareX=*/true);
}

int ToNumber(std::string_view value) {
  int n = 0;
  return ParseInteger(value, n) ? n : 0;
}

int IntegerKey(std::string_view value, int def) {
  int n = def;
  return ParseInteger(value, n) ? n : def;
}

// The 1-based position of the first `c`, 0 when absent.
static std::size_t PositionOf(std::string_view value, char c) {
  const std::size_t p = value.find(c);
  return p == std::string_view::npos ? 0 : p + 1;
}

int FirstNumber(std::string_view value) {
  const std::size_t px = PositionOf(value, 'x');
  const std::size_t pc = PositionOf(value, ',');
  // The text before the separator when exactly one of the two is present;
  // with both, the prefix holds the comma and is no integer; with neither,
  // it is empty.
  if (px + pc == 0) return 0;
  return ToNumber(value.substr(0, px + pc - 1));
}

int SecondNumber(std::string_view value) {
  const std::size_t pc = PositionOf(value, ',');
  return ToNumber(value.substr(pc));
}

std::string ListItem(std::string_view value, int n) {
  if (n < 1) return {};
  std::size_t start = 0;
  for (int item = 1; item < n; ++item) {
    const std::size_t comma = value.find(',', start);
    if (comma == std::string_view::npos) return {};
    start = comma + 1;
  }
  const std::size_t end = value.find(',', start);
  return std::string(value.substr(start, end == std::string_view::npos ? end : end - start));
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

TSkinFont ReadFont(std::string_view value) {
  TSkinFont font;
  std::string name = ListItem(value, 1);
  // Blanks around the name are no part of it ("Arial , 10").
  while (!name.empty() && IsBlank(name.back())) name.pop_back();
  std::size_t lead = 0;
  while (lead < name.size() && IsBlank(name[lead])) ++lead;
  font.Name = std::string(CutUtf8(std::string_view(name).substr(lead), kMaxFontName));
  font.Size = SecondNumber(value);
  return font;
}

TSkinTextColor ReadTextColor(std::string_view value) {
  return {FirstNumber(value), SecondNumber(value) == 1};
}

TSkinColor SplitColor(std::int32_t color) {
  TSkinColor c;
  if (color < 0) {
    c.System = true;
    c.SystemIndex = static_cast<int>(static_cast<std::uint32_t>(color) & 0xFFu);
    return c;
  }
  const auto bits = static_cast<std::uint32_t>(color);
  c.Red = static_cast<std::uint8_t>(bits & 0xFFu);
  c.Green = static_cast<std::uint8_t>((bits >> 8) & 0xFFu);
  c.Blue = static_cast<std::uint8_t>((bits >> 16) & 0xFFu);
  return c;
}

}  // namespace skinvalues
