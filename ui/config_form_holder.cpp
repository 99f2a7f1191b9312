#include "ui/config_form_holder.h"

#include <algorithm>
#include <vector>

namespace {

// Posted to the form's window by ReleaseConfigFormLater.
constexpr UINT kMsgReleaseConfigForm = WM_APP + 2;

struct HeldForm {
  std::unique_ptr<FormFrame> form;
  int depth = 0;           // its handlers running, nested
  bool releasing = false;  // hidden, its release posted
};

// The open form; and forms already closed whose handlers are still on the
// stack (a message box of theirs pumps messages), freed as each returns.
HeldForm gOpen;
std::vector<HeldForm> gRetired;
HHOOK gDialogKeysHook = nullptr;

// The open form while its window stands, or null.
FormFrame* CurrentConfigForm() {
  // A form whose window went inside one of its handlers is no longer current.
  return gOpen.form && gOpen.form->Window() != nullptr ? gOpen.form.get() : nullptr;
}

HeldForm* Find(const FormFrame* form) {
  if (form == nullptr) return nullptr;
  if (gOpen.form.get() == form) return &gOpen;
  for (HeldForm& held : gRetired)
    if (held.form.get() == form) return &held;
  return nullptr;
}

// The host's loop does not know our window, so keyboard navigation (Tab,
// arrows, Space, Enter, Esc) is given to IsDialogMessage here, on the way out
// of the queue. The host takes its messages as ANSI, so the ANSI call is the
// one that hands a typed character on to our wide controls unchanged.
LRESULT CALLBACK DialogKeysHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    const FormFrame* form = CurrentConfigForm();
    HWND dialog = form != nullptr ? form->Window() : nullptr;
    if (dialog != nullptr && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        (msg->hwnd == dialog || IsChild(dialog, msg->hwnd)) && IsDialogMessageA(dialog, msg)) {
      msg->message = WM_NULL;
      msg->wParam = 0;
      msg->lParam = 0;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Free(const FormFrame* form) {
  std::unique_ptr<FormFrame> doomed;
  if (gOpen.form.get() == form) {
    doomed = std::move(gOpen.form);
    gOpen = HeldForm{};
  } else {
    auto retired = std::find_if(gRetired.begin(), gRetired.end(),
                                [form](const HeldForm& held) { return held.form.get() == form; });
    if (retired == gRetired.end()) return;  // failed while being created: never held
    doomed = std::move(retired->form);
    gRetired.erase(retired);
  }
  doomed.reset();
  // A closed form freed after a newer one opened leaves that one the hook.
  if (gDialogKeysHook != nullptr && CurrentConfigForm() == nullptr) {
    UnhookWindowsHookEx(gDialogKeysHook);
    gDialogKeysHook = nullptr;
  }
}

// The open form's window has gone: it stops being the open form.
void RetireOpenForm() {
  if (gOpen.depth > 0) {
    gRetired.push_back(std::move(gOpen));
    gOpen = HeldForm{};
  } else {
    Free(gOpen.form.get());
  }
}

// Destroys the form's window at once; frees the form unless a handler still runs.
void CloseConfigForm(FormFrame& form) {
  const HeldForm* held = Find(&form);
  if (held == nullptr || held->depth == 0) {
    Free(&form);
  } else if (form.Window() != nullptr) {
    DestroyWindow(form.Window());
  }
}

}  // namespace

ConfigFormInUse::ConfigFormInUse(FormFrame& form) : form_(&form) {
  HeldForm* held = Find(form_);
  counted_ = held != nullptr;
  if (counted_) ++held->depth;
}

ConfigFormInUse::~ConfigFormInUse() {
  HeldForm* held = counted_ ? Find(form_) : nullptr;
  if (held != nullptr && --held->depth == 0 && form_->Window() == nullptr) Free(form_);
}

void ReleaseConfigFormLater(FormFrame& form) {
  ShowWindow(form.Window(), SW_HIDE);
  if (HeldForm* held = Find(&form)) held->releasing = true;
  PostMessageW(form.Window(), kMsgReleaseConfigForm, 0, 0);
}

bool TakeConfigFormRelease(FormFrame& form, UINT message) {
  if (message != kMsgReleaseConfigForm) return false;
  CloseConfigForm(form);  // freed now, or once its open handlers return
  return true;
}

bool ShowOpenConfigForm() {
  // On its way out (its release still queued behind a message box): not shown again.
  if (gOpen.form && gOpen.releasing) CloseConfigForm(*gOpen.form);
  // Closed inside one of its handlers, or destroyed from outside.
  if (gOpen.form && gOpen.form->Window() == nullptr) RetireOpenForm();
  if (!gOpen.form) return false;
  HWND window = gOpen.form->Window();
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  ShowWindow(window, SW_SHOW);
  // The assignment dialog, when one is open, is what the user must finish first.
  SetForegroundWindow(GetLastActivePopup(window));
  return true;
}

void HoldConfigForm(std::unique_ptr<FormFrame> form) {
  gOpen.form = std::move(form);
  if (gDialogKeysHook == nullptr)
    gDialogKeysHook = SetWindowsHookExA(WH_GETMESSAGE, DialogKeysHook, nullptr, GetCurrentThreadId());
}

void CloseConfigDialog() {
  if (gOpen.form) CloseConfigForm(*gOpen.form);
}

HWND ConfigDialogWindow() { return gOpen.form ? gOpen.form->Window() : nullptr; }
