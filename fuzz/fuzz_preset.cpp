// Fuzz target for the preset reader: any bytes must load without harm into a
// store that never outgrows its slots, and what was loaded must survive
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
  s.Variables.Append("old");
  for (std::size_t i = 0; i < kVariableSlots; ++i) s.Variables.Value(i) = 1;
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
  Check(loaded.Variables.Count() <= kVariableSlots);
  Check(loaded.Variables.Count() >= kFirstUserSlot);
  Check(loaded.Variables.Name(kXSlot) == "X");
  Check(loaded.Format >= nfDecimal && loaded.Format <= nfBinary);
  Check(loaded.Degs >= cdDegreees && loaded.Degs <= cdGradians);
  Check(hasExpression || loaded.Func.empty());
  for (std::size_t i = 1; i < loaded.Variables.Count(); ++i) {
    Check(loaded.Variables.Name(i).find_first_of("=\r\n") == std::string::npos);
    Check(ValueText(loaded.Variables.Value(i)).size() == 23);
  }

  // Written and read back into another state, the loaded state comes back.
  TPresetState again = Fresh(hasExpression);
  again.Format = nfHexadecimal;
  again.Eng = !loaded.Eng;
  again.AutoY = !loaded.AutoY;
  TPresetReader(again).Text(PresetText(loaded));
  Check(again.Func == loaded.Func);
  Check(again.Format == loaded.Format && again.Degs == loaded.Degs && again.Eng == loaded.Eng);
  Check(again.Variables.Names() == loaded.Variables.Names());
  for (std::size_t i = 1; i < loaded.Variables.Count(); ++i)
    Check(ValueText(again.Variables.Value(i)) == ValueText(loaded.Variables.Value(i)));
  Check(again.FromX == loaded.FromX && again.ToX == loaded.ToX);
  Check(again.FromY == loaded.FromY && again.ToY == loaded.ToY);
  Check(again.AutoY == loaded.AutoY);
  return 0;
}
