// Region file / "Mask2" codec: round trips, the exact bytes written, cut-short
// and lying headers, the file reader, and the mask-to-rectangles builder.
#include "platform/Region.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

namespace {

void PutU32At(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("zumbrel_region_" + name)).string();
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

const std::vector<TRect> kBanded = {{2, 0, 8, 3}, {0, 3, 4, 5}, {6, 3, 10, 5}, {-5, 7, 1, 9}};

TEST(RegionCodec, RoundTripsThroughTheStoredForm) {
  const std::vector<std::vector<TRect>> cases = {
      {},
      {{0, 0, 274, 191}},
      kBanded,
      {{-2147483647 - 1, -100, 2147483647, 100}},
  };
  for (const auto& rects : cases) {
    const std::vector<uint8_t> bytes = WriteRegionBlock(rects);
    ASSERT_EQ(bytes.size(), 4 + kRgnHeaderSize + rects.size() * kRgnRectSize);
    const auto block = ReadRegionBlock(bytes.data(), bytes.size());
    ASSERT_TRUE(block);
    EXPECT_TRUE(block->Complete());
    const auto back = RegionFromBlock(*block);
    ASSERT_TRUE(back) << rects.size() << " rectangles";
    EXPECT_EQ(*back, rects);
  }
}

TEST(RegionCodec, WritesTheHeaderThePlatformWrites) {
  const std::vector<uint8_t> data = WriteRegionData(kBanded);
  const std::vector<uint8_t> expectedHeader = {
      32, 0, 0, 0,  1, 0, 0, 0,  4, 0, 0, 0,  64, 0, 0, 0,           // dwSize, iType, nCount, nRgnSize
      0xFB, 0xFF, 0xFF, 0xFF,  0, 0, 0, 0,  10, 0, 0, 0,  9, 0, 0, 0  // rcBound -5,0,10,9
  };
  ASSERT_EQ(data.size(), 32u + 4 * 16);
  EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 32), expectedHeader);
  // The first rectangle follows the header: 2, 0, 8, 3.
  EXPECT_EQ(std::vector<uint8_t>(data.begin() + 32, data.begin() + 48),
            (std::vector<uint8_t>{2, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0, 3, 0, 0, 0}));
  // No region at all is a lone 4-byte 0.
  EXPECT_EQ(WriteRegionBlock(std::nullopt), (std::vector<uint8_t>{0, 0, 0, 0}));
  // An empty region keeps its header with a zero bounding box.
  const std::vector<uint8_t> empty = WriteRegionData({});
  EXPECT_EQ(empty, (std::vector<uint8_t>{32, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(RegionCodec, EveryCutShortFormYieldsNoRegion) {
  const std::vector<uint8_t> data = WriteRegionData(kBanded);
  for (std::size_t n = 0; n < data.size(); ++n)
    EXPECT_FALSE(ReadRegionData(data.data(), n)) << n << " bytes";
  EXPECT_TRUE(ReadRegionData(data.data(), data.size()));

  const std::vector<uint8_t> stored = WriteRegionBlock(kBanded);
  for (std::size_t n = 4; n < stored.size(); ++n) {
    const auto block = ReadRegionBlock(stored.data(), n);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->Size, data.size());
    EXPECT_EQ(block->Data.size(), n - 4);
    EXPECT_FALSE(RegionFromBlock(*block)) << n << " bytes";
  }
  for (std::size_t n = 0; n < 4; ++n) EXPECT_FALSE(ReadRegionBlock(stored.data(), n));
  EXPECT_FALSE(ReadRegionData(nullptr, 100));
}

TEST(RegionCodec, LyingHeadersYieldNoRegion) {
  struct Row {
    const char* what;
    std::size_t offset;  // header field to overwrite
    uint32_t value;
    bool valid;
  };
  // Two rectangles: 32 + 32 bytes.
  const Row rows[] = {
      {"dwSize 0", 0, 0, false},
      {"dwSize 31", 0, 31, false},
      {"dwSize 33", 0, 33, false},
      {"dwSize huge", 0, 0xFFFFFFFF, false},
      {"type 0", 4, 0, false},
      {"type 2", 4, 2, false},
      {"count one too many", 8, 3, false},
      {"count that wraps a 32-bit product", 8, 0x10000000, false},
      {"count huge", 8, 0xFFFFFFFF, false},
      {"count smaller than the data", 8, 1, true},
      {"count zero", 8, 0, true},
      {"rgnsize zero (not filled in)", 12, 0, true},
      {"rgnsize short of the rectangles", 12, 16, false},
      {"rgnsize past the data", 12, 48, false},
      {"rgnsize huge", 12, 0xFFFFFFF0, false},
  };
  const std::vector<TRect> two = {{0, 0, 5, 5}, {0, 5, 9, 9}};
  for (const Row& row : rows) {
    std::vector<uint8_t> data = WriteRegionData(two);
    PutU32At(data, row.offset, row.value);
    const auto rects = ReadRegionData(data.data(), data.size());
    EXPECT_EQ(bool(rects), row.valid) << row.what;
    if (rects && row.offset == 8) {
      EXPECT_EQ(rects->size(), row.value) << row.what;
    }
  }
}

TEST(RegionFile, ReadsWritesAndRefusesWhatItMust) {
  const std::string path = TempPath("file.rgn");
  ASSERT_TRUE(WriteRegionFile(path, kBanded));
  EXPECT_EQ(ReadRegionFile(path), kBanded);
  auto block = ReadRegionBlockFile(path);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->Size, 32u + 4 * 16);

  // N = 0: read fine, no region.
  WriteBytes(path, {0, 0, 0, 0});
  block = ReadRegionBlockFile(path);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->Size, 0u);
  EXPECT_FALSE(ReadRegionFile(path));

  // A length that promises far more than the file has: only the bytes there
  // are read, and no region comes of them.
  std::vector<uint8_t> liar = WriteRegionBlock(kBanded);
  PutU32At(liar, 0, 0x7FFFFFF0);
  WriteBytes(path, liar);
  block = ReadRegionBlockFile(path);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->Data.size(), liar.size() - 4);
  EXPECT_FALSE(block->Complete());
  EXPECT_FALSE(ReadRegionFile(path));

  // Too short for the length, or not there at all.
  WriteBytes(path, {1, 0});
  EXPECT_FALSE(ReadRegionBlockFile(path));
  std::remove(path.c_str());
  EXPECT_FALSE(ReadRegionBlockFile(path));
  EXPECT_FALSE(WriteRegionFile(TempPath("no/such/folder/x.rgn"), kBanded));
}

// Masks as text rows: '#' opaque.
std::vector<TRect> FromRows(const std::vector<std::string>& rows) {
  const int32_t h = int32_t(rows.size()), w = h ? int32_t(rows[0].size()) : 0;
  return RectsFromMask(w, h, [&](int32_t x, int32_t y) { return rows[y][x] == '#'; });
}

TEST(RectsFromMask, MergesRunsAndIdenticalRowsIntoBands) {
  struct Row {
    std::vector<std::string> mask;
    std::vector<TRect> rects;
  };
  const Row rows[] = {
      {{"...."}, {}},
      {{"####", "####"}, {{0, 0, 4, 2}}},
      {{"#..#", "#..#", "####"}, {{0, 0, 1, 2}, {3, 0, 4, 2}, {0, 2, 4, 3}}},
      {{".##.", "....", ".##."}, {{1, 0, 3, 1}, {1, 2, 3, 3}}},
      {{"##", "#.", "##"}, {{0, 0, 2, 1}, {0, 1, 1, 2}, {0, 2, 2, 3}}},
  };
  for (const Row& row : rows) EXPECT_EQ(FromRows(row.mask), row.rects) << row.mask[0];
  EXPECT_TRUE(RectsFromMask(0, 5, [](int32_t, int32_t) { return true; }).empty());
  EXPECT_TRUE(RectsFromMask(5, 5, nullptr).empty());
}

TEST(RectsFromMask, CoversExactlyTheOpaquePixelsInBandedOrder) {
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    const int32_t w = 1 + int32_t(rng() % 24), h = 1 + int32_t(rng() % 24);
    std::vector<std::vector<bool>> px(h, std::vector<bool>(w));
    for (auto& row : px)
      for (std::size_t x = 0; x < row.size(); ++x) row[x] = rng() % 3 != 0;
    const auto rects = RectsFromMask(w, h, [&](int32_t x, int32_t y) { return bool(px[y][x]); });
    std::set<std::pair<int32_t, int32_t>> covered;
    for (std::size_t i = 0; i < rects.size(); ++i) {
      const TRect& r = rects[i];
      ASSERT_LT(r.Left, r.Right);
      ASSERT_LT(r.Top, r.Bottom);
      if (i > 0) {  // sorted by band, then left; a band's rectangles never touch
        const TRect& p = rects[i - 1];
        ASSERT_TRUE(p.Top < r.Top || (p.Top == r.Top && p.Bottom == r.Bottom && p.Right < r.Left));
        if (p.Top != r.Top) {
          ASSERT_LE(p.Bottom, r.Top);
        }
      }
      for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x) ASSERT_TRUE(covered.insert({x, y}).second);
    }
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) EXPECT_EQ(covered.count({x, y}) == 1, bool(px[y][x]));
  }
}

}  // namespace
