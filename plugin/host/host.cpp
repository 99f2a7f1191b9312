// Requests and commands to the host main window, sent synchronously.
#include "plugin/host/host.h"

#include "core/host_codes.h"
#include "core/utf16_text.h"
#include "plugin/plugin_state.h"
#include "win32/text_encoding.h"

namespace {

// Whether the window is the main window or one it owns, however deep.
bool OwnedBy(HWND window, HWND main) {
  for (HWND owner = window; owner != nullptr; owner = GetWindow(owner, GW_OWNER)) {
    if (owner == main) return true;
  }
  return false;
}

}  // namespace

HWND FindHostWindow(const char* className) {
  const HWND main = HostMainWindow();
  DWORD hostProcess = 0;
  if (main != nullptr) GetWindowThreadProcessId(main, &hostProcess);
  // A second player may run beside ours, its windows found first by class
  // alone: we could neither hook them nor may we change them. Within the
  // host's process the window its main window owns is the host's; one that
  // another window owns belongs to something else; a host that owns none of
  // its windows has its first unowned one.
  HWND first = nullptr;
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, className, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (hostProcess != 0 && process != hostProcess) continue;
    if (main == nullptr || OwnedBy(window, main)) return window;
    if (first == nullptr && GetWindow(window, GW_OWNER) == nullptr) first = window;
  }
  return first;
}

intptr_t HostRequest(int code, intptr_t wParam) {
  return SendMessageA(HostMainWindow(), WM_USER, static_cast<WPARAM>(wParam), code);
}

bool HostRunsModernSkin() { return klv::IsHostAddress(HostRequest(klv::kHostSkinInfo)); }

void HostCommand(uint32_t command) { SendMessageA(HostMainWindow(), WM_COMMAND, command, 0); }

klv::OsdHost OsdTextHost() {
  return klv::OsdHost{[](int code, intptr_t wParam) { return HostRequest(code, wParam); }, AnsiToUtf8};
}

std::u16string PlayingFilePath() {
  constexpr size_t kMaxPathUnits = 32767;  // the longest path the system takes
  const intptr_t index = HostRequest(klv::kHostPlaylistIndex);
  const intptr_t wide = HostRequest(klv::kHostWideFileAt, index);
  if (klv::IsHostAddress(wide))
    return klv::ReadBoundedWideText(reinterpret_cast<const char16_t*>(wide), kMaxPathUnits);
  const intptr_t path = HostRequest(klv::kHostFileAt, index);
  if (!klv::IsHostAddress(path)) return std::u16string();
  const char* bytes = reinterpret_cast<const char*>(path);
  size_t length = 0;
  while (length < kMaxPathUnits && bytes[length] != '\0') ++length;
  return klv::Utf8ToUtf16(AnsiToUtf8(std::string_view(bytes, length)));
}
