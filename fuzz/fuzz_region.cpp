// Fuzz target: any bytes through the region readers, in memory and from a file.
// A region that reads back must write back to the same rectangles.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/Region.h"

namespace {

void CheckRoundTrip(const std::vector<TRect>& rects) {
  const std::vector<uint8_t> again = WriteRegionBlock(rects);
  const auto block = ReadRegionBlock(again.data(), again.size());
  if (!block || !block->Complete()) abort();
  const auto back = RegionFromBlock(*block);
  if (!back || *back != rects) abort();
}

std::string ScratchPath() {
  static const std::string path = "/tmp/zumbrel_fuzz_region_" + std::to_string(getpid());
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Bare region data.
  if (auto rects = ReadRegionData(data, size)) CheckRoundTrip(*rects);

  // The stored form held in memory.
  if (auto block = ReadRegionBlock(data, size)) {
    if (block->Data.size() > block->Size || block->Data.size() > size - 4) abort();
    if (auto rects = RegionFromBlock(*block)) CheckRoundTrip(*rects);
  }

  // The stored form as a file.
  const std::string path = ScratchPath();
  if (FILE* f = fopen(path.c_str(), "wb")) {
    fwrite(data, 1, size, f);
    fclose(f);
    const auto fromFile = ReadRegionFile(path);
    const auto block = ReadRegionBlock(data, size);
    const auto fromMemory = block ? RegionFromBlock(*block) : std::nullopt;
    if (fromFile != fromMemory) abort();
    remove(path.c_str());
  }

  // Outlines of the bytes taken as a small picture.
  if (size >= 2) {
    const int32_t w = data[0] % 17, h = data[1] % 17;
    const auto rects = RectsFromMask(w, h, [&](int32_t x, int32_t y) {
      const size_t i = 2 + size_t(y) * size_t(w) + size_t(x);
      return i < size && (data[i] & 1);
    });
    if (!rects.empty()) CheckRoundTrip(rects);
  }
  return 0;
}
