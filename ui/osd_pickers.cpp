// The configuration dialog's "Select Color" and "Select Font" for the OSD.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include "ui/osd_pickers.h"

#include <string>

#include "plugin/osd/osd_options.h"
#include "plugin/osd/osd_style.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "win32/text_encoding.h"
#include "win32/win_handles.h"

namespace {

// The colour dialog's sixteen custom colours, kept from one use to the next.
COLORREF gCustomColors[16] = {};

bool IsBold(LONG weight) { return weight >= FW_BOLD; }

// The common dialogs' library is loaded at the first picker, not with the
// plug-in: most sessions never open one, and loading it (with the libraries
// it loads in turn) was most of what the plug-in's load added to the host's
// start. It is kept until the plug-in stops: under Wine every unload of it
// leaves handles behind.
UniqueLibrary gCommonDialogs;

// From the system's folder by its full path: a bare name would be looked
// for in the host's folder first.
HMODULE LoadCommonDialogs() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, length) + L"\\comdlg32.dll").c_str());
}

template <typename Dialog>
bool RunCommonDialog(const char* functionName, Dialog& dialog) {
  if (!gCommonDialogs) gCommonDialogs.Reset(LoadCommonDialogs());
  // The call's own reference: a quit inside the dialog lets the kept one go.
  const UniqueLibrary library(LoadCommonDialogs());
  if (!library) return false;
  using Function = BOOL(WINAPI*)(Dialog*);
  const auto function =
      reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library.Get(), functionName)));
  return function != nullptr && function(&dialog) != FALSE;
}

}  // namespace

void ChooseOsdColor(HWND owner) {
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.rgbResult = ResolveOsdColor(gSettings.osdColor);
  dialog.lpCustColors = gCustomColors;
  dialog.Flags = CC_RGBINIT;
  // A cancel keeps the colour; the window takes it again either way.
  SetOsdColor(RunCommonDialog("ChooseColorW", dialog) ? dialog.rgbResult : gSettings.osdColor);
}

void ChooseOsdFont(HWND owner) {
  LOGFONTW font = OsdLogFont();
  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpLogFont = &font;
  dialog.Flags = CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS;
  dialog.rgbColors = ResolveOsdColor(gSettings.osdFont.color);
  if (!RunCommonDialog("ChooseFontW", dialog)) {
    // Also after a cancel, like the confirmed case: the window takes OsdFont again.
    ApplyOsdFont();
    return;
  }
  klv::OsdFontSettings chosen;
  chosen.name = WideToUtf8(ReadBoundedWide(font.lfFaceName, LF_FACESIZE - 1));
  chosen.size = dialog.iPointSize / 10;
  chosen.color = dialog.rgbColors;
  chosen.bold = IsBold(font.lfWeight);
  chosen.italic = font.lfItalic != 0;
  chosen.underline = font.lfUnderline != 0;
  chosen.strikeOut = font.lfStrikeOut != 0;
  SetOsdFont(chosen, font.lfCharSet, font.lfPitchAndFamily);
}

void ReleaseOsdPickers() { gCommonDialogs.Reset(); }
