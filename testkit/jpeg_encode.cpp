#include "testkit/jpeg_encode.h"

#include <cstdio>
#include <cstdlib>

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
// clang-format on

// Compression of a well-formed picture in memory has nothing to fail on but
// memory, which libjpeg reports by ending the process like any allocation.
std::vector<uint8_t> EncodeJpeg(const klv::BgrImage& image, const JpegOptions& options) {
  if (image.width <= 0 || image.height <= 0) return {};
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  if (options.grayscale) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  for (int c = 0; c < cinfo.num_components && options.fullChroma; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  if (options.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const uint8_t* bgr = &image.pixels[image.stride * cinfo.next_scanline];
    for (size_t i = 0; i < row.size(); i += 3) {
      row[i] = bgr[i + 2];
      row[i + 1] = bgr[i + 1];
      row[i + 2] = bgr[i];
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> data(buffer, buffer + size);
  std::free(buffer);
  return data;
}

klv::BgrImage PaintBgr(int width, int height, const std::function<Bgr(int x, int y)>& pixel) {
  klv::BgrImage image;
  image.width = width;
  image.height = height;
  image.stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  image.pixels.resize(image.stride * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Bgr p = pixel(x, y);
      uint8_t* at = &image.pixels[image.stride * y + x * 3];
      at[0] = p.b;
      at[1] = p.g;
      at[2] = p.r;
    }
  }
  return image;
}
