#include "testkit/test_kit.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "testkit/test_host.h"

// ---- Reading windows back ----

std::string WindowTextOf(HWND window) {
  std::string text(GetWindowTextLengthA(window) + 1, '\0');
  text.resize(GetWindowTextA(window, text.data(), static_cast<int>(text.size())));
  return text;
}

std::wstring WideWindowTextOf(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
  return text;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

Picture PrintWindowPicture(HWND window, LPARAM flags) {
  Picture picture;
  const RECT bounds = WindowRect(window);
  picture.width = bounds.right - bounds.left;
  picture.height = bounds.bottom - bounds.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  // Mark every pixel, so that one the window leaves alone shows up.
  RECT all{0, 0, picture.width, picture.height};
  HBRUSH marker = CreateSolidBrush(RGB(1, 2, 3));
  FillRect(dc, &all, marker);
  DeleteObject(marker);
  SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
  GdiFlush();
  const auto* raw = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < picture.width * picture.height; ++i) {
    const uint32_t bgra = raw[i];
    picture.pixels.push_back(RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF));
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return picture;
}

// ---- The plug-in's windows ----

HWND FindOsdWindow() { return FindWindowA("KelvoOsdWindow", nullptr); }

HWND FindConfigDialog() { return FindWindowA("TForm1", nullptr); }

int AlphaOf(HWND window) {
  if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0) return -1;
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags) || (flags & LWA_ALPHA) == 0) return -1;
  return alpha;
}

WNDPROC WindowProcedure(HWND window) {
  return reinterpret_cast<WNDPROC>(
      (IsWindowUnicode(window) ? GetWindowLongPtrW : GetWindowLongPtrA)(window, GWLP_WNDPROC));
}

bool RowMarked(HWND list, int row) {
  return (SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) ==
         INDEXTOSTATEIMAGEMASK(2);
}

std::string RowText(HWND list, int row) {
  char text[128] = {};
  LVITEMA item{};
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

namespace {

bool IsOwnWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountWithChildren(HWND window, LPARAM count) {
  if (!IsOwnWindow(window)) return TRUE;
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, CountChild, count);
  return TRUE;
}

}  // namespace

HWND FindVisibleDialog() {
  const std::vector<HWND> dialogs = ProcessWindows(GetCurrentProcessId(), L"#32770", true);
  return dialogs.empty() ? nullptr : dialogs.front();
}

int CountOwnWindows() {
  int count = 0;
  EnumWindows(CountWithChildren, reinterpret_cast<LPARAM>(&count));
  // EnumWindows leaves out message-only windows.
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
       window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
    CountWithChildren(window, reinterpret_cast<LPARAM>(&count));
  }
  return count;
}

int CountVisibleWindows(const wchar_t* className) {
  return static_cast<int>(ProcessWindows(GetCurrentProcessId(), className, true).size());
}

namespace {

struct WindowSearch {
  DWORD process;
  const wchar_t* className;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindows(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (process == search->process && lstrcmpW(name, search->className) == 0 &&
      (!search->visibleOnly || IsWindowVisible(window))) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD process, const wchar_t* className, bool visibleOnly) {
  WindowSearch search{process, className, visibleOnly, {}};
  EnumWindows(CollectProcessWindows, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> VisibleMessageBoxes() {
  std::vector<HWND> boxes;
  // A message box is a #32770 dialog whose text is the static with id 0xFFFF.
  for (HWND dialog : ProcessWindows(GetCurrentProcessId(), L"#32770", true))
    if (GetDlgItem(dialog, 0xFFFF) != nullptr) boxes.push_back(dialog);
  return boxes;
}

HWND CreateTestWindow(const char* className, WNDPROC procedure, DWORD style, RECT place, HWND parent) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  return CreateWindowExA(0, className, className, style, place.left, place.top, place.right - place.left,
                         place.bottom - place.top, parent, nullptr, windowClass.hInstance, nullptr);
}

WNDPROC LaterSubclass::saved_ = nullptr;
bool LaterSubclass::wide_ = false;
int LaterSubclass::calls_ = 0;
std::function<void(UINT)> LaterSubclass::onMessage_;

LaterSubclass::LaterSubclass(HWND window, std::function<void(UINT)> onMessage) : window_(window) {
  calls_ = 0;
  onMessage_ = std::move(onMessage);
  wide_ = IsWindowUnicode(window) != FALSE;
  saved_ = reinterpret_cast<WNDPROC>((wide_ ? SetWindowLongPtrW : SetWindowLongPtrA)(
      window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterSubclass::PassOn)));
}

LaterSubclass::~LaterSubclass() {
  onMessage_ = nullptr;
  (wide_ ? SetWindowLongPtrW : SetWindowLongPtrA)(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved_));
}

LRESULT CALLBACK LaterSubclass::PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  ++calls_;
  if (onMessage_) onMessage_(message);
  return (wide_ ? CallWindowProcW : CallWindowProcA)(saved_, window, message, wParam, lParam);
}

// ---- Hotkeys ----

bool IsFree(klv::PackedHotkey packed, HWND probe) {
  constexpr int kProbeId = 0xBEEF;
  if (!RegisterHotKey(probe, kProbeId, klv::HotkeyModifiers(packed), klv::HotkeyKeyCode(packed)))
    return false;
  UnregisterHotKey(probe, kProbeId);
  return true;
}

INPUT KeyInput(WORD key, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = flags;
  return input;
}

bool PressKeys(klv::PackedHotkey packed) {
  std::vector<WORD> keys;
  const uint16_t modifiers = klv::HotkeyModifiers(packed);
  if (modifiers & klv::kModCtrl) keys.push_back(VK_CONTROL);
  if (modifiers & klv::kModAlt) keys.push_back(VK_MENU);
  if (modifiers & klv::kModShift) keys.push_back(VK_SHIFT);
  if (modifiers & klv::kModWin) keys.push_back(VK_LWIN);
  keys.push_back(klv::HotkeyKeyCode(packed));
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(KeyInput(key));
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) inputs.push_back(KeyInput(*key, KEYEVENTF_KEYUP));
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

OtherParty::OtherParty() {
  window_ = CreateTestWindow("KlvOtherParty", DefWindowProcA, WS_POPUP, RECT{0, 0, 10, 10});
}

OtherParty::~OtherParty() {
  for (int id : held_) UnregisterHotKey(window_, id);
  DestroyWindow(window_);
}

bool OtherParty::Hold(klv::PackedHotkey packed) {
  const int id = 100 + static_cast<int>(held_.size());
  if (!RegisterHotKey(window_, id, klv::HotkeyModifiers(packed), klv::HotkeyKeyCode(packed))) return false;
  held_.push_back(id);
  return true;
}

const klv::PackedHotkey MarkerKey::kCombination = klv::PackHotkey(VK_F11, false, true, true, false);

namespace {

constexpr char kMarkerClass[] = "KlvTestMarker";
constexpr int kMarkerId = 0x7E57;

}  // namespace

MarkerKey::MarkerKey() {
  window_ = CreateTestWindow(kMarkerClass, Procedure, WS_POPUP, RECT{0, 0, 1, 1});
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  registered_ = RegisterHotKey(window_, kMarkerId, klv::HotkeyModifiers(kCombination),
                               klv::HotkeyKeyCode(kCombination)) != FALSE;
}

MarkerKey::~MarkerKey() {
  if (registered_) UnregisterHotKey(window_, kMarkerId);
  DestroyWindow(window_);
}

LRESULT CALLBACK MarkerKey::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_HOTKEY && wParam == kMarkerId) {
    if (auto* self = reinterpret_cast<MarkerKey*>(GetWindowLongPtrA(window, GWLP_USERDATA))) ++self->arrived_;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool MarkerKey::PressAndWait(DWORD timeoutMs) {
  if (!registered_) return false;
  const int before = arrived_;
  // A window of another process that takes the focus meanwhile (a player just
  // started) makes Wine resync its key state with the X server's, which
  // releases modifiers pressed through SendInput: the marker then arrives as
  // a plain F11. Pressed again until it arrives or the time is up.
  constexpr DWORD kRetryMs = 1000;
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; elapsed < timeoutMs; elapsed = GetTickCount() - start) {
    PressKeys(kCombination);
    if (WaitUntil([&] { return arrived_ > before; }, std::min(kRetryMs, timeoutMs - elapsed))) return true;
  }
  return arrived_ > before;
}

// ---- Waiting ----

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return done();
    // Wakes at once for input or a posted message, else looks again soon.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

namespace {

constexpr char kFlushClass[] = "KlvTestFlush";
int gFlushesSeen = 0;

LRESULT CALLBACK FlushProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_APP) {
    ++gFlushesSeen;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void FlushPostedMessages() {
  // A window of its own for each flush, so that window counts around it stay the same.
  HWND window = CreateTestWindow(kFlushClass, FlushProcedure, 0, RECT{}, HWND_MESSAGE);
  const int before = gFlushesSeen;
  PostMessageA(window, WM_APP, 0, 0);
  WaitUntil([&] { return gFlushesSeen > before; });
  DestroyWindow(window);
}

// ---- Files ----

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

bool WriteWholeFile(const std::string& path, const std::string& content) {
  return static_cast<bool>(std::ofstream(path, std::ios::binary)
                               .write(content.data(), static_cast<std::streamsize>(content.size())));
}

// ---- Files of the build ----

void EndWithTheTest(HANDLE process) {
  // One job for the process's life; its last handle closes with the process.
  static const HANDLE job = [] {
    HANDLE created = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    return created;
  }();
  if (job != nullptr) AssignProcessToJobObject(job, process);
}

std::string EnvPath(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string PluginDllPath() {
  const std::string path = EnvPath("KLV_DLL");
  return path.empty() ? "gen_klv.dll" : path;
}

std::string IniBesideTheDll() {
  const std::string dll = PluginDllPath();
  return dll.substr(0, dll.find_last_of("\\/") + 1) + "gen_klv.ini";
}
