// Requests and commands to the host main window, sent synchronously.
#include "plugin/host/host.h"

#include "core/host_codes.h"
#include "core/utf16_text.h"
#include "plugin/plugin_state.h"
#include "win32/text_encoding.h"

HWND FindHostWindow(const char* className) {
  DWORD hostProcess = 0;
  if (HostMainWindow() != nullptr) GetWindowThreadProcessId(HostMainWindow(), &hostProcess);
  // A second player may run beside ours, its windows found first by class
  // alone: we could neither hook them nor may we change them.
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, className, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (hostProcess == 0 || process == hostProcess) return window;
  }
  return nullptr;
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
