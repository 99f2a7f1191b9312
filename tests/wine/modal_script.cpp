#include "tests/wine/modal_script.h"

#include <algorithm>
#include <utility>

#include "tests/wine/test_kit.h"

namespace {

ModalScript* gScript = nullptr;

}  // namespace

HWND FindMessageBox() {
  const std::vector<HWND> boxes = VisibleMessageBoxes();
  return boxes.empty() ? nullptr : boxes.front();
}

HWND FindVisibleWindow(const wchar_t* className) {
  const std::vector<HWND> windows = ProcessWindows(GetCurrentProcessId(), className, true);
  return windows.empty() ? nullptr : windows.front();
}

void CloseMessageBox(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

ModalScript::Step WhenMessageBox(std::function<void(HWND)> act) { return {FindMessageBox, std::move(act)}; }

ModalScript::Step WhileMessageBoxIsUp(std::function<void()> act) {
  return WhenMessageBox([act = std::move(act)](HWND box) {
    act();
    if (IsWindow(box)) CloseMessageBox(box);
  });
}

ModalScript::ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
  gScript = this;
  timer_ = SetTimer(nullptr, 0, 20, Tick);
}

ModalScript::~ModalScript() {
  KillTimer(nullptr, timer_);
  gScript = nullptr;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
  if (gScript != nullptr) gScript->OnTick();
}

void ModalScript::Note(HWND box) {
  if (box == nullptr || std::find(boxesSeen_.begin(), boxesSeen_.end(), box) != boxesSeen_.end()) return;
  boxesSeen_.push_back(box);
  boxTexts_.push_back(WindowTextOf(GetDlgItem(box, 0xFFFF)));
}

void ModalScript::OnTick() {
  // A step may open a loop of its own, which ticks again: one step at a time.
  if (busy_) return;
  busy_ = true;
  HWND box = FindMessageBox();
  Note(box);
  if (done_ < steps_.size()) {
    const Step& step = steps_[done_];
    if (HWND window = step.awaited()) {
      ++done_;
      step.act(window);
    }
  } else if (box != nullptr) {
    CloseMessageBox(box);
  }
  busy_ = false;
}
