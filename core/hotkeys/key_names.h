// The 112 key names of the hotkey assignment dialog and their virtual-key codes.
#pragma once

#include <string>
#include <string_view>

namespace klv {

struct KeyName {
  const char* name;
  int code;
};

constexpr int kKeyNameCount = 112;
// In the order of the dialog's key box.
extern const KeyName KeyNameTable[kKeyNameCount];

// The empty text for a code not in the table.
std::string KeyCodeToName(int code);
// Exact, case-sensitive match; lone lower-case letters are accepted too. 0 otherwise.
int KeyNameToCode(std::string_view name);

}  // namespace klv
