#include "testkit/hotkey_holder.h"

#include <algorithm>
#include <string>

#include "testkit/test_kit.h"

HotkeyHolder::HotkeyHolder(klv::PackedHotkey packed) {
  std::string command = "\"" + EnvPath("KLV_WINTOOL") + "\" hold-hotkey " +
                        std::to_string(klv::HotkeyModifiers(packed)) + " " +
                        std::to_string(klv::HotkeyKeyCode(packed)) + " 120000";
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  HANDLE write = nullptr;
  if (!CreatePipe(&output_, &write, &inheritable, 0)) return;
  SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &process_) != FALSE;
  CloseHandle(write);
  if (started_) EndWithTheTest(process_.hProcess);
}

HotkeyHolder::~HotkeyHolder() {
  if (output_ != nullptr) CloseHandle(output_);
  if (!started_) return;
  if (Running()) TerminateProcess(process_.hProcess, 0);
  WaitForSingleObject(process_.hProcess, 5000);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool HotkeyHolder::Running() const {
  return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool HotkeyHolder::SaidHeld() {
  DWORD available = 0;
  while (PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    char chunk[64];
    DWORD got = 0;
    if (!ReadFile(output_, chunk, std::min<DWORD>(available, sizeof(chunk)), &got, nullptr) || got == 0)
      break;
    said_.append(chunk, got);
  }
  return said_.find("held") != std::string::npos;
}

bool HotkeyHolder::WaitHeld(DWORD timeoutMs) {
  if (!started_) return false;
  return WaitUntil([this] { return SaidHeld() || !Running(); }, timeoutMs) && SaidHeld();
}
