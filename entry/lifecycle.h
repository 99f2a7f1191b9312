// The top of the library: the three entries the host calls through the
// descriptor, and what the library's unload gives back. Everything else of
// the plug-in lies below this and never includes it.
#pragma once

int __cdecl PluginInit();
void __cdecl PluginConfig();
void __cdecl PluginQuit();

// The last reference to the library is gone: whatever is still held goes.
void ReleaseAtUnload() noexcept;
