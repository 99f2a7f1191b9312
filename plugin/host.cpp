// Requests and commands to the host main window, sent synchronously.
#include "plugin/host.h"

#include "plugin/plugin_state.h"
#include "plugin/text_encoding.h"

intptr_t HostRequest(int code, intptr_t wParam) {
  return SendMessageA(HostMainWindow(), WM_USER, static_cast<WPARAM>(wParam), code);
}

void HostCommand(uint32_t command) { SendMessageA(HostMainWindow(), WM_COMMAND, command, 0); }

klv::OsdHost OsdTextHost() {
  return klv::OsdHost{[](int code, intptr_t wParam) { return HostRequest(code, wParam); }, AnsiToUtf8};
}
