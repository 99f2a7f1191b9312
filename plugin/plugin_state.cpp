// The library-wide globals; they live from load to unload.
#include "plugin/plugin_state.h"

klv::Settings gSettings;
klv::HotkeyTable gHotkeyTable = klv::MakeHotkeyTable();

namespace {

HWND gHostMainWindow = nullptr;

}  // namespace

HWND HostMainWindow() { return gHostMainWindow; }

void SetHostMainWindow(HWND window) { gHostMainWindow = window; }
