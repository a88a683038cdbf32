// Fuzz target for the number reader: any text gives a finite value or a
// conversion error, and so do the three radix readers.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/CalcExpress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char separator = data[0] & 1 ? ',' : '.';
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    const long double v = ParseNumber(text, separator);
    if (!std::isfinite(v)) std::abort();
  } catch (const EConvertError&) {
  }
  for (auto reader : {HexToInt, OctToInt, BinToInt}) {
    try {
      reader(text);
    } catch (const EConvertError&) {
    }
  }
  return 0;
}
