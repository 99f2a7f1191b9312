#include "player/plugin_host.h"

#include <algorithm>

#include "player/message_log.h"
#include "win32/host/plugin_contract.h"

namespace player {
namespace {

bool LoadPlugin(const std::string& path, const std::string& fileName, HWND mainWindow, LoadedPlugin& loaded) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    LogEvent("cannot load %s (error %lu)", fileName.c_str(), GetLastError());
    return false;
  }
  auto getPlugin =
      reinterpret_cast<PluginExport>(reinterpret_cast<void*>(GetProcAddress(module, kPluginExportName)));
  PluginDescriptor* descriptor = getPlugin != nullptr ? getPlugin() : nullptr;
  if (descriptor == nullptr || descriptor->init == nullptr) {
    LogEvent("%s is not a general-purpose plug-in", fileName.c_str());
    FreeLibrary(module);
    return false;
  }
  descriptor->hwndParent = mainWindow;
  descriptor->hDllInstance = module;
  LogEvent("init %s (%s)", fileName.c_str(),
           descriptor->description != nullptr ? descriptor->description : "");
  int result = descriptor->init();
  LogEvent("init %s returned %d", fileName.c_str(), result);
  if (result != 0) {
    FreeLibrary(module);
    LogEvent("unloaded %s", fileName.c_str());
    return false;
  }
  loaded = LoadedPlugin{fileName, module, descriptor};
  return true;
}

}  // namespace

std::vector<LoadedPlugin> LoadPlugins(const std::string& directory, HWND mainWindow) {
  std::vector<LoadedPlugin> plugins;
  std::string pluginDirectory = directory + "\\Plugins\\";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((pluginDirectory + "gen_*.dll").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    LogEvent("no plug-ins in %s", pluginDirectory.c_str());
    return plugins;
  }
  std::vector<std::string> fileNames;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) fileNames.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  // In name order, as the player's own file system lists them, whatever
  // order the directory here keeps.
  std::sort(fileNames.begin(), fileNames.end(),
            [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
  for (const std::string& fileName : fileNames) {
    LoadedPlugin loaded{};
    if (LoadPlugin(pluginDirectory + fileName, fileName, mainWindow, loaded)) plugins.push_back(loaded);
  }
  return plugins;
}

void ConfigurePlugins(const std::vector<LoadedPlugin>& plugins) {
  if (plugins.empty()) LogEvent("no plug-in to configure");
  for (const LoadedPlugin& plugin : plugins) {
    LogEvent("config %s", plugin.fileName.c_str());
    if (plugin.descriptor->config != nullptr) plugin.descriptor->config();
  }
}

namespace {

void Quit(const LoadedPlugin& plugin) {
  LogEvent("quit %s", plugin.fileName.c_str());
  if (plugin.descriptor->quit != nullptr) plugin.descriptor->quit();
}

}  // namespace

void QuitPlugins(std::vector<LoadedPlugin>& plugins) {
  // Taken off the list first: a quit that runs a message loop must not let
  // a log-off or close quit the same plug-in again.
  std::vector<LoadedPlugin> quitting;
  quitting.swap(plugins);
  for (auto it = quitting.rbegin(); it != quitting.rend(); ++it) Quit(*it);
}

void UnloadPlugins(std::vector<LoadedPlugin>& plugins) {
  for (const LoadedPlugin& plugin : plugins) Quit(plugin);
  for (const LoadedPlugin& plugin : plugins) {
    FreeLibrary(plugin.module);
    LogEvent("freed %s", plugin.fileName.c_str());
  }
  plugins.clear();
}

}  // namespace player
