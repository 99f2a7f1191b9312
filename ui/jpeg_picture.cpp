#include "jpeg_picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <utility>
#include <vector>

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
// clang-format on

#include "ui_module.h"
#include "win_handles.h"

namespace {

// libjpeg reports fatal errors through error_exit, which must not return;
// jump back to the decoder instead of letting the default handler exit().
struct JumpingErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  bool truncated = false;
};

void ErrorExit(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  // A warning (level -1) is where libjpeg notes premature end of data; a
  // truncated picture would otherwise show grey padding.
  auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
  if (level < 0) manager->truncated = true;
}

// Decodes into rows of BGR pixels. Kept free of C++ objects with destructors
// between setjmp and longjmp; the pixel buffer is the caller's.
bool DecodeRows(const uint8_t* data, size_t size, std::vector<uint8_t>& pixels, int& width, int& height) {
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
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  width = static_cast<int>(cinfo.output_width);
  height = static_cast<int>(cinfo.output_height);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  pixels.assign(stride * height, 0);
  std::vector<uint8_t>* out = &pixels;
  while (cinfo.output_scanline < cinfo.output_height && !errors.truncated) {
    JSAMPROW row = out->data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
    for (int x = 0; x < width; ++x) std::swap(row[x * 3], row[x * 3 + 2]);  // RGB -> BGR
  }
  if (!errors.truncated) jpeg_finish_decompress(&cinfo);
  const bool whole = !errors.truncated;
  jpeg_destroy_decompress(&cinfo);
  return whole;
}

}  // namespace

HBITMAP DecodeJpegToBitmap(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0) return nullptr;
  std::vector<uint8_t> pixels;
  int width = 0;
  int height = 0;
  if (!DecodeRows(data, size, pixels, width, height) || width <= 0 || height <= 0) return nullptr;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as libjpeg delivers rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return nullptr;
  std::copy(pixels.begin(), pixels.end(), static_cast<uint8_t*>(bits));
  return bitmap;
}

HBITMAP LoadJpegResource(int resourceId) {
  HINSTANCE module = UiModule();
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return nullptr;
  return DecodeJpegToBitmap(static_cast<const uint8_t*>(data), SizeofResource(module, resource));
}
