#include "ui/gen_klv_form1.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "core/alpha.h"
#include "core/hotkey_actions.h"
#include "core/ini_integer.h"
#include "plugin/hotkey_registration.h"
#include "plugin/osd_pickers.h"
#include "plugin/osd_window.h"
#include "plugin/plugin_state.h"
#include "plugin/settings_file.h"
#include "plugin/this_module.h"
#include "plugin/transparency.h"
#include "ui/config_dialog.h"
#include "ui/form_window.h"
#include "ui/jpeg_picture.h"
#include "ui/ui_module.h"
#include "ui/ui_resources.h"

namespace {

using namespace form1;

using K = ControlKind;

constexpr const char* kHotKeysHint = "Hot keys";
constexpr const char* kPositionHint = "Position of screen tips";
constexpr const char* kTimeHint = "Screen tips displaying time";
constexpr const char* kColorHint = "Color selection for screen tips";
constexpr const char* kFontHint = "Font selection for screen tips";
constexpr const char* kPlayOnStartHint = "Automatic start playback on Winamp start";
constexpr const char* kRememberHint = "Remember playback position of the track on Winamp close";
constexpr const char* kActiveHint = "Active windows transparency level";
constexpr const char* kInactiveHint = "Inactive windows transparency level";

// The form as it reads: place and size at 96 DPI relative to the container
// (parent 0 is the form), tab order within the container. The hot keys list
// is tall enough for all sixteen rows without scrolling, with a row to spare.
// clang-format off
const ControlRow kForm1Controls[] = {
    // kind           id               parent        x    y    w    h    caption                             hint              tab        flags           on caption of
    // hot keys
    {K::kGroupBox,    kGroupBox4,      0,            8,   8,   201, 270, "       Hot Keys ",                 kHotKeysHint,     4,         kStartDisabled},
    {K::kCheckBox,    kCheckBox6,      0,            20,  6,   14,  17,  "",                                 nullptr,          12,        0,              kGroupBox4},
    {K::kCheckList,   kCheckListBox1,  0,            16,  25,  185, 243, "",                                 kHotKeysHint,     3},
    // on-screen display
    {K::kGroupBox,    kGroupBox3,      0,            216, 8,   201, 121, "       OSD ",                      nullptr,          5},
    {K::kCheckBox,    kCheckBox5,      0,            228, 6,   14,  17,  "",                                 nullptr,          11,        0,              kGroupBox3},
    {K::kGroupBox,    kRadioGroup1,    kGroupBox3,   8,   16,  65,  65,  " Position ",                       kPositionHint,    0},
    {K::kRadioButton, kRadioItem0 + 0, kRadioGroup1, 8,   15,  18,  15,  "",                                 nullptr,          0},
    {K::kRadioButton, kRadioItem0 + 1, kRadioGroup1, 8,   30,  18,  15,  "",                                 nullptr,          1},
    {K::kRadioButton, kRadioItem0 + 2, kRadioGroup1, 8,   45,  18,  15,  "",                                 nullptr,          2},
    {K::kRadioButton, kRadioItem0 + 3, kRadioGroup1, 26,  15,  18,  15,  "",                                 nullptr,          3},
    {K::kRadioButton, kRadioItem0 + 4, kRadioGroup1, 26,  30,  18,  15,  "",                                 nullptr,          4},
    {K::kRadioButton, kRadioItem0 + 5, kRadioGroup1, 26,  45,  18,  15,  "",                                 nullptr,          5},
    {K::kRadioButton, kRadioItem0 + 6, kRadioGroup1, 44,  15,  18,  15,  "",                                 nullptr,          6},
    {K::kRadioButton, kRadioItem0 + 7, kRadioGroup1, 44,  30,  18,  15,  "",                                 nullptr,          7},
    {K::kRadioButton, kRadioItem0 + 8, kRadioGroup1, 44,  45,  18,  15,  "",                                 nullptr,          8},
    {K::kGroupBox,    kGroupBox5,      kGroupBox3,   80,  16,  113, 45,  " DisplayingTime ",                 kTimeHint,        1},
    {K::kEdit,        kEdit1,          kGroupBox5,   8,   16,  49,  21,  "1000",                             nullptr,          0},
    {K::kLabel,       kLabel8,         kGroupBox5,   67,  18,  0,   0,   "ms",                               nullptr,          kNoTabStop},
    {K::kPushButton,  kButton2,        kGroupBox3,   8,   88,  88,  25,  "Select Color",                     kColorHint,       2},
    {K::kPushButton,  kButton3,        kGroupBox3,   105, 88,  88,  25,  "Select Font",                      kFontHint,        3},
    // about
    {K::kGroupBox,    kGroupBox6,      0,            216, 136, 201, 129, " About ",                          nullptr,          6},
    {K::kPicture,     kImage2,         kGroupBox6,   11,  16,  52,  41,  "",                                 nullptr,          kNoTabStop},
    {K::kPicture,     kImage1,         kGroupBox6,   72,  16,  120, 40,  "",                                 nullptr,          kNoTabStop},
    {K::kLabel,       kLabel7,         kGroupBox6,   11,  68,  0,   0,   "Version:",                         nullptr,          kNoTabStop},
    {K::kLabel,       kLabel9,         kGroupBox6,   72,  68,  0,   0,   "1.0 beta 3",                       nullptr,          kNoTabStop},
    {K::kLabel,       kLabel10,        kGroupBox6,   11,  88,  0,   0,   "Written by the Kelvo-plugin team", nullptr,          kNoTabStop},
    {K::kLabel,       kLabel11,        kGroupBox6,   11,  104, 0,   0,   "Free to use, share and improve",   nullptr,          kNoTabStop},
    // playback; the first box 24 high, not 25, so that it ends where the second begins
    {K::kCheckBox,    kCheckBox2,      0,            424, 16,  169, 24,  "Start playing on WinAMP start",    kPlayOnStartHint, 8},
    {K::kCheckBox,    kCheckBox1,      0,            424, 40,  161, 25,  "Remember last track position",     kRememberHint,    7},
    // transparency
    {K::kGroupBox,    kGroupBox1,      0,            8,   285, 304, 121, "       Transparency  Active  ",    kActiveHint,      1,         kStartDisabled},
    {K::kCheckBox,    kCheckBox3,      0,            20,  283, 14,  17,  "",                                 nullptr,          9,         0,              kGroupBox1},
    {K::kLabel,       kLabel1,         kGroupBox1,   8,   24,  0,   0,   "WinAMP",                           nullptr,          kNoTabStop},
    {K::kLabel,       kLabel2,         kGroupBox1,   8,   56,  0,   0,   "Playlist",                         nullptr,          kNoTabStop},
    {K::kLabel,       kLabel3,         kGroupBox1,   8,   88,  0,   0,   "Equalizer",                        nullptr,          kNoTabStop},
    {K::kSlider,      kTrackBar1,      kGroupBox1,   56,  24,  241, 25,  "",                                 nullptr,          0},
    {K::kSlider,      kTrackBar2,      kGroupBox1,   56,  56,  241, 25,  "",                                 nullptr,          1},
    {K::kSlider,      kTrackBar3,      kGroupBox1,   56,  88,  241, 25,  "",                                 nullptr,          2},
    {K::kGroupBox,    kGroupBox2,      0,            320, 285, 304, 121, "       Transparency Inactive   ",  kInactiveHint,    2,         kStartDisabled},
    {K::kCheckBox,    kCheckBox4,      0,            332, 283, 14,  17,  "",                                 nullptr,          10,        0,              kGroupBox2},
    {K::kLabel,       kLabel4,         kGroupBox2,   8,   24,  0,   0,   "WinAMP",                           nullptr,          kNoTabStop},
    {K::kLabel,       kLabel5,         kGroupBox2,   8,   56,  0,   0,   "Playlist",                         nullptr,          kNoTabStop},
    {K::kLabel,       kLabel6,         kGroupBox2,   8,   88,  0,   0,   "Equalizer",                        nullptr,          kNoTabStop},
    {K::kSlider,      kTrackBar4,      kGroupBox2,   56,  24,  241, 25,  "",                                 nullptr,          0},
    {K::kSlider,      kTrackBar5,      kGroupBox2,   56,  56,  241, 25,  "",                                 nullptr,          1},
    {K::kSlider,      kTrackBar6,      kGroupBox2,   56,  88,  241, 25,  "",                                 nullptr,          2},
    // bottom line
    {K::kPushButton,  kButton1,        0,            8,   426, 75,  25,  "Exit",                             nullptr,          0},
    {K::kLabel,       kLabel12,        0,            392, 423, 0,   0,   "https://kelvo.example.org",        nullptr,          kNoTabStop},
};
// clang-format on

constexpr char kCaption[] = "\"Kelvo-plugin\" configuration";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 632;
constexpr int kClientHeight = 456;
constexpr int kLeft = -3;
constexpr int kTop = -2;
constexpr char kErrorCaption[] = "gen_klv";

// A check mark the user changed, applied once the list has finished its own
// handling of the click; and the dialog's release after "Exit" or the close box.
constexpr UINT kMsgApplyCheckMarks = WM_APP + 1;
constexpr UINT kMsgRelease = WM_APP + 2;

// The open dialog; and dialogs already closed whose handlers are still on the
// stack (a message box of theirs pumps messages), freed as each returns.
std::unique_ptr<TForm1> gForm1;
std::vector<std::unique_ptr<TForm1>> gClosedForms;
HHOOK gDialogKeysHook = nullptr;

// Slider tags 1..6: main, playlist, equalizer; active levels first.
constexpr int kTrackBars[] = {kTrackBar1, kTrackBar2, kTrackBar3, kTrackBar4, kTrackBar5, kTrackBar6};
int TagOf(int trackBarId) {
  for (size_t i = 0; i < std::size(kTrackBars); ++i)
    if (kTrackBars[i] == trackBarId) return static_cast<int>(i) + 1;
  return 0;
}

// The host's loop does not know our window, so keyboard navigation (Tab,
// arrows, Space) is given to IsDialogMessage here, on the way out of the queue.
LRESULT CALLBACK DialogKeysHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    TForm1* form = TForm1::Current();
    HWND dialog = form != nullptr ? form->Window() : nullptr;
    if (dialog != nullptr && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        (msg->hwnd == dialog || IsChild(dialog, msg->hwnd)) && IsDialogMessageA(dialog, msg)) {
      msg->message = WM_NULL;
      msg->wParam = 0;
      msg->lParam = 0;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Whole numbers as the settings file reads them. ParseIniInteger answers its
// fallback for text it cannot read, so two fallbacks tell failure apart.
bool ParseWholeNumber(const std::string& text, int32_t& value) {
  const int32_t first = klv::ParseIniInteger(text, 0);
  if (first != klv::ParseIniInteger(text, 1)) return false;
  value = first;
  return true;
}

}  // namespace

TForm1* TForm1::Current() {
  // A dialog whose window went inside one of its handlers is no longer current.
  return gForm1 && gForm1->window_ != nullptr ? gForm1.get() : nullptr;
}

TForm1::TForm1() {
  WNDCLASSEXA cls{};
  cls.cbSize = sizeof(cls);
  cls.lpfnWndProc = FormWindowProc<TForm1, AnsiWindowCalls>;
  cls.hInstance = ThisModule();
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kClassName;
  RegisterClassExA(&cls);

  const RECT rect = FormWindowRect(kLeft, kTop, kClientWidth, kClientHeight, kStyle, kExStyle);
  CreateWindowExA(kExStyle, kClassName, kCaption, kStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, nullptr, nullptr, ThisModule(), this);
  if (window_ != nullptr && gDialogKeysHook == nullptr)
    gDialogKeysHook = SetWindowsHookExA(WH_GETMESSAGE, DialogKeysHook, nullptr, GetCurrentThreadId());
}

TForm1::~TForm1() {
  // A closed dialog freed after a newer one opened leaves it the hook.
  if (gDialogKeysHook != nullptr && Current() == nullptr) {
    UnhookWindowsHookEx(gDialogKeysHook);
    gDialogKeysHook = nullptr;
  }
  if (window_ != nullptr) DestroyWindow(window_);
  // A library that is unloaded must not leave its class behind.
  UnregisterClassA(kClassName, ThisModule());
}

void TForm1::CreateControls() {
  InitCommonControls();
  layout_.Build(window_, kForm1Controls, std::size(kForm1Controls));

  hotkeyList_.Attach(layout_.Control(kCheckListBox1), layout_.Scale(13));
  for (const klv::HotkeyAction& action : klv::kHotkeyActions) hotkeyList_.AddRow(action.caption);

  for (int id : kTrackBars) {
    HWND slider = layout_.Control(id);
    SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendMessageA(slider, TBM_SETPAGESIZE, 0, 10);
    SendMessageA(slider, TBM_SETTICFREQ, 2, 0);
    SendMessageA(slider, TBM_SETTHUMBLENGTH, layout_.Scale(10), 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, 100);
  }
  sliderShown_.fill(100);

  // Drawn at the size the form gives them, so they grow with the DPI and keep their aspect.
  logo_.Reset(LoadJpegResource(KLV_IDR_ABOUT_LOGO, layout_.Size(kImage1)));
  icon_.Reset(LoadJpegResource(KLV_IDR_ABOUT_ICON, layout_.Size(kImage2)));
  SendMessageA(layout_.Control(kImage1), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.Get()));
  SendMessageA(layout_.Control(kImage2), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(icon_.Get()));
}

LRESULT TForm1::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgRelease) {
    Close(this);  // freed now, or once its open handlers return
    return 0;
  }
  const InUse use(*this);
  ScopedVisualStyles styles;
  return HandleMessage(message, wParam, lParam);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_HSCROLL:
      if (lParam != 0) TrackBarChange(layout_.IdOf(reinterpret_cast<HWND>(lParam)));
      return 0;
    case kMsgApplyCheckMarks:
      if (!checkMarksPending_) return 0;  // applied already, ahead of a double click
      checkMarksPending_ = false;
      CheckListBox1ClickCheck();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == layout_.Control(kLabel12)) {
        // The web address reads as a link.
        DefWindowProcA(window_, message, wParam, lParam);
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 192));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      return DefWindowProcA(window_, message, wParam, lParam);
    case WM_CLOSE:
      // Changes stay in memory; only "Exit" writes the file.
      ScheduleRelease();
      return 0;
    case WM_ACTIVATE:
      KeepFocusAcrossActivation(window_, wParam, lastFocus_);
      return 0;
    case DM_GETDEFID:
      return FocusedDefaultButton(window_);
    case WM_NEXTDLGCTL:
      MoveDialogFocus(window_, wParam, lParam);
      return 0;
    default:
      return DefWindowProcA(window_, message, wParam, lParam);
  }
}

void TForm1::OnCommand(int id, int code) {
  if (code == EN_CHANGE && id == kEdit1) {
    if (!filling_) Edit1Change();
    return;
  }
  if (id == IDCANCEL) {
    // Esc, as IsDialogMessage reports it: the close box's way out.
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return;
  }
  if (code != BN_CLICKED) return;
  if (id >= kRadioItem0 && id <= kRadioItem8) {
    RadioGroup1Click(id - kRadioItem0);
    return;
  }
  switch (id) {
    case kCheckBox6:
      CheckBox6Click();
      break;
    case kCheckBox5:
      CheckBox5Click();
      break;
    case kButton2:
      Button2Click();
      break;
    case kButton3:
      Button3Click();
      break;
    case kCheckBox3:
      CheckBox3Click();
      break;
    case kCheckBox4:
      CheckBox4Click();
      break;
    case kCheckBox2:
      CheckBox2Click();
      break;
    case kCheckBox1:
      CheckBox1Click();
      break;
    case kButton1:
      Button1Click();
      break;
    default:
      break;
  }
}

void TForm1::OnNotify(const NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(kCheckListBox1)) return;
  if (header.code == LVN_ITEMCHANGED) {
    if (hotkeyList_.IsUserCheckChange(reinterpret_cast<const NMLISTVIEW&>(header)) && !checkMarksPending_) {
      checkMarksPending_ = true;
      PostMessageA(window_, kMsgApplyCheckMarks, 0, 0);
    }
  } else if (header.code == NM_DBLCLK) {
    // A double click on a check box has marked it already: apply that first,
    // so the two never run nested inside each other's dialog.
    if (checkMarksPending_) {
      checkMarksPending_ = false;
      CheckListBox1ClickCheck();
    }
    CheckListBox1DblClick();
  }
}

bool TForm1::Checked(int id) const {
  return SendMessageA(layout_.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm1::SetChecked(int id, bool checked) {
  SendMessageA(layout_.Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm1::ShowOsdPosition(int position) {
  for (int i = 0; i <= kRadioItem8 - kRadioItem0; ++i) {
    HWND item = layout_.Control(kRadioItem0 + i);
    SendMessageA(item, BM_SETCHECK, i == position ? BST_CHECKED : BST_UNCHECKED, 0);
    // Tab enters the group at the checked item (the first one when none is).
    const bool tabStop = i == position || ((position < 0 || position > 8) && i == 0);
    LONG_PTR style = GetWindowLongPtrA(item, GWL_STYLE);
    style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrA(item, GWL_STYLE, style);
  }
}

void TForm1::FillHotkeyMarks() {
  for (int row = 0; row < klv::kHotkeyCount; ++row) SetHotkeyMark(row, HotkeyEntry(row + 1).packed != 0);
}

void TForm1::FormShow() {
  filling_ = true;
  // Sliders show the levels; nothing is stored back (a level changes only when
  // the user moves its slider).
  for (int i = 0; i < klv::kAlphaLevelCount; ++i) {
    sliderShown_[i] = klv::AlphaToPercent(gSettings.alphaLevels[i]);
    SendMessageA(layout_.Control(kTrackBars[i]), TBM_SETPOS, TRUE, sliderShown_[i]);
  }

  // Registration first, so that a combination refused now shows unchecked.
  const bool hotkeys = gSettings.hotkeysEnabled;
  if (hotkeys) ReregisterAllHotkeys(true);
  // Closed while a refusal's box was up: its controls are gone.
  if (window_ == nullptr) return;
  FillHotkeyMarks();

  ShowOsdPosition(gSettings.osdPosition);
  SetWindowTextA(layout_.Control(kEdit1), std::to_string(gSettings.osdDisplayTime).c_str());

  SetChecked(kCheckBox1, gSettings.rememberPosition);
  SetChecked(kCheckBox2, gSettings.playOnStart);
  SetChecked(kCheckBox6, hotkeys);
  layout_.SetEnabled(kCheckListBox1, hotkeys);
  layout_.SetEnabled(kGroupBox4, hotkeys);

  // Each group switched on applies transparency, as its box's click would.
  SetChecked(kCheckBox3, gSettings.activeEnabled);
  layout_.SetEnabled(kGroupBox1, gSettings.activeEnabled);
  if (gSettings.activeEnabled) ApplyTransparency();
  SetChecked(kCheckBox4, gSettings.inactiveEnabled);
  layout_.SetEnabled(kGroupBox2, gSettings.inactiveEnabled);
  if (gSettings.inactiveEnabled) ApplyTransparency();

  layout_.SetEnabled(kLabel8, gSettings.osdEnabled);
  SetChecked(kCheckBox5, gSettings.osdEnabled);
  layout_.SetEnabled(kGroupBox3, gSettings.osdEnabled);
  layout_.SetEnabled(kButton2, gSettings.osdEnabled);
  layout_.SetEnabled(kButton3, gSettings.osdEnabled);
  filling_ = false;
}

void TForm1::CheckBox6Click() {
  const bool enabled = Checked(kCheckBox6);
  layout_.SetEnabled(kGroupBox4, enabled);
  layout_.SetEnabled(kCheckListBox1, enabled);
  ReregisterAllHotkeys(enabled);
  // A combination refused just now loses its mark (unless a box's wait closed the dialog).
  if (window_ != nullptr) FillHotkeyMarks();
}

void TForm1::CheckListBox1ClickCheck() { ApplyListCheckMarks(); }

void TForm1::CheckListBox1DblClick() { EditSelectedHotkeys(); }

void TForm1::CheckBox5Click() {
  const bool enabled = Checked(kCheckBox5);
  gSettings.osdEnabled = enabled;
  layout_.SetEnabled(kGroupBox3, enabled);
  layout_.SetEnabled(kButton2, enabled);
  layout_.SetEnabled(kButton3, enabled);
  layout_.SetEnabled(kLabel8, enabled);
}

void TForm1::RadioGroup1Click(int item) {
  // Keyboard focus can arrive at an item before it is checked; check it here.
  ShowOsdPosition(item);
  gSettings.osdPosition = static_cast<uint8_t>(item);
}

void TForm1::Edit1Change() {
  const std::string text = WindowText(layout_.Control(kEdit1));
  int32_t value = 0;
  if (!ParseWholeNumber(text, value)) {
    const std::string message = "'" + text + "' is not a valid integer value.";
    MessageBoxA(window_, message.c_str(), kErrorCaption, MB_OK | MB_ICONERROR);
    return;
  }
  gSettings.osdDisplayTime = value;
}

void TForm1::Button2Click() { ChooseOsdColor(window_); }

void TForm1::Button3Click() { ChooseOsdFont(window_); }

void TForm1::CheckBox3Click() {
  gSettings.activeEnabled = Checked(kCheckBox3);
  layout_.SetEnabled(kGroupBox1, gSettings.activeEnabled);
  ApplyTransparency();
}

void TForm1::CheckBox4Click() {
  gSettings.inactiveEnabled = Checked(kCheckBox4);
  layout_.SetEnabled(kGroupBox2, gSettings.inactiveEnabled);
  ApplyTransparency();
}

void TForm1::TrackBarChange(int id) {
  const int tag = TagOf(id);
  if (tag == 0) return;
  const int position = static_cast<int>(SendMessageA(layout_.Control(id), TBM_GETPOS, 0, 0));
  // A click that leaves the thumb where it was changes no level.
  if (position == sliderShown_[tag - 1]) return;
  sliderShown_[tag - 1] = position;
  SetAlphaFromPercent(tag, position);
}

void TForm1::CheckBox2Click() { gSettings.playOnStart = Checked(kCheckBox2); }

void TForm1::CheckBox1Click() { gSettings.rememberPosition = Checked(kCheckBox1); }

void TForm1::ScheduleRelease() {
  ShowWindow(window_, SW_HIDE);
  closing_ = true;
  PostMessageA(window_, kMsgRelease, 0, 0);
}

void TForm1::Button1Click() {
  ScheduleRelease();
  if (!SaveSettings()) {
    // No owner: the dialog goes away while the box is open.
    const std::string message = SettingsWriteErrorText() + ".";
    MessageBoxA(nullptr, message.c_str(), kErrorCaption, MB_OK | MB_ICONERROR);
  }
}

TForm1::InUse::~InUse() {
  if (--form_.depth_ == 0 && form_.window_ == nullptr) Free(&form_);
}

void TForm1::Close(TForm1* form) {
  if (form->depth_ == 0) {
    Free(form);
  } else if (form->window_ != nullptr) {
    DestroyWindow(form->window_);
  }
}

void TForm1::Free(TForm1* form) {
  if (gForm1.get() == form) {
    gForm1.reset();
    return;
  }
  auto closed = std::find_if(gClosedForms.begin(), gClosedForms.end(),
                             [form](const std::unique_ptr<TForm1>& f) { return f.get() == form; });
  if (closed == gClosedForms.end()) return;  // failed while being created: never owned
  const std::unique_ptr<TForm1> doomed = std::move(*closed);
  gClosedForms.erase(closed);
}

void TForm1::RetireCurrent() {
  if (gForm1->depth_ > 0) {
    gClosedForms.push_back(std::move(gForm1));
  } else {
    gForm1.reset();
  }
}

void OpenConfigDialog() {
  // On its way out (its release still queued behind a message box): not shown again.
  if (gForm1 && gForm1->closing_) TForm1::Close(gForm1.get());
  // Closed inside one of its handlers, or destroyed from outside.
  if (gForm1 && gForm1->Window() == nullptr) TForm1::RetireCurrent();
  if (gForm1) {
    HWND window = gForm1->Window();
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    ShowWindow(window, SW_SHOW);
    // The assignment dialog, when one is open, is what the user must finish first.
    SetForegroundWindow(GetLastActivePopup(window));
    return;
  }
  ScopedVisualStyles styles;
  auto form = std::make_unique<TForm1>();
  if (form->Window() == nullptr) return;
  gForm1 = std::move(form);
  TForm1& current = *gForm1;
  const TForm1::InUse use(current);
  current.FormShow();
  if (current.Window() == nullptr) return;  // closed while an error box was open
  ShowWindow(current.Window(), SW_SHOW);
  SetForegroundWindow(current.Window());
  SetFocus(GetNextDlgTabItem(current.Window(), nullptr, FALSE));
}

void CloseConfigDialog() {
  if (gForm1) TForm1::Close(gForm1.get());
}

HWND ConfigDialogWindow() { return gForm1 ? gForm1->Window() : nullptr; }
