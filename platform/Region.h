// Window outlines as bytes: the region file of a skin and the stored "Mask2"
// property, and the rectangles they describe. Core layer (standard C++ only);
// used by controls/CoolForm, the outline authoring tool, tests and fuzzing.
//
// Stored form (a region file and "Mask2" are the same):
//   offset 0: N, the byte count of the region data, 32-bit little-endian;
//   offset 4: N bytes of region data in the Win32 RGNDATA layout: a 32-byte
//             header (dwSize 32, iType 1, nCount, nRgnSize, rcBound as four
//             32-bit signed values) and then nCount rectangles of four 32-bit
//             signed values (left, top, right, bottom; right and bottom are
//             exclusive), all little-endian.
// N = 0 means "no region" and nothing follows.
//
// Readers never read past the bytes they are given and never trust a count:
// region data whose header does not fit the bytes yields no region.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One rectangle of a region; Right and Bottom are exclusive.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool operator==(const TRect&) const = default;
};

// Size of RGNDATAHEADER and of one RECT in the region data.
inline constexpr std::size_t kRgnHeaderSize = 32;
inline constexpr std::size_t kRgnRectSize = 16;
// RDH_RECTANGLES, the only region data type there is.
inline constexpr uint32_t kRgnTypeRectangles = 1;

// Region data (RGNDATA, without the 4-byte length in front) to its rectangles,
// in stored order. No value when the data is too short for the header, the
// header's dwSize is not 32, its type is not 1, or its nCount / nRgnSize do not
// fit the bytes. Zero rectangles is a valid (empty) region. Rectangles are
// returned as stored, empty or inverted ones included; whoever builds a
// window shape from them skips those, as the platform does.
std::optional<std::vector<TRect>> ReadRegionData(const uint8_t* data, std::size_t size);

// Rectangles to region data exactly as the platform writes it: header with
// dwSize 32, iType 1, nCount, nRgnSize = nCount * 16 and the bounding box of
// the rectangles (all 0 when there are none), then the rectangles in the
// order given. Callers pass rectangles in the platform's banded order (as
// RectsFromMask and a platform region give them).
std::vector<uint8_t> WriteRegionData(const std::vector<TRect>& rects);

// The stored form split into its parts, before the region data is judged.
struct TRegionBlock {
  uint32_t Size = 0;          // N as announced
  std::vector<uint8_t> Data;  // the bytes that follow, at most N (fewer when cut short)
  bool Complete() const { return Data.size() == Size; }
};

// Splits the stored form held in memory. No value when fewer than 4 bytes.
std::optional<TRegionBlock> ReadRegionBlock(const uint8_t* data, std::size_t size);
// Reads the stored form from a file. No value when the file cannot be read
// (or is no regular file of at most kMaxInputFileSize bytes) or holds fewer
// than 4 bytes.
std::optional<TRegionBlock> ReadRegionBlockFile(const std::string& path);

// The region of a block: no value when N is 0, the data is cut short, or the
// region data is invalid (see ReadRegionData).
std::optional<std::vector<TRect>> RegionFromBlock(const TRegionBlock& block);

// The region held in a region file: no value when the file cannot be read,
// holds N = 0, is cut short or holds invalid region data.
std::optional<std::vector<TRect>> ReadRegionFile(const std::string& path);

// The stored form: N then the region data, or a 4-byte 0 for "no region".
std::vector<uint8_t> WriteRegionBlock(const std::optional<std::vector<TRect>>& region);
// Writes the stored form of `rects` to a file (replacing it). False when the
// file cannot be written completely.
bool WriteRegionFile(const std::string& path, const std::vector<TRect>& rects);

// The outline of a picture: the opaque pixels as rectangles, built the way the
// platform's region builder does: every row becomes its runs of opaque pixels;
// consecutive rows with identical runs merge into one band. Result is in
// banded order (top to bottom, left to right within a band).
std::vector<TRect> RectsFromMask(int32_t width, int32_t height,
                                 const std::function<bool(int32_t x, int32_t y)>& opaque);
