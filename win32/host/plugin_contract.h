// The contract between the host player and a general-purpose plug-in: the
// record the plug-in hands over and the one export that returns it. Both the
// plug-in and the stand-in player include it.
#pragma once

#include <windows.h>

struct PluginDescriptor {
  int version;  // kPluginDescriptorVersion
  const char* description;
  int(__cdecl* init)();
  void(__cdecl* config)();
  void(__cdecl* quit)();
  HWND hwndParent;         // written by the host before init
  HINSTANCE hDllInstance;  // written by the host
};

constexpr int kPluginDescriptorVersion = 0x10;

// The export, which the host looks up by its name.
extern "C" PluginDescriptor* __cdecl winampGetGeneralPurposePlugin();
using PluginExport = decltype(&winampGetGeneralPurposePlugin);
constexpr char kPluginExportName[] = "winampGetGeneralPurposePlugin";
