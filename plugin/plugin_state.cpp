// The library-wide globals; they live from load to unload.
#include "plugin/plugin_state.h"

klv::Settings gSettings;
std::array<klv::keystype, klv::kHotkeyCount> gHotkeyTable;
int32_t gLastPlaybackPosition = 0;

namespace {

HWND gHostMainWindow = nullptr;

}  // namespace

HWND HostMainWindow() { return gHostMainWindow; }

void SetHostMainWindow(HWND window) { gHostMainWindow = window; }
