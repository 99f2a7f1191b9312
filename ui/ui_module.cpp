#include "ui/ui_module.h"

#include "win32/this_module.h"
#include "win32/win_handles.h"

namespace {

// The manifest resource id a DLL uses for its own isolation (ISOLATIONAWARE).
constexpr WORD kManifestResourceId = 2;
constexpr WORD kManifestResourceType = 24;  // RT_MANIFEST

// Created on first use and kept for the library's life; null when absent.
UniqueActCtx gVisualStyles;
bool gVisualStylesTried = false;

HANDLE VisualStylesContext() {
  UniqueActCtx& context = gVisualStyles;
  if (!gVisualStylesTried) {
    gVisualStylesTried = true;
    HINSTANCE module = ThisModule();
    if (FindResourceA(module, MAKEINTRESOURCEA(kManifestResourceId),
                      MAKEINTRESOURCEA(kManifestResourceType)) != nullptr) {
      ACTCTXA actCtx{};
      actCtx.cbSize = sizeof(actCtx);
      actCtx.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
      actCtx.hModule = module;
      actCtx.lpResourceName = MAKEINTRESOURCEA(kManifestResourceId);
      HANDLE handle = CreateActCtxA(&actCtx);
      if (handle != INVALID_HANDLE_VALUE) context.Reset(handle);
    }
  }
  return context.Get();
}

}  // namespace

ScopedVisualStyles::ScopedVisualStyles() {
  HANDLE context = VisualStylesContext();
  if (context != nullptr) active_ = ActivateActCtx(context, &cookie_) != FALSE;
}

ScopedVisualStyles::~ScopedVisualStyles() {
  if (active_) DeactivateActCtx(0, cookie_);
}
