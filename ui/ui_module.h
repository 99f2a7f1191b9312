// The module the dialogs live in and the visual-styles context they run under.
#pragma once

#include <windows.h>

// The module that holds this code: the DLL in the host, the executable when
// linked statically (which carries none of the DLL's resources).
HINSTANCE UiModule();

// Activates the DLL's Common-Controls-v6 manifest for a scope. The host owns
// the process and its manifest, so the DLL brings its own. Does nothing when
// the module has no such manifest.
class ScopedVisualStyles {
 public:
  ScopedVisualStyles();
  ~ScopedVisualStyles();
  ScopedVisualStyles(const ScopedVisualStyles&) = delete;
  ScopedVisualStyles& operator=(const ScopedVisualStyles&) = delete;

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};
