// INI files read and written one key at a time: the settings file and the
// skin files. Core layer, standard C++ only; any layer may use it.
//
// Rules: "[Name]" opens a section; "key=value" gives a value. Section and key
// names match regardless of ASCII letter case; a value is the text after the
// first "=", blanks trimmed, at most kIniMaxValue characters. The first
// occurrence of a key wins. CR LF, LF and CR line ends, a UTF-8 byte-order
// mark, comment lines (";") and lines without "=" are accepted; any bytes at all
// read without harm. A missing or unreadable file reads as an empty file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

// Longest value a read returns, in characters (longer values are cut).
inline constexpr std::size_t kIniMaxValue = 2047;

// The integer rule of the settings file: an optional "+" or "-", then decimal
// digits, or hexadecimal digits after "$", "0x" or "0X" (also after a bare "x"
// or "X" when `bareX` is set, as skin files allow). Leading blanks are skipped;
// nothing may follow the digits. Decimal must fit a 32-bit signed integer;
// hexadecimal may use all 32 bits ("$FFFFFFFF" is -1). Returns false, leaving
// `out` alone, when the text is not such an integer.
bool ParseIniInteger(std::string_view text, int& out, bool bareX = false);

// The parsed content of an INI text, for lookups.
class TIniData {
 public:
  TIniData() = default;
  explicit TIniData(std::string_view text);

  // The value of the key (trimmed, cut to kIniMaxValue characters), or null
  // when the section or key is missing. Lines before the first section belong
  // to the section named "".
  const std::string* Find(std::string_view section, std::string_view key) const;

 private:
  // Lower-case section name -> lower-case key name -> value.
  std::unordered_map<std::string, std::unordered_map<std::string, std::string>> FSections;
};

// `text` with one key set to `value`, every other line left byte for byte:
// the value part of the key's line is replaced (the line that Find reads), or
// the key is added after the last key of its section, or the section is added
// at the end. New lines use the text's own line end (LF for an empty text).
// Line breaks inside the names or the value become blanks. Keys must not
// contain "=", section names not "]".
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

// Replaces the file at `path` with `bytes` atomically: a temporary file beside
// it, then a rename over it (a link at `path` is replaced, not followed).
// Throws EWriteError "Unable to write to <path>" when it cannot, leaving the
// old file intact and no temporary file behind; a read-only file (no write
// permission for its owner) is never replaced.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// One INI file on disk. Each read looks at the file as it is now (parsed files
// are cached by path, size and modification time, so many reads of one file
// stay cheap); each write goes to disk at once, replacing the file atomically
// (a temporary file beside it, then a rename), and throws EWriteError
// "Unable to write to <path>" when it cannot, leaving the old file intact
// (a read-only file counts as one it cannot write).
class IniFile {
 public:
  explicit IniFile(std::string path);

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // A missing key or a value that is not an integer (ParseIniInteger) gives `def`.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // Read as an integer with the default 1 or 0; any value other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);  // decimal
  void WriteBool(std::string_view section, std::string_view key, bool value);    // "1" / "0"

  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};
