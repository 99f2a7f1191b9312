// OsdFont: the settings' font fields plus what the settings file has no keys for.
#include "plugin/osd/osd_style.h"

#include <algorithm>
#include <string>

#include "plugin/plugin_state.h"
#include "win32/text_encoding.h"
#include "win32/win_handles.h"

namespace {

struct OsdFontCharacter {
  BYTE charSet = DEFAULT_CHARSET;
  BYTE pitchAndFamily = DEFAULT_PITCH;
};

OsdFontCharacter gOsdFontCharacter;

}  // namespace

COLORREF ResolveOsdColor(uint32_t color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

LOGFONTW OsdLogFont() {
  const klv::OsdFontSettings& fontSettings = gSettings.osdFont;
  LOGFONTW font{};
  WindowDc screen(nullptr);
  font.lfHeight = -MulDiv(fontSettings.size, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  font.lfWeight = fontSettings.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = fontSettings.italic;
  font.lfUnderline = fontSettings.underline;
  font.lfStrikeOut = fontSettings.strikeOut;
  font.lfCharSet = gOsdFontCharacter.charSet;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = gOsdFontCharacter.pitchAndFamily;
  // Cut to the face name's room without parting a surrogate pair.
  const std::wstring face = ReadBoundedWide(Utf8ToWide(fontSettings.name).c_str(), LF_FACESIZE - 1);
  std::copy(face.begin(), face.end(), font.lfFaceName);
  return font;
}

void KeepOsdFontCharacter(BYTE charSet, BYTE pitchAndFamily) {
  gOsdFontCharacter = OsdFontCharacter{charSet, pitchAndFamily};
}

void ResetOsdFontCharacter() { gOsdFontCharacter = OsdFontCharacter{}; }
