// Fuzz target for the preset reader: any bytes must load without harm into a
// store that never outgrows its 256 slots, and what was loaded must survive
// being written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "presets/PresetFile.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

TPresetState Fresh(bool hasExpression) {
  TPresetState s;
  s.HasExpression = hasExpression;
  s.Variables = {"Pi", "A", "B", "C", "D", "E", "F", "X", "old"};
  s.Values.fill(1);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool hasExpression = (data[0] & 1) != 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  long double value = 0;
  ReadPresetValue(text.substr(0, 64), value);
  IsSafePresetName(text.substr(0, 32));

  TPresetState loaded = Fresh(hasExpression);
  TPresetReader reader(loaded);
  reader.Text(text);
  Check(loaded.Variables.size() <= kPresetSlots);
  Check(loaded.Variables.size() >= kPresetFixedNames);
  Check(loaded.Variables[7] == "X");
  Check(loaded.Format >= 0 && loaded.Format <= 3);
  Check(loaded.Degs >= 0 && loaded.Degs <= 2);
  Check(hasExpression || loaded.Func.empty());
  for (std::size_t i = 1; i < loaded.Variables.size(); ++i) {
    Check(loaded.Variables[i].find_first_of("=\r\n") == std::string::npos);
    Check(ValueText(loaded.Values[i]).size() == 23);
  }

  // Written and read back into another state, the loaded state comes back.
  TPresetState again = Fresh(hasExpression);
  again.Format = 1;
  again.Eng = !loaded.Eng;
  again.AutoY = !loaded.AutoY;
  TPresetReader(again).Text(PresetText(loaded));
  Check(again.Func == loaded.Func);
  Check(again.Format == loaded.Format && again.Degs == loaded.Degs && again.Eng == loaded.Eng);
  Check(again.Variables == loaded.Variables);
  for (std::size_t i = 1; i < loaded.Variables.size(); ++i)
    Check(ValueText(again.Values[i]) == ValueText(loaded.Values[i]));
  Check(again.FromX == loaded.FromX && again.ToX == loaded.ToX);
  Check(again.FromY == loaded.FromY && again.ToY == loaded.ToY);
  Check(again.AutoY == loaded.AutoY);
  return 0;
}
