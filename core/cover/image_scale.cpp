#include "core/cover/image_scale.h"

#include <algorithm>
#include <cmath>

namespace klv {
namespace {

// Where destination pixel i (of count) samples the source (of sourceCount):
// the two neighbours and the weight of the second.
struct Sample {
  int first;
  int second;
  double weight;
};

Sample SampleAt(int i, int count, int sourceCount) {
  const double centre = (i + 0.5) * sourceCount / count - 0.5;
  const double clamped = std::clamp(centre, 0.0, static_cast<double>(sourceCount - 1));
  const int first = static_cast<int>(std::floor(clamped));
  const int second = std::min(first + 1, sourceCount - 1);
  return {first, second, clamped - first};
}

}  // namespace

BgrImage ScaleBgrImage(const BgrImage& source, int width, int height) {
  BgrImage target;
  if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0) return target;
  target.width = width;
  target.height = height;
  target.stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  target.pixels.assign(target.stride * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    const Sample row = SampleAt(y, height, source.height);
    const uint8_t* top = &source.pixels[source.stride * static_cast<size_t>(row.first)];
    const uint8_t* bottom = &source.pixels[source.stride * static_cast<size_t>(row.second)];
    uint8_t* out = &target.pixels[target.stride * static_cast<size_t>(y)];
    for (int x = 0; x < width; ++x) {
      const Sample column = SampleAt(x, width, source.width);
      const size_t left = static_cast<size_t>(column.first) * 3;
      const size_t right = static_cast<size_t>(column.second) * 3;
      for (size_t channel = 0; channel < 3; ++channel) {
        const double upper =
            top[left + channel] + (top[right + channel] - top[left + channel]) * column.weight;
        const double lower =
            bottom[left + channel] + (bottom[right + channel] - bottom[left + channel]) * column.weight;
        out[static_cast<size_t>(x) * 3 + channel] =
            static_cast<uint8_t>(std::lround(upper + (lower - upper) * row.weight));
      }
    }
  }
  return target;
}

}  // namespace klv
