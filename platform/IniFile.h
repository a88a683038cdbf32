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
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Longest value a read returns, in characters (longer values are cut).
inline constexpr std::size_t kIniMaxValue = 2047;

// The integer rule of the settings file: an optional "+" or "-", then decimal
// digits, or hexadecimal digits after "$", "0x" or "0X" (also after a bare "x"
// or "X" when `bareX` is set, as skin files allow). Leading blanks are skipped;
// nothing may follow the digits. Decimal must fit a 32-bit signed integer;
// hexadecimal may use all 32 bits ("$FFFFFFFF" is -1). Returns false, leaving
// `out` alone, when the text is not such an integer.
bool ParseIniInteger(std::string_view text, int& out, bool bareX = false);

// The parsed content of an INI text, for lookups. It keeps the text and one
// small record per key line in a single table, so even a file of a million
// keys is parsed, searched and released quickly.
class TIniData {
 public:
  TIniData() = default;
  explicit TIniData(std::string text);

  // The value of the key (trimmed, cut to kIniMaxValue characters), or none
  // when the section or key is missing. Lines before the first section belong
  // to the section named "". The view is valid while this object lives.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

 private:
  // A key line: where its section's name, its name and its (cut) value lie in
  // the text, in the order of the lines, with a hash of both names that
  // ignores letter case.
  struct TEntry {
    std::uint64_t Hash = 0;
    std::size_t Order = 0;
    std::size_t Section = 0, SectionSize = 0;
    std::size_t Key = 0, KeySize = 0;
    std::size_t Value = 0, ValueSize = 0;
  };
  std::string FText;
  std::vector<TEntry> FEntries;  // by hash, then by order
};

// One key to write: section, key and value.
struct TIniValue {
  std::string Section, Key, Value;
};

// `text` with one key set to `value`, every other line left byte for byte:
// the value part of the key's line is replaced (the line that Find reads), or
// the key is added after the last key of its section, or the section is added
// at the end. New lines use the text's own line end (LF for an empty text).
// Line breaks inside the names or the value become blanks, and the names are
// taken without blanks around them. Keys must not contain "=", section names
// not "]".
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);
// Several keys set in one pass over the text: the same text as setting them
// one after the other with SetIniValue, in their order.
std::string SetIniValues(std::string_view text, const std::vector<TIniValue>& values);

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
// (a read-only file counts as one it cannot write, and so does one that cannot
// be read: a pipe, a device, or a file too large to read, which all read as
// empty). While a TIniBatch for the file is open, writes are collected
// instead, and reads see them.
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
  // Writes every key in one atomic replace of the file, as if written one by
  // one: all of them are written, or (with the EWriteError) none.
  void WriteValues(const std::vector<TIniValue>& values);

  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

// The keys a batch has collected (defined with the batches).
struct TIniPending;

// Collects the writes made to one file through any IniFile while it is open,
// and writes them all in one atomic replace when committed: the keys of
// several windows saved at the end of the program go to disk at once, and a
// file that cannot be written is reported once. A batch opened for a file
// that already has one joins it (its Commit leaves the writing to the first).
// Gui and core alike; one thread.
class TIniBatch {
 public:
  explicit TIniBatch(std::string path);
  // Commits what has not been committed; an error is then dropped.
  ~TIniBatch();
  TIniBatch(const TIniBatch&) = delete;
  TIniBatch& operator=(const TIniBatch&) = delete;

  // Writes the collected keys (nothing when there are none); throws
  // EWriteError "Unable to write to <path>" when the file cannot be written,
  // leaving it as it was. The batch stays open and collects again.
  void Commit();

 private:
  std::string FPath;
  std::shared_ptr<TIniPending> FPending;
  bool FOwner = false;
};
