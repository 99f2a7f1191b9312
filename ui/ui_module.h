// The visual-styles context the dialogs run under.
#pragma once

#include <windows.h>

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
