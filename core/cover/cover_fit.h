// A picture averaged down into the cover's square as its rows arrive, so that
// neither the whole decoded picture nor a copy of the host's pixels is kept.
#pragma once

#include <cstdint>
#include <vector>

#include "core/cover/jpeg_decode.h"

namespace klv {

struct CoverSize {
  int width = 0;
  int height = 0;
};

// A width x height picture in a side x side square, keeping its proportions:
// the longer edge takes the whole side, the other at least a pixel. Zero for
// an empty picture or a side below 1.
CoverSize FitCoverSize(int width, int height, int side);

// The reduction (1, 2, 4 or 8) libjpeg decodes a width x height picture at so
// that it still covers its fitted size on both edges: the largest that does.
int CoverReduction(int width, int height, int side);

// Each cover pixel the mean of the picture's area it covers. Feed it the rows
// of the picture, reduced or not, top row first, then take the cover.
class CoverFitter final : public JpegRowSink {
 public:
  explicit CoverFitter(int side) : side_(side) {}

  // The picture's size as stored, and the reduction its rows will come at.
  int Reduction(int width, int height) noexcept override;
  // The size of the rows to come: without a Reduction first, the picture's own.
  bool Begin(int width, int height) noexcept override;
  void Row(const uint8_t* bgr) noexcept override;
  // 0xAARRGGBB pixels, as the host's album art service gives them.
  void ArgbRow(const uint32_t* argb) noexcept;
  // Empty unless every row came, or without the memory for it.
  BgrImage Take() noexcept;

 private:
  struct Span {
    int first;
    int count;
    size_t weights;  // index of the first of count weights in columnWeights_
  };
  struct RowShare {
    int target;
    double weight;
  };

  template <typename Pixel>
  void AddRow(Pixel pixel) noexcept;

  int side_;
  int pictureWidth_ = 0, pictureHeight_ = 0;
  CoverSize cover_;
  int reduction_ = 1;
  int sourceHeight_ = 0;
  int nextRow_ = 0;
  std::vector<Span> columns_;
  std::vector<double> columnWeights_;
  std::vector<size_t> rowShareStart_;  // per source row, into rowShares_; one more at the end
  std::vector<RowShare> rowShares_;
  std::vector<double> narrowed_;  // one source row, narrowed to the cover's width
  std::vector<double> sums_;      // the cover's rows
};

// The host's picture fitted to side; empty without the memory for it.
BgrImage FitArgbCover(const uint32_t* pixels, int width, int height, int side) noexcept;

}  // namespace klv
