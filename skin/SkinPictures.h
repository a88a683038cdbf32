// Finding the files a skin names: regardless of letter case when the exact
// name does not exist (skins are often made where file names ignore case),
// and, for a picture, the version that fits the screen's device pixel ratio
// ("Key.bmp", "Key@2x.bmp", "Key@3x.bmp"). Core layer (standard C++ only);
// used by the skin loader, zumbrel-skinview --check and their tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The largest picture scale a skin may ship (Name@3x.ext).
inline constexpr int kMaxPictureScale = 3;

// The file name of a picture's version at `scale`: "Key_7.bmp" at 2 is
// "Key_7@2x.bmp" (the mark goes before the last extension of the last path
// part; a name without one gets it at its end). Scale 1 is the name itself.
std::string ScaledPictureName(std::string_view name, int scale);

// Of the scales a picture is available at (each 1..kMaxPictureScale), the
// one that best fits a screen of device pixel ratio `ratio`: the smallest
// at or above it (a larger picture scaled down stays sharp), else the
// largest. 1 when none is given.
int ChoosePictureScale(double ratio, const std::vector<int>& available);

// The width and height a BMP or PNG file's first bytes announce (at least
// its first 26 bytes), read without decoding anything; none for any other
// kind of file, or a size that is no size.
struct TPictureSize {
  int Width = 0, Height = 0;
};
std::optional<TPictureSize> PictureSizeFromHeader(std::string_view head);

// A file found below a folder.
struct TFoundFile {
  std::string Path;        // the path as it is on disk
  bool ExactCase = true;   // every part had its letter case as named
};

// Looks files up below folders, each folder listed once: a path part that
// does not exist with its exact name is matched to an entry equal to it
// without regard to ASCII letter case (the first of them in byte order).
// "." and ".." parts are taken as they are. One skin load keeps one finder.
class TFileFinder {
 public:
  // `relative` uses "/" or "\" between its parts. None when a part is
  // missing either way, or when the path is empty or names no regular file
  // (links are followed).
  std::optional<TFoundFile> Find(const std::string& base, std::string_view relative);

 private:
  const std::vector<std::string>& Listing(const std::string& folder);
  std::map<std::string, std::vector<std::string>> FListings;  // folder -> sorted names
};
