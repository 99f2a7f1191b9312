#include "core/cover/cover_art.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace klv {
namespace {

// The source pixels one target pixel covers along an axis, with the share of
// each (their overlap with the target pixel's span, in source pixels).
struct Span {
  int first;
  std::vector<double> weights;
};

std::vector<Span> AreaSpans(int sourceCount, int targetCount) {
  std::vector<Span> spans(static_cast<size_t>(targetCount));
  const double scale = static_cast<double>(sourceCount) / targetCount;
  for (int i = 0; i < targetCount; ++i) {
    const double begin = i * scale;
    const double end = (i + 1) * scale;
    Span& span = spans[static_cast<size_t>(i)];
    span.first = static_cast<int>(std::floor(begin));
    const int last = std::min(sourceCount - 1, static_cast<int>(std::ceil(end)) - 1);
    for (int s = span.first; s <= last; ++s) {
      span.weights.push_back((std::min<double>(end, s + 1) - std::max<double>(begin, s)) / scale);
    }
  }
  return spans;
}

size_t StrideFor(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }

BgrImage BlankImage(int width, int height) {
  BgrImage image;
  image.width = width;
  image.height = height;
  image.stride = StrideFor(width);
  image.pixels.assign(image.stride * static_cast<size_t>(height), 0);
  return image;
}

// Area-averaged resampling: across each row first, then down each column.
BgrImage AreaAverage(const BgrImage& source, int width, int height) {
  const std::vector<Span> columns = AreaSpans(source.width, width);
  const std::vector<Span> rows = AreaSpans(source.height, height);
  std::vector<double> narrowed(static_cast<size_t>(source.height) * width * 3);
  for (int y = 0; y < source.height; ++y) {
    const uint8_t* in = &source.pixels[source.stride * static_cast<size_t>(y)];
    double* out = &narrowed[static_cast<size_t>(y) * width * 3];
    for (int x = 0; x < width; ++x) {
      const Span& span = columns[static_cast<size_t>(x)];
      for (size_t k = 0; k < span.weights.size(); ++k) {
        const uint8_t* pixel = in + static_cast<size_t>(span.first + static_cast<int>(k)) * 3;
        for (int c = 0; c < 3; ++c) out[x * 3 + c] += pixel[c] * span.weights[k];
      }
    }
  }
  BgrImage target = BlankImage(width, height);
  for (int y = 0; y < height; ++y) {
    const Span& span = rows[static_cast<size_t>(y)];
    uint8_t* out = &target.pixels[target.stride * static_cast<size_t>(y)];
    for (int x = 0; x < width * 3; ++x) {
      double sum = 0;
      for (size_t k = 0; k < span.weights.size(); ++k) {
        sum += narrowed[(static_cast<size_t>(span.first) + k) * width * 3 + x] * span.weights[k];
      }
      out[x] = static_cast<uint8_t>(std::clamp(std::lround(sum), 0L, 255L));
    }
  }
  return target;
}

}  // namespace

int CoverSide(int dpi) { return dpi > 0 ? (kCoverSideAt96Dpi * dpi + 48) / 96 : kCoverSideAt96Dpi; }

bool IsUsableCoverSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxCoverSide && height <= kMaxCoverSide;
}

bool IsFilePath(std::u16string_view path) {
  return !path.empty() && path.find(u"://") == std::u16string_view::npos;
}

BgrImage FitCover(const BgrImage& picture, int side) {
  if (picture.width <= 0 || picture.height <= 0 || side <= 0) return BgrImage{};
  // The longer edge takes the whole side; the other keeps the proportion, at least a pixel.
  int width = side;
  int height = side;
  if (picture.width > picture.height) {
    height = std::max(1, static_cast<int>((static_cast<int64_t>(picture.height) * side + picture.width / 2) /
                                          picture.width));
  } else if (picture.height > picture.width) {
    width = std::max(1, static_cast<int>((static_cast<int64_t>(picture.width) * side + picture.height / 2) /
                                         picture.height));
  }
  return AreaAverage(picture, width, height);
}

BgrImage BgrFromArgb(const uint32_t* pixels, int width, int height) {
  if (pixels == nullptr || width <= 0 || height <= 0) return BgrImage{};
  BgrImage image = BlankImage(width, height);
  for (int y = 0; y < height; ++y) {
    uint8_t* out = &image.pixels[image.stride * static_cast<size_t>(y)];
    for (int x = 0; x < width; ++x) {
      const uint32_t argb = pixels[static_cast<size_t>(y) * width + x];
      out[x * 3] = static_cast<uint8_t>(argb);
      out[x * 3 + 1] = static_cast<uint8_t>(argb >> 8);
      out[x * 3 + 2] = static_cast<uint8_t>(argb >> 16);
    }
  }
  return image;
}

bool DecodeCoverPicture(const uint8_t* data, size_t size, int side, BgrImage& cover) {
  if (size > kMaxCoverFileBytes) return false;
  BgrImage picture;
  const JpegLimits limits{static_cast<uint64_t>(kMaxCoverSide) * kMaxCoverSide, kMaxCoverSide};
  if (!DecodeJpegToBgr(data, size, picture, limits)) return false;
  cover = FitCover(picture, side);
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
