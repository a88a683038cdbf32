#include "calc/FormulaText.h"

#include <charconv>
#include <cmath>
#include <system_error>

std::string FormulaText(long double value, char separator) {
  if (!std::isfinite(value)) return {};
  if (value == 0) return "0";
  char buffer[64];
  // Without a format, to_chars writes the shortest text that reads back as
  // the same value, in fixed or scientific form, whichever is shorter.
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value));
  if (r.ec != std::errc()) return {};
  std::string text;
  for (const char* p = buffer; p != r.ptr; ++p) {
    if (*p == '.') {
      text += separator;
    } else if (*p == 'e') {
      // "e+20" becomes "e20" and "e-05" becomes "e-5".
      text += 'e';
      ++p;
      if (p != r.ptr && *p == '-')
        text += *p++;
      else if (p != r.ptr && *p == '+')
        ++p;
      while (p + 1 < r.ptr && *p == '0') ++p;
      text.append(p, static_cast<std::size_t>(r.ptr - p));
      break;
    } else {
      text += *p;
    }
  }
  return value < 0 ? "(-" + text + ")" : text;
}
