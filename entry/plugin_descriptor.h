// The one instance of the descriptor record that the library's export returns.
#pragma once

#include "win32/host/plugin_contract.h"

extern const char kPluginDescription[];

extern PluginDescriptor gPlugin;

// Fills in the version, description and three entries and clears the two
// fields the host writes, as at library load.
void ResetPluginDescriptor();
