// libjpeg decoding into BGR rows. libjpeg reports fatal errors by calling
// error_exit, which must not return: it jumps back here instead.
#include "core/cover/jpeg_decode.h"

#include <csetjmp>
#include <cstdio>
#include <utility>

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
// clang-format on

namespace klv {
namespace {

struct JumpingErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  bool damaged = false;
};

void ErrorExit(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  // Warnings (level -1) are where libjpeg notes a premature end of data or
  // corrupt data; such a picture would otherwise show grey padding.
  auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
  if (level < 0) manager->damaged = true;
}

}  // namespace

// Free of C++ objects with destructors between setjmp and longjmp; the pixel
// buffer belongs to the caller.
bool DecodeJpegToBgr(const uint8_t* data, size_t size, BgrImage& image, const JpegLimits& limits) {
  if (data == nullptr || size == 0) return false;
  jpeg_decompress_struct cinfo{};
  JumpingErrorManager errors{};
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.emit_message = EmitMessage;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  // Checked before jpeg_start_decompress, which already sizes whole-picture buffers
  // for progressive data, and before the row buffer, whose size would wrap in 32 bits.
  if (static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height > limits.maxPixels ||
      cinfo.image_width > limits.maxSide || cinfo.image_height > limits.maxSide) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  image.width = static_cast<int>(cinfo.output_width);
  image.height = static_cast<int>(cinfo.output_height);
  image.stride = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t{3};
  image.pixels.assign(image.stride * image.height, 0);
  while (cinfo.output_scanline < cinfo.output_height && !errors.damaged) {
    JSAMPROW row = image.pixels.data() + image.stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
    for (int x = 0; x < image.width; ++x) std::swap(row[x * 3], row[x * 3 + 2]);  // RGB -> BGR
  }
  if (!errors.damaged) jpeg_finish_decompress(&cinfo);
  const bool whole = !errors.damaged;
  jpeg_destroy_decompress(&cinfo);
  return whole && image.width > 0 && image.height > 0;
}

}  // namespace klv
