// The album cover beside an OSD that names a track: its size on screen, the
// limits a picture must keep, its fitting into the square, and the few covers
// kept for the tracks played last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "core/cover/jpeg_decode.h"

namespace klv {

constexpr int kCoverSideAt96Dpi = 64;
constexpr int kCoverGap = 4;  // pixels between the cover and the text
// A picture wider or taller than this, or a file larger than this, is not used.
constexpr int kMaxCoverSide = 4096;
constexpr uint64_t kMaxCoverFileBytes = 16u << 20;
// What a progressive picture's coefficients may take while it decodes: all of
// a 2048 x 2048 one, even without chroma subsampling.
constexpr uint64_t kMaxCoverScanBufferBytes = 24u << 20;
constexpr size_t kCoverCacheSize = 8;
// The pictures beside a file that stand for its cover, in the order tried.
inline constexpr const char* kFolderPictureNames[] = {"cover.jpg", "folder.jpg", "front.jpg", "albumart.jpg"};

// The square's side at the system's pixels per inch, rounded to the nearest pixel.
int CoverSide(int dpi);
bool IsUsableCoverSize(int64_t width, int64_t height);
// Whether the playing entry's path names a file: a stream's URL has no cover.
bool IsFilePath(std::u16string_view path);

// A picture file's bytes decoded within the cover limits and fitted to side,
// read as they are decoded and never larger than the cover needs; false when
// they are no whole JPEG or the picture is too large.
bool DecodeCoverPicture(JpegInput& input, int side, BgrImage& cover);

// The covers of the last kCoverCacheSize files asked for, most recent first.
// A file known to have none is kept too (a null picture), so that it is not
// looked up again at every show.
class CoverCache {
 public:
  using Picture = std::shared_ptr<const BgrImage>;

  // Whether a cover fitted to side is known for path; picture is then it or null.
  bool Find(const std::u16string& path, int side, Picture& picture);
  void Put(const std::u16string& path, int side, Picture picture);
  void Clear() { entries_.clear(); }
  size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::u16string path;
    int side;
    Picture picture;
  };
  std::list<Entry> entries_;
};

}  // namespace klv
