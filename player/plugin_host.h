// Loads the general-purpose plug-ins from <exe dir>\Plugins the way the host
// does: descriptor, handles, init; then config on request and quit at exit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct PluginDescriptor;

namespace player {

struct LoadedPlugin {
  std::string fileName;
  HMODULE module;
  PluginDescriptor* descriptor;
};

// Every gen_*.dll whose init returned 0; the others are unloaded without quit.
std::vector<LoadedPlugin> LoadPlugins(const std::string& directory, HWND mainWindow);
void ConfigurePlugins(const std::vector<LoadedPlugin>& plugins);
// The 5.x player's way: quit for each in reverse load order, and no
// FreeLibrary (the process is about to end); the list is empty afterwards.
void QuitPlugins(std::vector<LoadedPlugin>& plugins);
// The 2.x player's way: quit for each in load order, then FreeLibrary for
// each; the list is empty afterwards.
void UnloadPlugins(std::vector<LoadedPlugin>& plugins);

}  // namespace player
