#include "ui/config_dialog.h"

#include <commctrl.h>

#include <iterator>
#include <memory>
#include <string>

#include "core/alpha.h"
#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/ini_integer.h"
#include "plugin/host/host.h"
#include "plugin/host/transparency.h"
#include "plugin/host/window_hooks.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/hotkeys/step_actions.h"
#include "plugin/osd/osd_options.h"
#include "plugin/osd/osd_window.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_file.h"
#include "ui/config_form_holder.h"
#include "ui/jpeg_picture.h"
#include "ui/osd_pickers.h"
#include "ui/ui_module.h"
#include "ui/ui_resources.h"
#include "win32/text_encoding.h"

namespace {

using namespace form1;

const FormPlacement kPlacement = {kClassName,
                                  L"\"Kelvo-plugin\" configuration",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                  WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                                  -3,
                                  -2,
                                  632,
                                  493};
constexpr wchar_t kErrorCaption[] = L"gen_klv";

// A check mark the user changed, applied once the list has finished its own
// handling of the click.
constexpr UINT kMsgApplyCheckMarks = WM_APP + 1;
// The host changed skin: the transparency groups follow it.
constexpr UINT kMsgSkinChanged = WM_APP + 3;

// One slider per alpha level, in AlphaLevels' order: main, playlist,
// equalizer; active levels first.
constexpr int kSliders[] = {kActiveMainSlider,   kActivePlaylistSlider,   kActiveEqualizerSlider,
                            kInactiveMainSlider, kInactivePlaylistSlider, kInactiveEqualizerSlider};
static_assert(static_cast<int>(std::size(kSliders)) == klv::kAlphaLevelCount);
// The slider's AlphaIndex; -1 for another control.
int LevelOf(int sliderId) {
  for (size_t i = 0; i < std::size(kSliders); ++i)
    if (kSliders[i] == sliderId) return static_cast<int>(i);
  return -1;
}

// Whole numbers as the settings file reads them. ParseIniInteger answers its
// fallback for text it cannot read, so two fallbacks tell failure apart.
bool ParseWholeNumber(const std::wstring& text, int32_t& value) {
  const std::string ascii = ToAscii(text);
  const int32_t first = klv::ParseIniInteger(ascii, 0);
  if (first != klv::ParseIniInteger(ascii, 1)) return false;
  value = first;
  return true;
}

}  // namespace

TForm1::TForm1() : FormFrame(kPlacement) { CreateFormWindow(nullptr); }

void TForm1::CreateControls() {
  InitCommonControls();
  layout_.Build(Window(), kControls, ControlCount());

  hotkeyList_.Attach(layout_.Control(kHotkeyList), layout_.Scale(13));
  for (const klv::HotkeyRow& row : gHotkeyTable) hotkeyList_.AddRow(row.action.caption);

  for (int id : kSliders) {
    HWND slider = layout_.Control(id);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 10);
    SendMessageW(slider, TBM_SETTICFREQ, 2, 0);
    SendMessageW(slider, TBM_SETTHUMBLENGTH, layout_.Scale(10), 0);
    SendMessageW(slider, TBM_SETPOS, TRUE, 100);
  }
  sliderShown_.fill(100);

  // Item i is the value of the OSD's monitor setting.
  layout_.FillDropDown(kOsdMonitorList, {L"Primary monitor", L"Player's monitor", L"Active window's monitor",
                                         L"Mouse pointer's monitor"});

  // Drawn at the size the form gives them, so they grow with the DPI and keep their aspect.
  logo_.Reset(LoadJpegResource(KLV_IDR_ABOUT_LOGO, layout_.Size(kLogoPicture)));
  icon_.Reset(LoadJpegResource(KLV_IDR_ABOUT_ICON, layout_.Size(kIconPicture)));
  SendMessageW(layout_.Control(kLogoPicture), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(logo_.Get()));
  SendMessageW(layout_.Control(kIconPicture), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(icon_.Get()));
}

LRESULT TForm1::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (TakeConfigFormRelease(*this, message)) return 0;
  const ConfigFormInUse use(*this);
  ScopedVisualStyles styles;
  return HandleMessage(message, wParam, lParam);
}

bool TForm1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return true;
    case WM_HSCROLL:
      if (lParam != 0) AlphaSliderChange(layout_.IdOf(reinterpret_cast<HWND>(lParam)));
      return true;
    case WM_POWERBROADCAST:
      // The host's window hears it too, in no set order: whichever comes first retries.
      if (RetryWaitingHotkeysOnResume(wParam)) ShowHotkeyRows();
      return false;
    case kMsgSkinChanged:
      ShowTransparencyGroups();
      return true;
    case kMsgApplyCheckMarks:
      if (!checkMarksPending_) return true;  // applied already, ahead of a double click
      checkMarksPending_ = false;
      HotkeyMarksChange();
      return true;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != layout_.Control(kWebAddressLabel)) return false;
      // The web address reads as a link.
      DefWindowProcW(Window(), message, wParam, lParam);
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 192));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      return true;
    default:
      return false;
  }
}

// Changes stay in memory; only "Exit" writes the file.
void TForm1::OnClose() { ReleaseConfigFormLater(*this); }

void TForm1::OnCommand(int id, int code) {
  if (code == EN_CHANGE && id == kDisplayTimeEdit) {
    if (!filling_) OsdDisplayTimeChange();
    return;
  }
  if (id == kSeekStepEdit || id == kVolumeStepEdit) {
    if (code == EN_CHANGE && !filling_) StepChange(id);
    // A value the step cannot take is not kept: the box shows the step again once left.
    if (code == EN_KILLFOCUS) ShowSteps();
    return;
  }
  if (code == CBN_SELCHANGE && id == kOsdMonitorList) {
    OsdMonitorChange();
    return;
  }
  if (code != BN_CLICKED) return;
  if (id >= kOsdPositionItem0 && id <= kOsdPositionItem8) {
    OsdPositionClick(id - kOsdPositionItem0);
    return;
  }
  for (const auto& [box, flag] : kOsdOptionBoxes)
    if (id == box) OsdOptionClick(box, flag);
  switch (id) {
    case kHotkeysBox:
      HotkeysEnabledClick();
      break;
    case kOsdBox:
      OsdEnabledClick();
      break;
    case kSelectColorButton:
      SelectColorClick();
      break;
    case kSelectFontButton:
      SelectFontClick();
      break;
    case kActiveTransparencyBox:
      ActiveTransparencyClick();
      break;
    case kInactiveTransparencyBox:
      InactiveTransparencyClick();
      break;
    case kPlayOnStartBox:
      PlayOnStartClick();
      break;
    case kRememberPositionBox:
      RememberPositionClick();
      break;
    case kExitButton:
      ExitClick();
      break;
    default:
      break;
  }
}

void TForm1::OnNotify(const NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(kHotkeyList)) return;
  if (header.code == LVN_ITEMCHANGED) {
    if (hotkeyList_.IsUserCheckChange(reinterpret_cast<const NMLISTVIEW&>(header)) && !checkMarksPending_) {
      checkMarksPending_ = true;
      PostMessageW(Window(), kMsgApplyCheckMarks, 0, 0);
    }
  } else if (header.code == NM_DBLCLK) {
    // A double click on a check box has marked it already: apply that first,
    // so the two never run nested inside each other's dialog.
    if (checkMarksPending_) {
      checkMarksPending_ = false;
      HotkeyMarksChange();
    }
    HotkeyListDblClick();
  }
}

void TForm1::ShowTransparencyGroups() {
  const bool classic = !HostRunsModernSkin();
  layout_.SetEnabled(kActiveTransparencyBox, classic);
  layout_.SetEnabled(kActiveGroup, classic && gSettings.activeEnabled);
  layout_.SetEnabled(kInactiveTransparencyBox, classic);
  layout_.SetEnabled(kInactiveGroup, classic && gSettings.inactiveEnabled);
  ShowWindow(layout_.Control(kOwnOpacityNote), classic ? SW_HIDE : SW_SHOWNA);
}

void TForm1::ShowOsdPosition(int position) {
  for (int i = 0; i <= kOsdPositionItem8 - kOsdPositionItem0; ++i) {
    HWND item = layout_.Control(kOsdPositionItem0 + i);
    SendMessageW(item, BM_SETCHECK, i == position ? BST_CHECKED : BST_UNCHECKED, 0);
    // Tab enters the group at the checked item (the first one when none is).
    const bool tabStop = i == position || ((position < 0 || position > 8) && i == 0);
    LONG_PTR style = GetWindowLongPtrW(item, GWL_STYLE);
    style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(item, GWL_STYLE, style);
  }
}

void TForm1::FormShow() {
  filling_ = true;
  // Sliders show the levels; nothing is stored back (a level changes only when
  // the user moves its slider).
  for (int i = 0; i < klv::kAlphaLevelCount; ++i) {
    sliderShown_[i] = klv::AlphaToPercent(gSettings.alphaLevels[i]);
    SendMessageW(layout_.Control(kSliders[i]), TBM_SETPOS, TRUE, sliderShown_[i]);
  }

  // Registration first, so that a combination refused now shows "(in use)".
  const bool hotkeys = gSettings.hotkeysEnabled;
  if (hotkeys) RenewAllHotkeys();
  ShowHotkeyRows();

  ShowOsdPosition(gSettings.osdPosition);
  SetWindowTextW(layout_.Control(kDisplayTimeEdit), std::to_wstring(gSettings.osdDisplayTime).c_str());
  // A stored value without an item shows the first one and stays as it is.
  const int32_t monitor = gSettings.osdMonitor;
  SendMessageW(layout_.Control(kOsdMonitorList), CB_SETCURSEL, monitor >= 0 && monitor <= 3 ? monitor : 0, 0);
  for (const auto& [box, flag] : kOsdOptionBoxes) SetChecked(box, gSettings.*flag);
  ShowSteps();

  SetChecked(kRememberPositionBox, gSettings.rememberPosition);
  SetChecked(kPlayOnStartBox, gSettings.playOnStart);
  SetChecked(kHotkeysBox, hotkeys);
  layout_.SetEnabled(kHotkeyList, hotkeys);
  layout_.SetEnabled(kHotkeysGroup, hotkeys);

  // Each group switched on applies transparency, as its box's click would.
  SetChecked(kActiveTransparencyBox, gSettings.activeEnabled);
  if (gSettings.activeEnabled) ApplyTransparency();
  SetChecked(kInactiveTransparencyBox, gSettings.inactiveEnabled);
  if (gSettings.inactiveEnabled) ApplyTransparency();
  ShowTransparencyGroups();

  layout_.SetEnabled(kDisplayTimeUnitLabel, gSettings.osdEnabled);
  SetChecked(kOsdBox, gSettings.osdEnabled);
  layout_.SetEnabled(kOsdGroup, gSettings.osdEnabled);
  layout_.SetEnabled(kSelectColorButton, gSettings.osdEnabled);
  layout_.SetEnabled(kSelectFontButton, gSettings.osdEnabled);
  filling_ = false;
}

void TForm1::OsdEnabledClick() {
  const bool enabled = Checked(kOsdBox);
  SetOsdEnabled(enabled);
  layout_.SetEnabled(kOsdGroup, enabled);
  layout_.SetEnabled(kSelectColorButton, enabled);
  layout_.SetEnabled(kSelectFontButton, enabled);
  layout_.SetEnabled(kDisplayTimeUnitLabel, enabled);
}

void TForm1::OsdPositionClick(int item) {
  // Keyboard focus can arrive at an item before it is checked; check it here.
  ShowOsdPosition(item);
  SetOsdPosition(static_cast<uint8_t>(item));
}

void TForm1::OsdDisplayTimeChange() {
  const std::wstring text = WindowText(layout_.Control(kDisplayTimeEdit));
  int32_t value = 0;
  if (!ParseWholeNumber(text, value)) {
    const std::wstring message = L"'" + text + L"' is not a valid integer value.";
    MessageBoxW(Window(), message.c_str(), kErrorCaption, MB_OK | MB_ICONERROR);
    return;
  }
  SetOsdDisplayTime(value);
}

void TForm1::OsdMonitorChange() {
  const LRESULT item = SendMessageW(layout_.Control(kOsdMonitorList), CB_GETCURSEL, 0, 0);
  if (item != CB_ERR) SetOsdMonitor(klv::OsdMonitorFrom(static_cast<int32_t>(item)));
}

void TForm1::OsdOptionClick(int box, bool klv::Settings::*flag) { SetOsdOption(flag, Checked(box)); }

void TForm1::ShowSteps() {
  const bool filling = filling_;
  filling_ = true;
  SetWindowTextW(layout_.Control(kSeekStepEdit), std::to_wstring(gSettings.seekSeconds).c_str());
  SetWindowTextW(layout_.Control(kVolumeStepEdit), std::to_wstring(gSettings.volumePercent).c_str());
  filling_ = filling;
}

void TForm1::StepChange(int id) {
  int32_t value = 0;
  if (!ParseWholeNumber(WindowText(layout_.Control(id)), value)) return;
  if (id == kSeekStepEdit) SetSeekSeconds(value);
  if (id == kVolumeStepEdit) SetVolumePercent(value);
}

void TForm1::SelectColorClick() { ChooseOsdColor(Window()); }

void TForm1::SelectFontClick() { ChooseOsdFont(Window()); }

void TForm1::ActiveTransparencyClick() {
  SetActiveTransparency(Checked(kActiveTransparencyBox));
  ShowTransparencyGroups();
}

void TForm1::InactiveTransparencyClick() {
  SetInactiveTransparency(Checked(kInactiveTransparencyBox));
  ShowTransparencyGroups();
}

void TForm1::AlphaSliderChange(int id) {
  const int level = LevelOf(id);
  if (level < 0) return;
  const int position = static_cast<int>(SendMessageW(layout_.Control(id), TBM_GETPOS, 0, 0));
  // A click that leaves the thumb where it was changes no level.
  if (position == sliderShown_[level]) return;
  sliderShown_[level] = position;
  SetAlphaLevel(static_cast<klv::AlphaIndex>(level), position);
}

void TForm1::PlayOnStartClick() { SetPlayOnStart(Checked(kPlayOnStartBox)); }

void TForm1::RememberPositionClick() { SetRememberPosition(Checked(kRememberPositionBox)); }

void TForm1::ExitClick() {
  ReleaseConfigFormLater(*this);
  if (!SaveSettings()) {
    // No owner: the dialog goes away while the box is open.
    const std::wstring message = Utf8ToWide(SettingsWriteErrorText() + ".");
    MessageBoxW(nullptr, message.c_str(), kErrorCaption, MB_OK | MB_ICONERROR);
  }
}

bool TForm1::Show() {
  FormShow();
  if (Window() == nullptr) return false;  // closed while an error box was open
  ShowInFront();
  return true;
}

// ---- The form's way in ----

void OpenConfigDialog() {
  SetSkinChangeListener([] { SendMessageW(ConfigDialogWindow(), kMsgSkinChanged, 0, 0); });
  if (ShowOpenConfigForm()) return;
  ScopedVisualStyles styles;
  auto form = std::make_unique<TForm1>();
  if (form->Window() == nullptr) return;
  TForm1& opened = *form;
  HoldConfigForm(std::move(form));
  const ConfigFormInUse use(opened);
  opened.Show();
}
