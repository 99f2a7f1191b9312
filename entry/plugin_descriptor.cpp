// The descriptor record the host reads through the library's one export.
#include "entry/plugin_descriptor.h"

#include "core/version.h"
#include "entry/lifecycle.h"

const char kPluginDescription[] = KLV_PLUGIN_DESCRIPTION;

// Constant-initialised so that it is valid even before the loader runs DllMain.
PluginDescriptor gPlugin = {
    kPluginDescriptorVersion, kPluginDescription, &PluginInit, &PluginConfig, &PluginQuit, nullptr, nullptr};

void ResetPluginDescriptor() {
  gPlugin.version = kPluginDescriptorVersion;
  gPlugin.description = kPluginDescription;
  gPlugin.init = &PluginInit;
  gPlugin.config = &PluginConfig;
  gPlugin.quit = &PluginQuit;
  gPlugin.hwndParent = nullptr;
  gPlugin.hDllInstance = nullptr;
}
