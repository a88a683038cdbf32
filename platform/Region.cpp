// Region file / "Mask2" codec and the mask-to-rectangles builder.
#include "platform/Region.h"

#include <algorithm>
#include <fstream>
#include <limits>

#include "platform/Files.h"

namespace {

uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int32_t GetI32(const uint8_t* p) { return static_cast<int32_t>(GetU32(p)); }

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v >> 16));
  out.push_back(uint8_t(v >> 24));
}

void PutI32(std::vector<uint8_t>& out, int32_t v) { PutU32(out, static_cast<uint32_t>(v)); }

void PutRect(std::vector<uint8_t>& out, const TRect& r) {
  PutI32(out, r.Left);
  PutI32(out, r.Top);
  PutI32(out, r.Right);
  PutI32(out, r.Bottom);
}

}  // namespace

std::optional<std::vector<TRect>> ReadRegionData(const uint8_t* data, std::size_t size) {
  if (data == nullptr || size < kRgnHeaderSize) return std::nullopt;
  const uint32_t dwSize = GetU32(data);
  const uint32_t iType = GetU32(data + 4);
  const uint32_t nCount = GetU32(data + 8);
  const uint32_t nRgnSize = GetU32(data + 12);
  if (dwSize != kRgnHeaderSize || iType != kRgnTypeRectangles) return std::nullopt;
  const std::size_t room = size - kRgnHeaderSize;
  // Divide rather than multiply, so a huge count cannot wrap around.
  if (nCount > room / kRgnRectSize) return std::nullopt;
  const std::size_t rectBytes = std::size_t(nCount) * kRgnRectSize;
  // nRgnSize is advisory (0 is common), but when given it must cover the
  // rectangles and lie within the data.
  if (nRgnSize != 0 && (nRgnSize < rectBytes || nRgnSize > room)) return std::nullopt;

  std::vector<TRect> rects;
  rects.reserve(nCount);
  const uint8_t* p = data + kRgnHeaderSize;
  for (uint32_t i = 0; i < nCount; ++i, p += kRgnRectSize)
    rects.push_back({GetI32(p), GetI32(p + 4), GetI32(p + 8), GetI32(p + 12)});
  return rects;
}

std::vector<uint8_t> WriteRegionData(const std::vector<TRect>& rects) {
  TRect bound;
  if (!rects.empty()) {
    bound = rects.front();
    for (const TRect& r : rects) {
      bound.Left = std::min(bound.Left, r.Left);
      bound.Top = std::min(bound.Top, r.Top);
      bound.Right = std::max(bound.Right, r.Right);
      bound.Bottom = std::max(bound.Bottom, r.Bottom);
    }
  }
  std::vector<uint8_t> out;
  out.reserve(kRgnHeaderSize + rects.size() * kRgnRectSize);
  PutU32(out, uint32_t(kRgnHeaderSize));
  PutU32(out, kRgnTypeRectangles);
  PutU32(out, uint32_t(rects.size()));
  PutU32(out, uint32_t(rects.size() * kRgnRectSize));
  PutRect(out, bound);
  for (const TRect& r : rects) PutRect(out, r);
  return out;
}

std::optional<TRegionBlock> ReadRegionBlock(const uint8_t* data, std::size_t size) {
  if (data == nullptr || size < 4) return std::nullopt;
  TRegionBlock block;
  block.Size = GetU32(data);
  const std::size_t take = std::min<std::size_t>(block.Size, size - 4);
  block.Data.assign(data + 4, data + 4 + take);
  return block;
}

std::optional<TRegionBlock> ReadRegionBlockFile(const std::string& path) {
  // Only a regular file of a sane size is read (never a pipe or a device).
  std::string bytes;
  if (ReadRegularFile(path, bytes) != rrRead) return std::nullopt;
  return ReadRegionBlock(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::optional<std::vector<TRect>> RegionFromBlock(const TRegionBlock& block) {
  if (block.Size == 0 || !block.Complete()) return std::nullopt;
  return ReadRegionData(block.Data.data(), block.Data.size());
}

std::optional<std::vector<TRect>> ReadRegionFile(const std::string& path) {
  const auto block = ReadRegionBlockFile(path);
  if (!block) return std::nullopt;
  return RegionFromBlock(*block);
}

std::vector<uint8_t> WriteRegionBlock(const std::optional<std::vector<TRect>>& region) {
  std::vector<uint8_t> out;
  if (!region) {
    PutU32(out, 0);
    return out;
  }
  const std::vector<uint8_t> data = WriteRegionData(*region);
  out.reserve(4 + data.size());
  PutU32(out, uint32_t(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

bool WriteRegionFile(const std::string& path, const std::vector<TRect>& rects) {
  const std::vector<uint8_t> bytes = WriteRegionBlock(rects);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  return bool(out);
}

std::vector<TRect> RectsFromMask(int32_t width, int32_t height,
                                 const std::function<bool(int32_t x, int32_t y)>& opaque) {
  std::vector<TRect> rects;
  if (width <= 0 || height <= 0 || !opaque) return rects;

  // Runs of the band being built, as [left, right) pairs, and where it starts.
  std::vector<std::pair<int32_t, int32_t>> band, row;
  int32_t bandTop = 0;
  auto flush = [&](int32_t bottom) {
    for (const auto& [l, r] : band) rects.push_back({l, bandTop, r, bottom});
  };
  for (int32_t y = 0; y < height; ++y) {
    row.clear();
    for (int32_t x = 0; x < width;) {
      if (!opaque(x, y)) {
        ++x;
        continue;
      }
      const int32_t start = x;
      while (x < width && opaque(x, y)) ++x;
      row.emplace_back(start, x);
    }
    if (y > 0 && row == band) continue;  // same runs: the band grows downward
    flush(y);
    band.swap(row);
    bandTop = y;
  }
  flush(height);
  return rects;
}
