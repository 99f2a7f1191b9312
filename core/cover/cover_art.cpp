#include "core/cover/cover_art.h"

#include "core/cover/cover_fit.h"

#include <algorithm>

namespace klv {

int CoverSide(int dpi) { return dpi > 0 ? (kCoverSideAt96Dpi * dpi + 48) / 96 : kCoverSideAt96Dpi; }

bool IsUsableCoverSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxCoverSide && height <= kMaxCoverSide;
}

bool IsFilePath(std::u16string_view path) {
  return !path.empty() && path.find(u"://") == std::u16string_view::npos;
}

bool DecodeCoverPicture(JpegInput& input, int side, BgrImage& cover) {
  CoverFitter fitter(side);
  const JpegLimits limits{static_cast<uint64_t>(kMaxCoverSide) * kMaxCoverSide, kMaxCoverSide,
                          kMaxCoverScanBufferBytes};
  if (!DecodeJpeg(input, fitter, limits)) return false;
  cover = fitter.Take();
  return cover.width > 0;
}

bool CoverCache::Find(const std::u16string& path, int side, Picture& picture) {
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
    return entry.path == path && entry.side == side;
  });
  if (found == entries_.end()) return false;
  entries_.splice(entries_.begin(), entries_, found);
  picture = found->picture;
  return true;
}

void CoverCache::Put(const std::u16string& path, int side, Picture picture) {
  entries_.remove_if([&](const Entry& entry) { return entry.path == path; });
  entries_.push_front(Entry{path, side, std::move(picture)});
  if (entries_.size() > kCoverCacheSize) entries_.pop_back();
}

}  // namespace klv
