// Reading files that come from outside (settings, skins, pictures, outlines,
// presets) without trusting what lies at the path. Core layer (standard C++
// and POSIX only); any layer may use it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The largest outside file the program reads. No settings, skin, picture,
// outline or preset file of any use comes near it; a larger one is refused
// rather than read into memory.
inline constexpr std::size_t kMaxInputFileSize = std::size_t(64) << 20;

enum TReadResult {
  rrRead,     // the whole file is in `out`
  rrMissing,  // nothing at the path (or a folder on the way is missing)
  rrRefused,  // not a regular file (a pipe, a device, a folder) or too large
  rrFailed,   // a regular file that could not be opened or read
};

// Reads the file at `path` (links are followed) into `out` when it is a
// regular file of at most `maxBytes`. A pipe is never waited on and a device
// never read: whatever the path names is opened without blocking and checked
// before a byte is read, so it cannot change between the check and the read.
// `out` is left empty unless the result is rrRead.
TReadResult ReadRegularFile(const std::string& path, std::string& out,
                            std::size_t maxBytes = kMaxInputFileSize);

// A name that stays in the folder it is looked up in: not empty, not "." or
// "..", and without a path separator ("/" or "\\") or a NUL. Skin and preset
// names read from files must be such names, never paths.
bool IsPlainFileName(std::string_view name);
