// The record a general-purpose plug-in hands to the host player.
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

extern "C" __declspec(dllexport) PluginDescriptor* __cdecl winampGetGeneralPurposePlugin();
