#include "testkit/jpeg_encode.h"

#include <cstdio>
#include <cstdlib>

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
// clang-format on

namespace klv {

// Compression of a well-formed image in memory has nothing to fail on but
// memory, which libjpeg reports by ending the process like any allocation.
std::vector<uint8_t> EncodeBgrToJpeg(const BgrImage& image, int quality, bool progressive) {
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
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
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

}  // namespace klv
