// The record a general-purpose plug-in hands to the host player, and the one
// instance of it that the library's export returns.
#pragma once

#include <windows.h>

struct PluginDescriptor {
  int version;  // 0x10
  const char* description;
  int(__cdecl* init)();
  void(__cdecl* config)();
  void(__cdecl* quit)();
  HWND hwndParent;         // written by the host before init
  HINSTANCE hDllInstance;  // written by the host
};

constexpr int kPluginDescriptorVersion = 0x10;
extern const char kPluginDescription[];

extern PluginDescriptor gPlugin;

// Fills in the version, description and three entries and clears the two
// fields the host writes, as at library load.
void ResetPluginDescriptor();

extern "C" __declspec(dllexport) PluginDescriptor* __cdecl winampGetGeneralPurposePlugin();
