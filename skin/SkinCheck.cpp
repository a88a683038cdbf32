// The check of a skin file: its lines against the keys the loader reads, then
// what the keys name (pictures, the outline) and where the elements lie.
#include "skin/SkinCheck.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Region.h"
#include "skin/SkinPictures.h"
#include "skin/SkinValues.h"

const std::vector<std::string> kBoundButtonNames = {
    "Enter", "Close", "Clear",  "Back",     "Minimize", "0",     "1",        "2",        "3",
    "4",     "5",     "6",      "7",        "8",        "9",     "A",        "B",        "C",
    "D",     "E",     "F",      "Exp",      "Pi",       "Divide", "Multiply", "Plus",    "Minus",
    "Point", "BracketL", "BracketR", "Sin", "Cos",      "Tan",   "Log",      "Ln",       "Power",
    "Power2", "Power3", "Fact", "And",      "Or",       "Xor",   "Mod",      "Inv"};
const std::vector<std::string> kBoundCheckBoxNames = {"MemSet", "MemClear", "MemOut", "MemPlus",
                                                      "MemMinus", "2ndF", "Hyp", "Eng"};

namespace {

constexpr int kMaxElements = 49;

struct TKind {
  const char* Section;
  const char* Word;
  const char* Noun;
  std::vector<std::string> Attributes;
  std::vector<std::string> Pictures;
};

const TKind kKinds[] = {
    {"Buttons", "But", "button", {"Default", "Down", "Up", "Pos", "Size", "Name"}, {"Default", "Down", "Up"}},
    {"Labels", "Label", "label", {"Size", "Align", "Font", "Color", "Background", "Pos", "Name", "Text"}, {}},
    {"SlideBars", "SlideBar", "slide bar", {"Pos", "Size", "Thickness", "Style", "Color", "Name"}, {}},
    {"CheckBoxes", "CheckBox", "check box", {"Unchecked", "Checked", "Pos", "Size", "Name"}, {"Unchecked", "Checked"}},
    {"Images", "Image", "image", {"Pos", "Size", "Name", "Foreground", "Background"}, {}},
    {"Edits", "Edit", "edit", {"Size", "Font", "Color", "Background", "Pos", "Name", "Border", "Text"}, {}},
};

const std::vector<std::string> kMainKeys = {"PictureDir", "Picture", "Mask", "Background", "Buttons",
                                            "Labels", "SlideBars", "CheckBoxes", "Images", "Edits"};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

bool Same(std::string_view a, std::string_view b) { return Lower(a) == Lower(b); }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Edits, with a swap of two neighbours counting as one (a typed "ua" for "au").
std::size_t Distance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i)
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

// The candidate nearest to `word` when it is near enough to be a slip.
std::optional<std::string> Nearest(const std::string& word, const std::vector<std::string>& candidates) {
  const std::size_t room = word.size() >= 8 ? 3 : word.size() >= 4 ? 2 : 1;
  std::optional<std::string> best;
  std::size_t bestDistance = room + 1;
  for (const std::string& c : candidates) {
    const std::size_t d = Distance(Lower(word), Lower(c));
    if (d < bestDistance) best = c, bestDistance = d;
  }
  return best;
}

// An element key taken apart: the kind's word, the element number and the attribute.
struct TElementKey {
  int Number = 0;
  std::string Attribute;  // as the kind spells it
};

std::optional<TElementKey> ParseElementKey(const TKind& kind, std::string_view key) {
  const std::size_t word = std::string_view(kind.Word).size();
  if (key.size() <= word || !Same(key.substr(0, word), kind.Word)) return std::nullopt;
  std::size_t at = word;
  while (at < key.size() && key[at] >= '0' && key[at] <= '9') ++at;
  const std::string_view digits = key.substr(word, at - word);
  if (digits.empty() || digits.size() > 4 || digits[0] == '0') return std::nullopt;
  for (const std::string& a : kind.Attributes)
    if (Same(key.substr(at), a)) return TElementKey{std::stoi(std::string(digits)), a};
  return std::nullopt;
}

struct TKeyLine {
  int Line = 0;
  std::string Key, Value;
};

class TChecker {
 public:
  TChecker(std::string path, const TPictureProbe& probe) : FPath(std::move(path)), FProbe(probe) {}
  std::vector<TSkinProblem> Run();

 private:
  void Add(TCheckLevel level, int line, std::string text) {
    (level == clInfo ? FInfo : FProblems).push_back({level, FPath, line, std::move(text)});
  }
  void ScanLines(const std::string& text);
  void CheckKey(const std::string& section, int line, const std::string& key);
  // The first occurrence of a key, as the loader reads it.
  const TKeyLine* Key(const std::string& section, const std::string& key) const {
    const auto it = FKeys.find(Lower(section) + "\n" + Lower(key));
    return it == FKeys.end() ? nullptr : &it->second;
  }
  std::string Value(const std::string& section, const std::string& key) const {
    const TKeyLine* k = Key(section, key);
    return k ? k->Value : std::string();
  }
  // The picture a key names: its facts, after reporting what is wrong.
  std::optional<TPictureFacts> CheckPicture(const std::string& section, const std::string& key);
  void CheckMain();
  void CheckElements(const TKind& kind);

  std::string FPath;
  const TPictureProbe& FProbe;
  std::string FFolder;
  TFileFinder FFinder;
  std::map<std::string, TKeyLine> FKeys;  // "section\nkey" in lower case
  std::vector<TSkinProblem> FProblems, FInfo;
  int FWidth = 0, FHeight = 0;  // the window, once its picture is known
  bool FFolderCase = false;     // the pictures folder was found in other letter case
};

void TChecker::ScanLines(const std::string& text) {
  std::vector<std::string> sections = {"Main"};
  for (const TKind& k : kKinds) sections.emplace_back(k.Section);
  std::string section;
  bool known = true;  // keys before any section are reported one by one
  int line = 0;
  // A UTF-8 byte-order mark may open the file; CR LF, LF and CR end lines.
  std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    const std::string_view raw = Trim(std::string_view(text).substr(at, end - at));
    at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    ++line;
    if (raw.empty() || raw[0] == ';' || raw[0] == '#') continue;
    if (raw[0] == '[') {
      const std::size_t close = raw.find(']');
      section = std::string(Trim(raw.substr(1, close == std::string_view::npos ? raw.size() : close - 1)));
      known = std::any_of(sections.begin(), sections.end(), [&](const std::string& s) { return Same(s, section); });
      if (!known) {
        if (const auto near = Nearest(section, sections))
          Add(clError, line, "[" + section + "]: did you mean [" + *near + "]? (its keys are not read)");
        else
          Add(clWarning, line, "unknown section [" + section + "]: its keys are not read");
      }
      continue;
    }
    const std::size_t eq = raw.find('=');
    if (eq == std::string_view::npos) {
      Add(clWarning, line, "\"" + std::string(raw) + "\" is neither a section nor a key: ignored");
      continue;
    }
    const std::string key(Trim(raw.substr(0, eq)));
    const std::string value(Trim(raw.substr(eq + 1)).substr(0, kIniMaxValue));
    const std::string id = Lower(section) + "\n" + Lower(key);
    if (const auto first = FKeys.find(id); first != FKeys.end()) {
      Add(clWarning, line,
          key + " is given again: the one on line " + std::to_string(first->second.Line) + " counts");
      continue;
    }
    FKeys.emplace(id, TKeyLine{line, key, value});
    if (known) CheckKey(section, line, key);
  }
}

void TChecker::CheckKey(const std::string& section, int line, const std::string& key) {
  if (section.empty()) {
    Add(clWarning, line, key + " lies before any section: not read");
    return;
  }
  if (Same(section, "Main")) {
    if (std::any_of(kMainKeys.begin(), kMainKeys.end(), [&](const std::string& k) { return Same(k, key); }))
      return;
    if (const auto near = Nearest(key, kMainKeys))
      Add(clError, line, key + ": did you mean " + *near + "?");
    else
      Add(clWarning, line, "unknown key " + key + " in [Main]: not read");
    return;
  }
  const TKind& kind = *std::find_if(std::begin(kKinds), std::end(kKinds),
                                    [&](const TKind& k) { return Same(k.Section, section); });
  if (const auto parsed = ParseElementKey(kind, key)) {
    if (parsed->Number > kMaxElements)
      Add(clWarning, line,
          key + ": a skin has at most " + std::to_string(kMaxElements) + " of each kind; not read");
    return;
  }
  for (const TKind& other : kKinds) {
    if (ParseElementKey(other, key)) {
      Add(clError, line, key + " belongs in [" + other.Section + "]: not read here");
      return;
    }
  }
  // The same element number (or 1) with each attribute of the kind.
  const std::size_t digitsAt = key.find_first_of("0123456789");
  std::string number = "1";
  if (digitsAt != std::string::npos)
    number = key.substr(digitsAt, key.find_first_not_of("0123456789", digitsAt) - digitsAt);
  std::vector<std::string> candidates;
  for (const std::string& a : kind.Attributes) candidates.push_back(kind.Word + number + a);
  if (const auto near = Nearest(key, candidates))
    Add(clError, line, key + ": did you mean " + *near + "?");
  else
    Add(clWarning, line, "unknown key " + key + " in [" + kind.Section + "]: not read");
}

std::optional<TPictureFacts> TChecker::CheckPicture(const std::string& section, const std::string& key) {
  const TKeyLine* k = Key(section, key);
  if (!k || k->Value.empty()) return std::nullopt;
  const std::string pictureDir = Value("Main", "PictureDir");
  const std::string relative = pictureDir.empty() ? k->Value : pictureDir + "/" + k->Value;
  const std::optional<TFoundFile> found = FFinder.Find(FFolder, relative);
  const std::string named = k->Key + "=" + k->Value;
  if (!found) {
    Add(clError, k->Line, named + ": no such picture");
    return std::nullopt;
  }
  if (!found->ExactCase) {
    const std::string file = std::filesystem::path(found->Path).filename().string();
    // A folder in other letter case is told once, at PictureDir.
    if (file != std::filesystem::path(k->Value).filename().string())
      Add(clWarning, k->Line,
          named + ": found only as " + file + ", in other letter case (other systems may not find it)");
    else
      FFolderCase = true;
  }
  const TPictureFacts facts = FProbe(found->Path);
  if (!facts.Decodes) {
    Add(clError, k->Line, named + ": cannot be decoded (" + facts.Error + ")");
    return std::nullopt;
  }
  // Larger versions for screens of higher ratios are the same picture.
  const std::filesystem::path path(found->Path);
  for (int s = 2; s <= kMaxPictureScale; ++s) {
    const auto larger = FFinder.Find(path.parent_path().string(), ScaledPictureName(path.filename().string(), s));
    if (!larger) continue;
    const TPictureFacts big = FProbe(larger->Path);
    const std::string name = std::filesystem::path(larger->Path).filename().string();
    if (!big.Decodes)
      Add(clError, k->Line, name + " (for " + named + ") cannot be decoded (" + big.Error + ")");
    else if (big.Width != facts.Width * s || big.Height != facts.Height * s)
      Add(clWarning, k->Line,
          name + " is " + std::to_string(big.Width) + "x" + std::to_string(big.Height) + ", not " +
              std::to_string(s) + " times " + std::to_string(facts.Width) + "x" + std::to_string(facts.Height));
  }
  return facts;
}

void TChecker::CheckMain() {
  const TKeyLine* picture = Key("Main", "Picture");
  if (!picture || picture->Value.empty()) {
    Add(clError, picture ? picture->Line : 0, "[Main] names no Picture: the skin cannot load");
  } else if (const auto facts = CheckPicture("Main", "Picture")) {
    if (!facts->Bitmap || facts->Width <= 0 || facts->Height <= 0)
      Add(clError, picture->Line,
          picture->Key + "=" + picture->Value + " gives a window of no size (it must be a bitmap): the skin cannot load");
    else
      FWidth = facts->Width, FHeight = facts->Height;
  }
  if (const TKeyLine* mask = Key("Main", "Mask"); mask && !mask->Value.empty()) {
    const std::string pictureDir = Value("Main", "PictureDir");
    const auto found = FFinder.Find(FFolder, pictureDir.empty() ? mask->Value : pictureDir + "/" + mask->Value);
    const std::string named = mask->Key + "=" + mask->Value;
    if (!found) {
      Add(clError, mask->Line, named + ": no such outline file (the window stays rectangular)");
    } else {
      if (!found->ExactCase)
        Add(clWarning, mask->Line, named + ": found only in other letter case (other systems may not find it)");
      // A file announcing no region at all asks for a rectangular window.
      const std::optional<TRegionBlock> block = ReadRegionBlockFile(found->Path);
      if (!block || (block->Size != 0 && !RegionFromBlock(*block)))
        Add(clError, mask->Line, named + ": holds no outline (the window stays rectangular)");
    }
  }
  for (const TKind& kind : kKinds) {
    const TKeyLine* count = Key("Main", kind.Section);
    if (count && skinvalues::IntegerKey(count->Value, 0) > kMaxElements)
      Add(clWarning, count->Line,
          count->Key + "=" + count->Value + ": at most " + std::to_string(kMaxElements) + " are made");
  }
}

void TChecker::CheckElements(const TKind& kind) {
  const int count = std::min(skinvalues::IntegerKey(Value("Main", kind.Section), 0), kMaxElements);
  const std::string noun = kind.Noun;
  std::map<std::string, int> names;  // name -> first element of it
  std::set<int> unread;
  for (const auto& [id, k] : FKeys) {
    if (!Same(id.substr(0, id.find('\n')), kind.Section)) continue;
    const auto parsed = ParseElementKey(kind, k.Key);
    if (parsed && parsed->Number > count && parsed->Number <= kMaxElements && unread.insert(parsed->Number).second)
      Add(clWarning, k.Line,
          noun + " " + std::to_string(parsed->Number) + " is not made ([Main] " + kind.Section + "=" +
              std::to_string(count) + "): its keys are not read");
  }
  for (int n = 1; n <= count; ++n) {
    const std::string prefix = kind.Word + std::to_string(n);
    for (const std::string& attr : kind.Pictures) CheckPicture(kind.Section, prefix + attr);
    const std::string what = noun + " " + std::to_string(n);
    const TKeyLine* nameKey = Key(kind.Section, prefix + "Name");
    const std::string name = nameKey ? nameKey->Value : std::string();
    if (!name.empty()) {
      const auto [first, added] = names.emplace(name, n);
      if (!added)
        Add(clWarning, nameKey->Line,
            prefix + "Name=" + name + ": " + noun + " " + std::to_string(first->second) +
                " has this name too, and only that one is found by it");
    }
    if (Same(kind.Section, "SlideBars")) {
      const TKeyLine* style = Key(kind.Section, prefix + "Style");
      if (style && !style->Value.empty() && (skinvalues::ToNumber(style->Value) & 0xFF) > 17)
        Add(clError, style->Line, style->Key + "=" + style->Value + ": slide bar styles are 0 to 17 (the load ends here)");
    }
    const std::string pos = Value(kind.Section, prefix + "Pos"), size = Value(kind.Section, prefix + "Size");
    const long x = skinvalues::FirstNumber(pos), y = skinvalues::SecondNumber(pos);
    const long w = skinvalues::FirstNumber(size), h = skinvalues::SecondNumber(size);
    if (FWidth == 0 || w <= 0 || h <= 0) continue;  // an element of no size is hidden on purpose
    const TKeyLine* at = Key(kind.Section, prefix + "Pos");
    const int line = at ? at->Line : nameKey ? nameKey->Line : 0;
    const std::string where = what + (name.empty() ? "" : " (" + name + ")") + " at " + std::to_string(x) + "," +
                              std::to_string(y) + ", " + std::to_string(w) + "x" + std::to_string(h) + ", ";
    const std::string window = "the window (" + std::to_string(FWidth) + "x" + std::to_string(FHeight) + ")";
    if (x >= FWidth || y >= FHeight || x + w <= 0 || y + h <= 0)
      Add(clError, line, where + "lies outside " + window);
    else if (x < 0 || y < 0 || x + w > FWidth || y + h > FHeight)
      Add(clWarning, line, where + "lies partly outside " + window);
  }
  // What the calculator would bind, were it there.
  const auto missing = [&](const std::vector<std::string>& bound) {
    std::string list;
    for (const std::string& b : bound)
      if (!names.count(b)) list += (list.empty() ? "" : ", ") + b;
    return list;
  };
  std::string lacking;
  if (Same(kind.Section, "Buttons")) lacking = missing(kBoundButtonNames);
  if (Same(kind.Section, "CheckBoxes")) lacking = missing(kBoundCheckBoxNames);
  if (Same(kind.Section, "Edits")) lacking = missing({"Expression"});
  if (Same(kind.Section, "Labels")) lacking = missing({"Result"});
  if (!lacking.empty()) Add(clInfo, 0, "no " + noun + " named " + lacking + " (the calculator binds these names)");
}

std::vector<TSkinProblem> TChecker::Run() {
  std::string text;
  switch (ReadRegularFile(FPath, text)) {
    case rrRead:
      break;
    case rrMissing:
      Add(clError, 0, "no such skin file");
      return FProblems;
    default:
      Add(clError, 0, "not a regular file of at most 64 MB");
      return FProblems;
  }
  FFolder = std::filesystem::path(FPath).parent_path().string();
  ScanLines(text);
  CheckMain();
  for (const TKind& kind : kKinds) CheckElements(kind);
  if (FFolderCase) {
    const TKeyLine* dir = Key("Main", "PictureDir");
    Add(clWarning, dir ? dir->Line : 0,
        "PictureDir=" + (dir ? dir->Value : std::string()) +
            ": the pictures folder is found only in other letter case (other systems may not find it)");
  }
  std::stable_sort(FProblems.begin(), FProblems.end(),
                   [](const TSkinProblem& a, const TSkinProblem& b) { return a.Line < b.Line; });
  FProblems.insert(FProblems.end(), FInfo.begin(), FInfo.end());
  return FProblems;
}

}  // namespace

std::vector<TSkinProblem> CheckSkin(const std::string& skinPath, const TPictureProbe& probe) {
  return TChecker(skinPath, probe).Run();
}

std::string FormatProblem(const TSkinProblem& p) {
  static const char* const kLevels[] = {"error", "warning", "info"};
  std::string out = p.File;
  if (p.Line > 0) out += ":" + std::to_string(p.Line);
  return out + ": " + kLevels[p.Level] + ": " + p.Text;
}
