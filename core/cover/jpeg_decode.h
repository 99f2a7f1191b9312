// JPEG data decoded into rows of BGR pixels, the layout of a 24-bit DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace klv {

struct BgrImage {
  int width = 0;
  int height = 0;
  size_t stride = 0;            // bytes per row: width * 3 rounded up to a multiple of 4
  std::vector<uint8_t> pixels;  // height rows, top row first
};

// The dialog pictures are small; a header that claims more pixels than this is
// refused before any buffer is sized from it (a few hundred bytes can claim 4 GB).
constexpr uint64_t kMaxJpegPixels = 4u << 20;

// What a picture may claim before anything is sized from it.
struct JpegLimits {
  uint64_t maxPixels = kMaxJpegPixels;
  uint32_t maxSide = UINT32_MAX;  // pixels along either edge
  // A progressive (or other multi-scan) file keeps every coefficient of the
  // picture until its last scan, at full size whatever the reduction.
  uint64_t maxScanBufferBytes = UINT64_MAX;
};

// Compressed bytes, a piece at a time, so that a file need not be read whole first.
class JpegInput {
 public:
  // Up to capacity bytes into buffer; 0 at the end of the data or when it cannot be read.
  virtual size_t Read(uint8_t* buffer, size_t capacity) noexcept = 0;

 protected:
  ~JpegInput() = default;
};

class MemoryJpegInput final : public JpegInput {
 public:
  MemoryJpegInput(const uint8_t* data, size_t size) : data_(data), left_(data != nullptr ? size : 0) {}
  size_t Read(uint8_t* buffer, size_t capacity) noexcept override;

 private:
  const uint8_t* data_;
  size_t left_;
};

// Where the decoded rows go.
class JpegRowSink {
 public:
  // The picture's size as stored; the answer is the reduction to decode it at: 1, 2, 4 or 8.
  virtual int Reduction(int width, int height) noexcept = 0;
  // The size of the rows to come, the picture reduced; false refuses it (no room).
  virtual bool Begin(int width, int height) noexcept = 0;
  // Each of the height rows in turn, top row first: width BGR pixels.
  virtual void Row(const uint8_t* bgr) noexcept = 0;

 protected:
  ~JpegRowSink() = default;
};

// False when the data is not a whole, decodable JPEG: garbage, a truncated or
// damaged stream, a picture beyond the limits. The sink may have had rows by then.
bool DecodeJpeg(JpegInput& input, JpegRowSink& sink, const JpegLimits& limits);

// The whole picture, unreduced. False as above, or for (null, 0); image is then unspecified.
bool DecodeJpegToBgr(const uint8_t* data, size_t size, BgrImage& image, const JpegLimits& limits = {});

}  // namespace klv
