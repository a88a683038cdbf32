// Cutting UTF-8 text to a number of characters without splitting one. Core
// layer (standard C++ only); the one rule for every reader that limits text
// (INI values, skin font names).
#pragma once

#include <cstddef>
#include <string_view>

// The first `count` characters of `text`, counting a UTF-8 sequence as one
// character so a cut never splits one. A byte that cannot continue the
// sequence before it (a stray continuation byte, or one past the sequence's
// announced length) counts as a character of its own, so the result never
// holds more than 4 bytes per character, whatever the bytes.
inline std::string_view CutUtf8(std::string_view text, std::size_t count) {
  std::size_t chars = 0;
  int pending = 0;  // continuation bytes the current sequence may still take
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if ((b & 0xC0u) == 0x80u && pending > 0) {
      --pending;
      continue;
    }
    if (chars++ == count) return text.substr(0, i);
    pending = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  }
  return text;
}
