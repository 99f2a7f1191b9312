// Plays the user and the host while a modal loop (a message box, a dialog, a
// common colour or font dialog) runs on this thread: a thread timer ticks in
// whatever loop runs, so a step can act on that loop's window or call back
// into the plug-in from inside it, exactly as a host does when its window gets
// a message there. The one driver of modal loops of the Wine suites.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class ModalScript {
 public:
  struct Step {
    std::function<HWND()> awaited;  // the window the step waits for; null while absent
    std::function<void(HWND)> act;  // runs once, with that window
  };
  // What becomes of a message box once every step has run.
  enum class LaterBoxes { kClose, kLeave };

  // Steps run in order, each at the first tick that finds its window; watch,
  // when given, runs at every tick before them. Once all steps have run, every
  // message box that shows is closed at once (kClose) or left to the test.
  explicit ModalScript(std::vector<Step> steps, LaterBoxes laterBoxes = LaterBoxes::kClose,
                       std::function<void()> watch = {});
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  size_t StepsDone() const { return done_; }
  bool AllDone() const { return done_ == steps_.size(); }
  // Texts of the message boxes seen, by a step or afterwards, in order.
  const std::vector<std::string>& BoxTexts() const { return boxTexts_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) noexcept;
  void OnTick();
  void Note(HWND box);

  std::vector<Step> steps_;
  LaterBoxes laterBoxes_;
  std::function<void()> watch_;
  size_t done_ = 0;
  bool busy_ = false;
  UINT_PTR timer_ = 0;
  std::vector<HWND> boxesSeen_;
  std::vector<std::string> boxTexts_;
};

// A visible message box of this process (a #32770 dialog with a text static).
HWND FindMessageBox();
// A visible top-level window of this process with that class.
HWND FindVisibleWindow(const wchar_t* className);
// Answers a message box with OK, as the user's click would.
void CloseMessageBox(HWND box);

// Steps for the common cases.
ModalScript::Step WhenMessageBox(std::function<void(HWND)> act);
// Runs act while the box is up, then closes it.
ModalScript::Step WhileMessageBoxIsUp(std::function<void()> act);
// Runs act on the first visible dialog (#32770) of this process, such as the
// colour or font picker.
ModalScript::Step WhenDialog(std::function<void(HWND)> act);
