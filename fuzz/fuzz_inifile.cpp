// Fuzz target for the INI reader and the one-key editor: any bytes must parse,
// and setting a key must make it read back while every other key stays as it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/IniFile.h"

namespace {

constexpr std::string_view kSections[] = {"", "Main", "Position", "Graph", "Buttons", "labels"};
constexpr std::string_view kKeys[] = {"Skin",    "Format",  "AlwayOnTop", "left", "Top",
                                      "But1Pos", "Buttons", "PictureDir", "a"};

bool Printable(std::string_view v) {
  if (v.size() > kIniMaxValue) return false;
  for (char c : v)
    if (c <= ' ' || c > '~') return false;
  return true;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view sec = kSections[data[0] % std::size(kSections)];
  const std::string_view key = kKeys[data[1] % std::size(kKeys)];
  std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  // The value is the input up to the first NUL; the whole rest is the file.
  const std::string_view value = rest.substr(0, std::min(rest.find('\0'), std::size_t{64}));

  const TIniData before{std::string(rest)};
  int n = 0;
  for (std::string_view s : kSections)
    for (std::string_view k : kKeys)
      if (const auto v = before.Find(s, k)) {
        Check(v->size() <= 4 * kIniMaxValue);
        ParseIniInteger(*v, n);
        ParseIniInteger(*v, n, true);
      }

  const std::string edited = SetIniValue(rest, sec, key, value);
  const TIniData after(edited);
  const auto written = after.Find(sec, key);
  Check(written.has_value());
  if (Printable(value)) Check(*written == value);
  for (std::string_view s : kSections)
    for (std::string_view k : kKeys) {
      if (s == sec && k == key) continue;
      const auto old = before.Find(s, k);
      const auto now = after.Find(s, k);
      Check(old.has_value() == now.has_value());
      if (old && now) Check(*old == *now);
    }
  return 0;
}
