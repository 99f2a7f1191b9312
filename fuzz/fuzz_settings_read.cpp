// Every settings read of init over arbitrary file text through the portable
// profile reader: no fault, texts within the profile limit, OSDMonitor one of
// its four values, the font name's escaped form reversible, and the same
// settings whether the file's lines end in LF or in CR LF.
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

auto Fields(const klv::Settings& s) {
  const klv::OsdFontSettings& f = s.osdFont;
  return std::tie(s.hotkeysEnabled, s.activeEnabled, s.inactiveEnabled, s.alphaLevels, s.osdEnabled,
                  s.osdPosition, s.osdDisplayTime, s.osdColor, f.name, f.size, f.color, f.bold, f.italic,
                  f.underline, f.strikeOut, s.osdMonitor, s.osdHideFullScreen, s.osdOnTrackChange,
                  s.osdShowVolume, s.osdShowArt, s.osdOnPlayState, s.osdOnVolumeChange, s.playOnStart,
                  s.rememberPosition, s.seekSeconds, s.volumePercent, s.mutedVolume, s.hotkeys,
                  s.playbackPosition);
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
  const klv::Settings settings = klv::ReadSettings(ini);

  FUZZ_CHECK(settings.osdFont.name.size() <= klv::kMaxIniText);
  if (!settings.rememberPosition) FUZZ_CHECK(settings.playbackPosition == klv::Settings().playbackPosition);
  // OSDFontName, or the exact name beside it; in its escaped form it comes back as read.
  const std::string& name = settings.osdFont.name;
  FUZZ_CHECK(ini.ReadString("osd", "osdfontname", "Arial") == name ||
             klv::UnescapeIniText(ini.ReadString("osd", "osdfontnameunicode", "")) == name);
  FUZZ_CHECK(klv::UnescapeIniText(klv::EscapeIniText(name)) == klv::Utf16ToUtf8(klv::Utf8ToUtf16(name)));
  FUZZ_CHECK(settings.osdMonitor >= 0 && settings.osdMonitor <= 3);

  const klv::Settings again = klv::ReadSettings(klv::IniText(WithCrLf(text)));
  FUZZ_CHECK(Fields(again) == Fields(settings));
  return 0;
}
