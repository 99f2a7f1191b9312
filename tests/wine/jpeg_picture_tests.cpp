// The About pictures as the configuration dialog decodes them: whole JPEG
// pictures become bitmaps, damaged ones nothing.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "testkit/test_host.h"
#include "ui/jpeg_picture.h"
#include "ui/ui_resources.h"

namespace {

std::vector<uint8_t> LogoFromTheDll() {
  HMODULE dll = LoadLibraryExA(PluginDllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (dll == nullptr) return {};
  std::vector<uint8_t> bytes;
  if (HRSRC resource = FindResourceA(dll, MAKEINTRESOURCEA(KLV_IDR_ABOUT_LOGO), MAKEINTRESOURCEA(10))) {
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(dll, resource)));
    bytes.assign(data, data + SizeofResource(dll, resource));
  }
  FreeLibrary(dll);
  return bytes;
}

TEST(JpegPicture, DecodesWholePicturesAndLeavesDamagedOnesEmpty) {
  const std::vector<uint8_t> logo = LogoFromTheDll();
  ASSERT_GT(logo.size(), 200u);
  HBITMAP whole = DecodeJpegToBitmap(logo.data(), logo.size());
  ASSERT_NE(whole, nullptr);
  BITMAP info{};
  GetObjectA(whole, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 120);
  EXPECT_EQ(info.bmHeight, 40);
  DeleteObject(whole);

  std::vector<uint8_t> garbage(logo.begin(), logo.end());
  for (size_t i = 2; i < garbage.size(); i += 3) garbage[i] = static_cast<uint8_t>(i * 7);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } const cases[] = {
      {"empty", {}},
      {"header only", std::vector<uint8_t>(logo.begin(), logo.begin() + 2)},
      {"truncated to half", std::vector<uint8_t>(logo.begin(), logo.begin() + logo.size() / 2)},
      {"last bytes missing", std::vector<uint8_t>(logo.begin(), logo.end() - 40)},
      {"not a JPEG", std::vector<uint8_t>(300, 0x55)},
      {"scrambled", garbage},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap = DecodeJpegToBitmap(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(bitmap, nullptr) << c.what;
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
}

}  // namespace
