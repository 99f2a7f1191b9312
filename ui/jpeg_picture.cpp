#include "ui/jpeg_picture.h"

#include <algorithm>

#include "core/cover/image_scale.h"
#include "core/cover/jpeg_decode.h"
#include "ui/ui_module.h"
#include "win32/this_module.h"
#include "win32/win_handles.h"

namespace {

HBITMAP BitmapFromImage(const klv::BgrImage& image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down, as libjpeg delivers rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return nullptr;
  std::copy(image.pixels.begin(), image.pixels.end(), static_cast<uint8_t*>(bits));
  return bitmap.Release();
}

HBITMAP DecodeScaled(const uint8_t* data, size_t size, SIZE scaledTo) {
  if (data == nullptr || size == 0) return nullptr;
  klv::BgrImage image;
  if (!klv::DecodeJpegToBgr(data, size, image)) return nullptr;
  const bool resize =
      scaledTo.cx > 0 && scaledTo.cy > 0 && (scaledTo.cx != image.width || scaledTo.cy != image.height);
  return BitmapFromImage(resize ? klv::ScaleBgrImage(image, scaledTo.cx, scaledTo.cy) : image);
}

}  // namespace

HBITMAP DecodeJpegToBitmap(const uint8_t* data, size_t size) { return DecodeScaled(data, size, SIZE{0, 0}); }

HBITMAP LoadJpegResource(int resourceId, SIZE scaledTo) {
  HINSTANCE module = ThisModule();
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return nullptr;
  return DecodeScaled(static_cast<const uint8_t*>(data), SizeofResource(module, resource), scaledTo);
}
