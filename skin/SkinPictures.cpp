// Picture versions by scale and file lookups that ignore letter case.
#include "skin/SkinPictures.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

std::string Join(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

std::string ScaledPictureName(std::string_view name, int scale) {
  std::string out(name);
  if (scale == 1) return out;
  const std::size_t part = out.find_last_of("/\\");
  const std::size_t start = part == std::string::npos ? 0 : part + 1;
  const std::size_t dot = out.rfind('.');
  // A leading dot starts a name, not an extension.
  const bool hasExtension = dot != std::string::npos && dot > start;
  out.insert(hasExtension ? dot : out.size(), "@" + std::to_string(scale) + "x");
  return out;
}

int ChoosePictureScale(double ratio, const std::vector<int>& available) {
  int above = 0, largest = 0;
  for (const int s : available) {
    largest = std::max(largest, s);
    // A ratio a hair above a whole number (rounding of a scale setting) still
    // takes that number's pictures.
    if (s + 0.01 >= ratio && (above == 0 || s < above)) above = s;
  }
  if (above != 0) return above;
  return largest != 0 ? largest : 1;
}

std::optional<TPictureSize> PictureSizeFromHeader(std::string_view head) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(head[i]); };
  const auto le32 = [&](std::size_t i) {
    return std::uint32_t(byte(i)) | std::uint32_t(byte(i + 1)) << 8 | std::uint32_t(byte(i + 2)) << 16 |
           std::uint32_t(byte(i + 3)) << 24;
  };
  const auto be32 = [&](std::size_t i) {
    return std::uint32_t(byte(i)) << 24 | std::uint32_t(byte(i + 1)) << 16 | std::uint32_t(byte(i + 2)) << 8 |
           std::uint32_t(byte(i + 3));
  };
  TPictureSize size;
  if (head.size() >= 26 && head.substr(0, 2) == "BM") {
    if (le32(14) == 12) {  // the old core header: 16-bit sizes
      size = {int(byte(18) | byte(19) << 8), int(byte(20) | byte(21) << 8)};
    } else {
      const std::int64_t height = std::int32_t(le32(22));  // negative: rows top-down
      size = {int(std::int32_t(le32(18))), int(height < 0 ? std::min<std::int64_t>(-height, INT32_MAX) : height)};
    }
  } else if (head.size() >= 24 && head.substr(0, 8) == "\x89PNG\r\n\x1a\n" && head.substr(12, 4) == "IHDR") {
    size = {int(std::min<std::uint32_t>(be32(16), INT32_MAX)), int(std::min<std::uint32_t>(be32(20), INT32_MAX))};
  } else {
    return std::nullopt;
  }
  if (size.Width <= 0 || size.Height <= 0) return std::nullopt;
  return size;
}

const std::vector<std::string>& TFileFinder::Listing(const std::string& folder) {
  const auto known = FListings.find(folder);
  if (known != FListings.end()) return known->second;
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return FListings.emplace(folder, std::move(names)).first->second;
}

std::optional<TFoundFile> TFileFinder::Find(const std::string& base, std::string_view relative) {
  TFoundFile found{base, true};
  bool any = false;
  std::size_t at = 0;
  while (at <= relative.size()) {
    const std::size_t end = std::min(relative.find_first_of("/\\", at), relative.size());
    const std::string_view part = relative.substr(at, end - at);
    at = end + 1;
    if (part.empty()) continue;
    any = true;
    if (part == "." || part == "..") {
      found.Path = Join(found.Path, part);
      continue;
    }
    const std::vector<std::string>& names = Listing(found.Path);
    const auto exact = std::lower_bound(names.begin(), names.end(), part);
    if (exact != names.end() && *exact == part) {
      found.Path = Join(found.Path, part);
      continue;
    }
    const auto other = std::find_if(names.begin(), names.end(),
                                    [&](const std::string& n) { return EqualIgnoringCase(n, part); });
    if (other == names.end()) return std::nullopt;
    found.Path = Join(found.Path, *other);
    found.ExactCase = false;
  }
  std::error_code ec;
  if (!any || !std::filesystem::is_regular_file(found.Path, ec)) return std::nullopt;
  return found;
}
