// The configuration dialog for the rest of the library, and the holder of its
// form. A handler of the form may wait in a message
// box or a modal loop, and meanwhile the host may close the form (quit) or
// ask for it again (config): a form closed then is kept until the last of its
// handlers has returned, and freed there.
#pragma once

#include <windows.h>

class TForm1;

// Opens the configuration dialog modeless and without owner, or brings the
// open one to the front.
void OpenConfigDialog();
// Destroys any open configuration dialog (quit, unload).
void CloseConfigDialog();
HWND ConfigDialogWindow();  // null when none is open

// The open form while its window stands, or null.
TForm1* CurrentConfigForm();

// Counts a handler of the form as running, for its scope.
class ConfigFormInUse {
 public:
  explicit ConfigFormInUse(TForm1& form);
  ~ConfigFormInUse();
  ConfigFormInUse(const ConfigFormInUse&) = delete;
  ConfigFormInUse& operator=(const ConfigFormInUse&) = delete;

 private:
  TForm1* form_;
  bool counted_;  // false while the form is still being created
};

// Hides the form and frees it once the current message is done: the form's
// window gets kMsgReleaseConfigForm, whose handler calls CloseConfigForm.
void ReleaseConfigFormLater(TForm1& form);
constexpr UINT kMsgReleaseConfigForm = WM_APP + 2;
// Destroys the form's window at once; frees the form unless a handler still runs.
void CloseConfigForm(TForm1& form);
