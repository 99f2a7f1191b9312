// Album covers. Memory: the peak that one lookup adds to the heap, counted by
// this program's own malloc, for a 3000 x 3000 baseline picture and a 2048 x
// 2048 progressive one beside the file and a 4096 x 4096 picture from the
// album art service (the service's own copies of its pixels left out: they
// are the player's). Time: from the "Show Song Information" key pressed
// through SendInput to the OSD painted with the cover of a 500, 1500 or 3000
// pixel picture beside the file, the kept covers forgotten before each press,
// against a floor measured press by press in the same run: another hotkey
// whose WM_HOTKEY shows a bare popup with the text, reads the same file,
// decodes it with libjpeg at the reduction that still covers the square,
// averages it into the square and draws it in, the popup grown to the OSD's
// size with its cover. Prints markdown rows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
// clang-format on

#include "bench/bench_support.h"
#include "bench/heap_count.h"
#include "bench/key_press.h"
#include "core/cover/cover_art.h"
#include "core/host_codes.h"
#include "entry/lifecycle.h"
#include "entry/plugin_descriptor.h"
#include "player/album_art_service.h"
#include "plugin/cover/cover_sources.h"
#include "plugin/cover/track_cover.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "testkit/jpeg_encode.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"

namespace {

constexpr int kRounds = 25;  // per size
constexpr int kFloorHotkeyId = 0x7000;
const klv::PackedHotkey kFloorHotkey = klv::PackHotkey('Z', true, true, false, false);
constexpr char kTitle[] = "Bench Artist - Bench Title";

TestHost* gHost = nullptr;
std::wstring gTrackPath;
std::string gFloorFile;
int gSide = 0;
bench::FloorPopup* gFloor = nullptr;
RECT gFloorTextPlace{}, gFloorPlace{};  // the OSD's with its text alone, with the cover
klv::BgrImage gFloorPicture;

// The playing entry's file, answered to the plug-in's request for it; empty: none.
void SetTrackPath(std::wstring path) {
  gTrackPath = std::move(path);
  gHost->rawAnswers[klv::kHostWideFileAt] =
      gTrackPath.empty() ? 0 : reinterpret_cast<LRESULT>(gTrackPath.c_str());
}

// A photograph's kind of content, so that the file has a photograph's size.
klv::BgrImage Scene(int side) {
  klv::BgrImage picture;
  picture.width = picture.height = side;
  picture.stride = (static_cast<size_t>(side) * 3 + 3) & ~size_t{3};
  picture.pixels.resize(picture.stride * side);
  uint32_t noise = 12345;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side * 3; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int wave = (x / 3 * 255 / side + y * 255 / side + (x % 3) * 80) & 255;
      picture.pixels[picture.stride * y + x] = static_cast<uint8_t>(wave * 7 / 8 + (noise >> 27));
    }
  }
  return picture;
}

// An album folder with its cover.jpg; the track's path for the host.
struct Album {
  Album(const std::string& dir, const std::string& name, const std::vector<uint8_t>& jpeg)
      : folder(dir + "\\" + name), cover(folder + "\\cover.jpg") {
    CreateDirectoryA(folder.c_str(), nullptr);
    ok = WriteWholeFile(cover, std::string(jpeg.begin(), jpeg.end()));
    const std::string path = folder + "\\track.mp3";
    track.assign(path.begin(), path.end());
  }
  ~Album() {
    DeleteFileA(cover.c_str());
    RemoveDirectoryA(folder.c_str());
  }
  std::string folder, cover;
  std::wstring track;
  bool ok = false;
};

// The floor's decode: libjpeg at the largest of 1/8, 1/4, 1/2 whose picture
// still covers the square, each decoded pixel added into the square pixel it falls in.
klv::BgrImage FloorDecode(const std::string& data, int side) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  cinfo.scale_num = 1;
  cinfo.scale_denom = 1;
  for (unsigned int reduction : {8u, 4u, 2u}) {
    if ((cinfo.image_width + reduction - 1) / reduction >= static_cast<unsigned>(side) &&
        (cinfo.image_height + reduction - 1) / reduction >= static_cast<unsigned>(side)) {
      cinfo.scale_denom = reduction;
      break;
    }
  }
  jpeg_start_decompress(&cinfo);
  const int width = static_cast<int>(cinfo.output_width), height = static_cast<int>(cinfo.output_height);
  std::vector<uint32_t> sums(static_cast<size_t>(side) * side * 4, 0);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[] = {row.data()};
    const int y = static_cast<int>(cinfo.output_scanline) * side / height;
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (int x = 0; x < width; ++x) {
      uint32_t* sum = &sums[(static_cast<size_t>(y) * side + x * side / width) * 4];
      for (int c = 0; c < 3; ++c) sum[c] += row[x * 3 + c];
      ++sum[3];
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  klv::BgrImage picture;
  picture.width = picture.height = side;
  picture.stride = (static_cast<size_t>(side) * 3 + 3) & ~size_t{3};
  picture.pixels.resize(picture.stride * side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      for (int c = 0; c < 3; ++c) {
        const uint32_t* sum = &sums[(static_cast<size_t>(y) * side + x) * 4];
        picture.pixels[picture.stride * y + x * 3 + c] = static_cast<uint8_t>(sum[c] / std::max(1u, sum[3]));
      }
  return picture;
}

LRESULT CALLBACK FloorHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_HOTKEY && wParam == kFloorHotkeyId && gFloor != nullptr) {
    // As the OSD shows it: the text at once, then the cover drawn in.
    gFloor->SetPicture(nullptr);
    gFloor->Show(gFloorTextPlace, kTitle);
    UpdateWindow(gFloor->Window());
    gFloorPicture = FloorDecode(ReadWholeFile(gFloorFile), gSide);
    gFloor->SetPicture(&gFloorPicture);
    gFloor->Place(gFloorPlace);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WindowHeight(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

// The peak bytes that one lookup adds, and whether it found a cover.
template <typename Lookup>
size_t PeakAdded(Lookup lookup, bool& found) {
  const size_t before = bench::StartHeapPeak();
  found = lookup();
  return bench::HeapPeak() - before;
}

}  // namespace

int main() {
  const bench::TooltipAnimationOff noAnimation;
  TestInstall install;
  TestHost host(false, false);
  host.title = kTitle;
  gHost = &host;
  const klv::PackedHotkey packed = bench::StartWithInfoHotkey(install, host.main);
  if (packed == 0) return 1;
  gSettings.osdShowArt = true;
  const int side = klv::CoverSide(96);

  // ---- Memory: one lookup on this thread, as a lookup's thread runs it ----
  struct MemoryCase {
    const char* label;
    size_t bytes;
    bool found;
  };
  std::vector<MemoryCase> memory;
  {
    const Album baseline(install.Directory(), "Baseline 3000", EncodeJpeg(Scene(3000)));
    const Album progressive(install.Directory(), "Progressive 2048",
                            EncodeJpeg(Scene(2048), {90, false, true}));
    for (const Album* album : {&baseline, &progressive}) {
      bool found = false;
      const std::u16string path(album->track.begin(), album->track.end());
      klv::BgrImage cover;
      const size_t bytes = PeakAdded([&] { return ReadFolderCover(path, side, cover); }, found);
      memory.push_back({album == &baseline ? "3000 x 3000 baseline JPEG beside the file"
                                           : "2048 x 2048 progressive JPEG beside the file",
                        bytes, found});
    }
    player::ArgbPicture served{4096, 4096, std::vector<uint32_t>(4096u * 4096u, 0xFF336699u)};
    player::AlbumArtService service([&](const std::wstring&, player::ArgbPicture& picture) {
      picture = served;
      return true;
    });
    bench::gUncountedSize = served.pixels.size() * sizeof(uint32_t);
    bool found = false;
    klv::BgrImage cover;
    ServiceLife life;
    const size_t bytes = PeakAdded(
        [&] {
          return ReadServiceCover(static_cast<ServiceObject*>(service.Manager()), life, u"C:\\Music\\a.mp3",
                                  side, cover);
        },
        found);
    bench::gUncountedSize = 0;
    memory.push_back({"4096 x 4096 picture from the album art service", bytes, found});
  }

  // ---- Time: key press to the cover drawn, beside the floor ----
  bench::FloorPopup floor;
  gFloor = &floor;
  gSide = side;
  HWND floorHost =
      CreateTestWindow("KlvBenchFloorHost", FloorHostProc, WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 120});
  if (floorHost == nullptr || !RegisterHotKey(floorHost, kFloorHotkeyId, klv::HotkeyModifiers(kFloorHotkey),
                                              klv::HotkeyKeyCode(kFloorHotkey))) {
    std::fprintf(stderr, "cannot register the floor's hotkey\n");
    PluginQuit();
    return 1;
  }
  SetTrackPath(L"C:\\no such folder\\track.mp3");
  DestroyOsdPlatformWindow();
  bench::PressUntilPainted(packed, [] { return OsdPlatformWindow(); });  // warm-up, the text alone
  const int textHeight = WindowHeight(OsdPlatformWindow());
  RECT osd{};
  GetWindowRect(OsdPlatformWindow(), &osd);
  const int floorOffset = osd.top > 200 ? -150 : 150;
  gFloorTextPlace = gFloorPlace = osd;
  OffsetRect(&gFloorTextPlace, 0, floorOffset);

  struct TimeCase {
    int size;
    bench::Spread ours, floor;
    double lookupMs, decodeMs;  // the best of the lookup and of the floor's decode alone, on this thread
  };
  std::vector<TimeCase> times;
  bool measured = true;
  for (int size : {500, 1500, 3000}) {
    const Album album(install.Directory(), "Album " + std::to_string(size), EncodeJpeg(Scene(size)));
    gFloorFile = album.cover;
    SetTrackPath(album.track);
    std::vector<double> ours, floors;
    for (int round = 0; round <= kRounds && measured; ++round) {
      StopCoverLookups();  // the kept covers forgotten
      StartCoverLookups();
      DestroyOsdPlatformWindow();
      const LARGE_INTEGER start = bench::Now();
      const double text = bench::PressUntilPainted(packed, [] { return OsdPlatformWindow(); });
      const double ms = bench::PressUntilPaintedAgain(
          [&] { return WindowHeight(OsdPlatformWindow()) > textHeight; }, start);
      floor.Hide();
      const double floorMs = bench::PressUntilPainted(kFloorHotkey, [] { return gFloor->Window(); });
      measured = text >= 0 && ms >= 0 && floorMs >= 0;
      if (round == 0) {
        // Warm-up, the file's first read; the floor takes the OSD's size with its cover, beside it.
        GetWindowRect(OsdPlatformWindow(), &gFloorPlace);
        OffsetRect(&gFloorPlace, 0, floorOffset);
        continue;
      }
      ours.push_back(ms);
      floors.push_back(floorMs);
    }
    if (!measured) std::fprintf(stderr, "%d pixels: no cover or no floor within the time\n", size);
    // The lookup's own work beside the floor's decode, with no thread, window or key in between.
    std::vector<double> lookups, decodes;
    const std::u16string path(album.track.begin(), album.track.end());
    for (int round = 0; round < kRounds; ++round) {
      klv::BgrImage cover;
      LARGE_INTEGER start = bench::Now();
      ReadFolderCover(path, side, cover);
      lookups.push_back(bench::Milliseconds(start, bench::Now()));
      start = bench::Now();
      gFloorPicture = FloorDecode(ReadWholeFile(gFloorFile), side);
      decodes.push_back(bench::Milliseconds(start, bench::Now()));
    }
    // The best of each: a loaded machine takes the core away for 4 ms at a time.
    times.push_back({size, bench::SpreadOf(ours), bench::SpreadOf(floors),
                     *std::min_element(lookups.begin(), lookups.end()),
                     *std::min_element(decodes.begin(), decodes.end())});
  }
  UnregisterHotKey(floorHost, kFloorHotkeyId);
  DestroyWindow(floorHost);
  floor.Hide();
  gFloor = nullptr;
  SetTrackPath(L"");
  PluginQuit();

  for (const MemoryCase& c : memory) {
    std::printf("| cover memory | peak heap one lookup adds, %s | %s%.0f KB | |\n", c.label,
                c.found ? "" : "no cover; ", c.bytes / 1024.0);
  }
  if (!measured) return 1;
  for (const TimeCase& c : times) {
    const double ratio = c.ours.median / c.floor.median;
    std::printf(
        "| cover time | key press to the cover drawn, %d x %d baseline JPEG beside the file, %d presses | "
        "median %.2f ms, p95 %.2f ms; floor median %.2f ms | %.2fx the floor's median (target ≤ 1.2x: %s) "
        "|\n",
        c.size, c.size, kRounds, c.ours.median, c.ours.p95, c.floor.median, ratio,
        ratio <= 1.2 ? "met" : "missed");
    std::printf(
        "| cover time | the lookup alone (read, decode, fit) against the floor's read, decode and average, "
        "%d x "
        "%d, best of %d | %.2f ms; floor %.2f ms | %.2fx |\n",
        c.size, c.size, kRounds, c.lookupMs, c.decodeMs, c.lookupMs / c.decodeMs);
  }
  return 0;
}
