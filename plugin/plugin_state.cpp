// The library-wide globals; they live from load to unload.
#include "plugin/plugin_state.h"

klv::Settings gSettings;
klv::HotkeyTable gHotkeyTable = klv::MakeHotkeyTable();
int32_t gMutedVolume = 0;

namespace {

HWND gHostMainWindow = nullptr;

}  // namespace

HWND HostMainWindow() { return gHostMainWindow; }

void SetHostMainWindow(HWND window) { gHostMainWindow = window; }
