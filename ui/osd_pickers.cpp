// The configuration dialog's "Select Color" and "Select Font" for the OSD.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include "ui/osd_pickers.h"

#include "plugin/osd_style.h"
#include "plugin/osd_window.h"
#include "plugin/plugin_state.h"
#include "win32/text_encoding.h"

namespace {

// The colour dialog's sixteen custom colours, kept from one use to the next.
COLORREF gCustomColors[16] = {};

bool IsBold(LONG weight) { return weight >= FW_BOLD; }

}  // namespace

void ChooseOsdColor(HWND owner) {
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.rgbResult = ResolveOsdColor(gSettings.osdColor);
  dialog.lpCustColors = gCustomColors;
  dialog.Flags = CC_RGBINIT;
  if (ChooseColorW(&dialog)) gSettings.osdColor = dialog.rgbResult;
  ApplyOsdColor();
}

void ChooseOsdFont(HWND owner) {
  LOGFONTW font = OsdLogFont();
  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpLogFont = &font;
  dialog.Flags = CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS;
  dialog.rgbColors = ResolveOsdColor(gSettings.osdFont.color);
  if (ChooseFontW(&dialog)) {
    klv::OsdFontSettings& fontSettings = gSettings.osdFont;
    fontSettings.name = WideToUtf8(ReadBoundedWide(font.lfFaceName, LF_FACESIZE - 1));
    fontSettings.size = dialog.iPointSize / 10;
    fontSettings.color = dialog.rgbColors;
    fontSettings.bold = IsBold(font.lfWeight);
    fontSettings.italic = font.lfItalic != 0;
    fontSettings.underline = font.lfUnderline != 0;
    fontSettings.strikeOut = font.lfStrikeOut != 0;
    KeepOsdFontCharacter(font.lfCharSet, font.lfPitchAndFamily);
  }
  // Also after a cancel, like the confirmed case: the window takes OsdFont again.
  ApplyOsdFont();
}
