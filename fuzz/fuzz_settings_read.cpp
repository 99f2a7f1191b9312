// Every settings read of init over arbitrary file text through the portable
// profile reader: no fault, texts within the profile limit, OSDMonitor one of
// its four values, the font name's escaped form reversible, and the same
// settings whether the file's lines end in LF or in CR LF.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "core/settings/ini_escape.h"
#include "core/settings/ini_text.h"
#include "core/settings/settings_schema.h"
#include "core/utf16_text.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr int32_t kUnreadPosition = -424242;

struct AllSettings {
  klv::Settings settings;
  std::array<int32_t, klv::kHotkeyCount> packed{};
  int32_t position = kUnreadPosition;

  auto Fields() const {
    const klv::Settings& s = settings;
    const klv::OsdFontSettings& f = s.osdFont;
    return std::tie(s.hotkeysEnabled, s.activeEnabled, s.inactiveEnabled, s.alphaLevels, s.osdEnabled,
                    s.osdPosition, s.osdDisplayTime, s.osdColor, f.name, f.size, f.color, f.bold, f.italic,
                    f.underline, f.strikeOut, s.osdMonitor, s.osdHideFullScreen, s.osdOnTrackChange,
                    s.osdShowVolume, s.osdShowArt, s.osdOnPlayState, s.osdOnVolumeChange, s.playOnStart,
                    s.rememberPosition, s.seekSeconds, s.volumePercent, packed, position);
  }
};

AllSettings ReadAll(const klv::IniReader& ini) {
  AllSettings all;
  klv::ReadSettings(ini, all.settings, all.packed, all.position);
  return all;
}

std::string WithCrLf(std::string_view text) {
  std::string converted;
  converted.reserve(text.size() * 2);
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const klv::IniText ini(text);
  const AllSettings all = ReadAll(ini);

  FUZZ_CHECK(all.settings.osdFont.name.size() <= klv::kMaxIniText);
  if (!all.settings.rememberPosition) FUZZ_CHECK(all.position == kUnreadPosition);
  // OSDFontName, or the exact name beside it; in its escaped form it comes back as read.
  const std::string& name = all.settings.osdFont.name;
  FUZZ_CHECK(ini.ReadString("osd", "osdfontname", "Arial") == name ||
             klv::UnescapeIniText(ini.ReadString("osd", "osdfontnameunicode", "")) == name);
  FUZZ_CHECK(klv::UnescapeIniText(klv::EscapeIniText(name)) == klv::Utf16ToUtf8(klv::Utf8ToUtf16(name)));
  FUZZ_CHECK(all.settings.osdMonitor >= 0 && all.settings.osdMonitor <= 3);

  const AllSettings again = ReadAll(klv::IniText(WithCrLf(text)));
  FUZZ_CHECK(again.Fields() == all.Fields());
  return 0;
}
