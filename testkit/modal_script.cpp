#include "testkit/modal_script.h"

#include <algorithm>
#include <utility>

#include "testkit/test_kit.h"

namespace {

// Scripts alive now, found by their timer: one may run inside another's step.
std::vector<ModalScript*> gScripts;

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

ModalScript::Step WhenDialog(std::function<void(HWND)> act) { return {FindVisibleDialog, std::move(act)}; }

ModalScript::ModalScript(std::vector<Step> steps, LaterBoxes laterBoxes, std::function<void()> watch)
    : steps_(std::move(steps)), laterBoxes_(laterBoxes), watch_(std::move(watch)) {
  timer_ = SetTimer(nullptr, 0, 20, Tick);
  gScripts.push_back(this);
}

ModalScript::~ModalScript() {
  KillTimer(nullptr, timer_);
  gScripts.erase(std::find(gScripts.begin(), gScripts.end(), this));
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
  for (ModalScript* script : gScripts) {
    if (script->timer_ == timer) return script->OnTick();
  }
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
  if (watch_) watch_();
  HWND box = FindMessageBox();
  Note(box);
  if (done_ < steps_.size()) {
    const Step& step = steps_[done_];
    if (HWND window = step.awaited()) {
      ++done_;
      step.act(window);
    }
  } else if (box != nullptr && laterBoxes_ == LaterBoxes::kClose) {
    CloseMessageBox(box);
  }
  busy_ = false;
}
