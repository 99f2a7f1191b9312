#include "player/demo_library.h"

#include <windows.h>

#include "testkit/jpeg_encode.h"

namespace player {
namespace {

constexpr int kCoverSide = 300;

// A cover of two colours per album: a diagonal split and a band across it.
klv::BgrImage DrawCover(int album) {
  const uint8_t hue[][3] = {{40, 90, 200}, {200, 120, 30}, {60, 160, 70}, {150, 50, 140}};
  const uint8_t* first = hue[album % 4];
  const uint8_t* second = hue[(album + 1) % 4];
  klv::BgrImage image;
  image.width = image.height = kCoverSide;
  image.stride = kCoverSide * 3;
  image.pixels.resize(image.stride * kCoverSide);
  for (int y = 0; y < kCoverSide; ++y) {
    for (int x = 0; x < kCoverSide; ++x) {
      const bool band = y > kCoverSide * 2 / 5 && y < kCoverSide * 3 / 5;
      const uint8_t* colour = band ? second : (x + y < kCoverSide ? first : second);
      uint8_t* pixel = &image.pixels[image.stride * y + x * 3];
      for (int c = 0; c < 3; ++c) pixel[c] = band ? static_cast<uint8_t>(255 - colour[c] / 2) : colour[c];
    }
  }
  return image;
}

void WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& data) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  if (!data.empty()) WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

void PlaceDemoLibrary(const std::string& directory, std::vector<Track>& tracks) {
  const std::wstring library = std::wstring(directory.begin(), directory.end()) + L"\\Demo Music";
  CreateDirectoryW(library.c_str(), nullptr);
  for (size_t i = 0; i < tracks.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const std::wstring album = library + L"\\Album " + std::to_wstring(number);
    CreateDirectoryW(album.c_str(), nullptr);
    tracks[i].path = album + L"\\Track " + std::to_wstring(number) + L".mp3";
    if (GetFileAttributesW(tracks[i].path.c_str()) == INVALID_FILE_ATTRIBUTES)
      WriteWholeFile(tracks[i].path, {});
    // Albums 1, 3, 4 and 6 have a cover; 2, 5 and 7 have none.
    const bool hasCover = number == 1 || number == 3 || number == 4 || number == 6;
    const std::wstring cover = album + L"\\cover.jpg";
    if (hasCover) {
      WriteWholeFile(cover, EncodeJpeg(DrawCover(number), {85}));
    } else {
      DeleteFileW(cover.c_str());
    }
  }
}

}  // namespace player
