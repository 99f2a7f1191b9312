// The assignment dialog's window class and control ids: how a user's tools,
// and the tests that drive only the DLL, find the dialog and its controls.
#pragma once

namespace form2 {
enum ControlId : int {
  kAltBox = 201,
  kCtrlBox,
  kShiftBox,
  kWinBox,
  kEnableBox,
  kKeyBox,  // the key's name
  kAssignButton,
};
constexpr wchar_t kClassName[] = L"TForm2";
}  // namespace form2
