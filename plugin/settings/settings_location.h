// Where gen_klv.ini lives: in the host's per-user folder, in the folder its
// registry value names, or beside this DLL.
#pragma once

#include <string>

// The file's full path, chosen at init. Empty only when not even this
// module's own file name is known.
std::wstring LocateSettingsFile();
