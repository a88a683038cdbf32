// The value forms of skin files, without any toolkit: the integer rule,
// pairs ("12,40", "30x40", "40"), comma lists, fonts ("Arial,10"), text
// colours ("255,1") and plain colours. Core layer (standard C++ only). Used by
// the skin loader (skin/skin.cpp) and its tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace skinvalues {

// Longest font name a skin may give, in characters; longer names are cut.
inline constexpr std::size_t kMaxFontName = 31;

// The integer rule: optional leading blanks, an optional sign, then decimal
// digits or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may
// follow. False (and `out` untouched) when the text is not such an integer.
bool ParseInteger(std::string_view text, int& out);

// The whole value by the integer rule; 0 when it is not an integer.
int ToNumber(std::string_view value);
// An integer key: `def` when the value is empty or not an integer.
int IntegerKey(std::string_view value, int def);

// The two numbers of a pair. The first is the text before the first ",", or
// before the first "x" when there is no ","; a value holding both or neither
// has the first number 0 (so "0xFF,1" gives 0). The second is the text after
// the first ",", or the whole value when there is none. Each part follows the
// integer rule and is 0 when it is not an integer.
int FirstNumber(std::string_view value);
int SecondNumber(std::string_view value);

// The n-th (1-based) comma-separated item of the value; empty when the value
// has fewer than n items (or n < 1).
std::string ListItem(std::string_view value, int n);

// A font: the name before the first "," (cut to kMaxFontName characters, an
// empty name means "leave the font's name as it is") and the size in points
// (the pair's second number; 0 means the default size).
struct TSkinFont {
  std::string Name;
  int Size = 0;
};
TSkinFont ReadFont(std::string_view value);

// A text colour: the colour (the pair's first number) and bold when the
// second number is exactly 1.
struct TSkinTextColor {
  std::int32_t Color = 0;
  bool Bold = false;
};
TSkinTextColor ReadTextColor(std::string_view value);

// A colour of the 0x00BBGGRR form split into its parts, or a system colour
// (any negative value) by its index in the low byte.
struct TSkinColor {
  bool System = false;
  int SystemIndex = 0;  // when System
  std::uint8_t Red = 0, Green = 0, Blue = 0;
};
TSkinColor SplitColor(std::int32_t color);

}  // namespace skinvalues
