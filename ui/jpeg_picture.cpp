#include "ui/jpeg_picture.h"

#include <algorithm>

#include "core/jpeg_decode.h"
#include "plugin/win_handles.h"
#include "ui/ui_module.h"

HBITMAP DecodeJpegToBitmap(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0) return nullptr;
  klv::BgrImage image;
  if (!klv::DecodeJpegToBgr(data, size, image)) return nullptr;
  const int width = image.width;
  const int height = image.height;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as libjpeg delivers rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return nullptr;
  std::copy(image.pixels.begin(), image.pixels.end(), static_cast<uint8_t*>(bits));
  return bitmap.Release();
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
