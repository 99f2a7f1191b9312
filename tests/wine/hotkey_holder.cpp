#include "tests/wine/hotkey_holder.h"

#include <string>

#include "tests/wine/test_kit.h"

HotkeyHolder::HotkeyHolder(klv::PackedHotkey packed) {
  std::string command = "\"" + EnvPath("KLV_WINTOOL") + "\" hold-hotkey " +
                        std::to_string(klv::HotkeyModifiers(packed)) + " " +
                        std::to_string(klv::HotkeyKeyCode(packed)) + " 600000";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  // No output of its own in the test's.
  startup.dwFlags = STARTF_USESTDHANDLES;
  started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_) != FALSE;
}

HotkeyHolder::~HotkeyHolder() {
  if (!started_) return;
  if (Running()) TerminateProcess(process_.hProcess, 0);
  WaitForSingleObject(process_.hProcess, 5000);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool HotkeyHolder::Running() const {
  return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}
