#include "core/cover/cover_fit.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace klv {
namespace {

// The source pixels one target pixel covers along an axis, each with its share
// (its overlap with the target pixel's span, in source pixels). The source is
// count pixels over extent: a reduced picture's last pixel may stand for only
// part of one, where the picture's edge ends inside a block.
template <typename Visit>
void ForEachShare(double extent, int count, int targets, Visit visit) {
  const double scale = extent / targets;
  for (int i = 0; i < targets; ++i) {
    const double begin = i * scale;
    const double end = (i + 1) * scale;
    const int first = static_cast<int>(std::floor(begin));
    const int last = std::min(count - 1, static_cast<int>(std::ceil(end)) - 1);
    for (int s = first; s <= last; ++s) {
      visit(i, s, (std::min<double>(end, s + 1) - std::max<double>(begin, s)) / scale);
    }
  }
}

size_t StrideFor(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }

int ReducedEdge(int edge, int reduction) { return (edge + reduction - 1) / reduction; }

}  // namespace

CoverSize FitCoverSize(int width, int height, int side) {
  if (width <= 0 || height <= 0 || side <= 0) return CoverSize{};
  CoverSize size{side, side};
  if (width > height) {
    size.height = std::max(1, static_cast<int>((static_cast<int64_t>(height) * side + width / 2) / width));
  } else if (height > width) {
    size.width = std::max(1, static_cast<int>((static_cast<int64_t>(width) * side + height / 2) / height));
  }
  return size;
}

int CoverReduction(int width, int height, int side) {
  const CoverSize cover = FitCoverSize(width, height, side);
  for (int reduction : {8, 4, 2}) {
    if (ReducedEdge(width, reduction) >= cover.width && ReducedEdge(height, reduction) >= cover.height) {
      return reduction;
    }
  }
  return 1;
}

int CoverFitter::Reduction(int width, int height) noexcept {
  pictureWidth_ = width;
  pictureHeight_ = height;
  cover_ = FitCoverSize(width, height, side_);
  reduction_ = cover_.width > 0 ? CoverReduction(width, height, side_) : 1;
  return reduction_;
}

bool CoverFitter::Begin(int width, int height) noexcept {
  sourceHeight_ = 0;
  if (pictureWidth_ == 0) {
    Reduction(width, height);
    reduction_ = 1;
  }
  if (cover_.width == 0 || width <= 0 || height <= 0) return false;
  const double extentX = static_cast<double>(pictureWidth_) / reduction_;
  const double extentY = static_cast<double>(pictureHeight_) / reduction_;
  try {
    columns_.assign(static_cast<size_t>(cover_.width), Span{0, 0, 0});
    columnWeights_.clear();
    ForEachShare(extentX, width, cover_.width, [&](int target, int source, double weight) {
      Span& span = columns_[static_cast<size_t>(target)];
      if (span.count++ == 0) {
        span.first = source;
        span.weights = columnWeights_.size();
      }
      columnWeights_.push_back(weight);
    });
    // Rows arrive one at a time: each finds the cover rows it adds to, in
    // the order of those rows, counted first and then filled in.
    rowShareStart_.assign(static_cast<size_t>(height) + 1, 0);
    ForEachShare(extentY, height, cover_.height,
                 [&](int, int source, double) { ++rowShareStart_[static_cast<size_t>(source) + 1]; });
    for (size_t s = 1; s < rowShareStart_.size(); ++s) rowShareStart_[s] += rowShareStart_[s - 1];
    rowShares_.resize(rowShareStart_.back());
    std::vector<size_t> next(rowShareStart_.begin(), rowShareStart_.end() - 1);
    ForEachShare(extentY, height, cover_.height, [&](int target, int source, double weight) {
      rowShares_[next[static_cast<size_t>(source)]++] = RowShare{target, weight};
    });
    narrowed_.assign(static_cast<size_t>(cover_.width) * 3, 0);
    sums_.assign(static_cast<size_t>(cover_.width) * cover_.height * 3, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  sourceHeight_ = height;
  nextRow_ = 0;
  return true;
}

// Across the row first, then into each cover row it shares.
template <typename Pixel>
void CoverFitter::AddRow(Pixel pixel) noexcept {
  if (nextRow_ >= sourceHeight_) return;
  std::fill(narrowed_.begin(), narrowed_.end(), 0.0);
  for (int x = 0; x < cover_.width; ++x) {
    const Span& span = columns_[static_cast<size_t>(x)];
    for (int k = 0; k < span.count; ++k) {
      const double weight = columnWeights_[span.weights + static_cast<size_t>(k)];
      for (int c = 0; c < 3; ++c)
        narrowed_[static_cast<size_t>(x) * 3 + c] += pixel(span.first + k, c) * weight;
    }
  }
  const size_t rowWidth = narrowed_.size();
  const size_t row = static_cast<size_t>(nextRow_++);
  for (size_t s = rowShareStart_[row]; s < rowShareStart_[row + 1]; ++s) {
    double* sums = &sums_[static_cast<size_t>(rowShares_[s].target) * rowWidth];
    for (size_t i = 0; i < rowWidth; ++i) sums[i] += narrowed_[i] * rowShares_[s].weight;
  }
}

void CoverFitter::Row(const uint8_t* bgr) noexcept {
  AddRow([bgr](int x, int c) { return bgr[static_cast<size_t>(x) * 3 + c]; });
}

void CoverFitter::ArgbRow(const uint32_t* argb) noexcept {
  AddRow([argb](int x, int c) { return static_cast<uint8_t>(argb[x] >> (8 * c)); });
}

BgrImage CoverFitter::Take() noexcept {
  BgrImage cover;
  if (sourceHeight_ == 0 || nextRow_ < sourceHeight_) return cover;
  try {
    cover.pixels.assign(StrideFor(cover_.width) * static_cast<size_t>(cover_.height), 0);
  } catch (const std::bad_alloc&) {
    return cover;
  }
  cover.width = cover_.width;
  cover.height = cover_.height;
  cover.stride = StrideFor(cover_.width);
  const size_t rowWidth = static_cast<size_t>(cover_.width) * 3;
  for (int y = 0; y < cover_.height; ++y) {
    uint8_t* out = &cover.pixels[cover.stride * static_cast<size_t>(y)];
    for (size_t i = 0; i < rowWidth; ++i) {
      out[i] = static_cast<uint8_t>(
          std::clamp(std::lround(sums_[static_cast<size_t>(y) * rowWidth + i]), 0L, 255L));
    }
  }
  return cover;
}

BgrImage FitArgbCover(const uint32_t* pixels, int width, int height, int side) noexcept {
  CoverFitter fitter(side);
  if (pixels == nullptr || !fitter.Begin(width, height)) return BgrImage{};
  for (int y = 0; y < height; ++y) fitter.ArgbRow(pixels + static_cast<size_t>(y) * width);
  return fitter.Take();
}

}  // namespace klv
