// The holder of the configuration dialog's form, for the form and the rest of
// the library. A handler of the form may wait in a message box or a modal
// loop, and meanwhile the host may close the form (quit) or ask for it again
// (config): a form closed then is kept until the last of its handlers has
// returned, and freed there. The holder knows the form only as a frame.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/form_frame.h"

// Brings the open form to the front. False when none is open, or the open one
// is on its way out: a new form is then due.
bool ShowOpenConfigForm();
// Holds a form just created as the open one; the keyboard's dialog keys go to it.
void HoldConfigForm(std::unique_ptr<FormFrame> form);
// Destroys any open configuration dialog (quit, unload).
void CloseConfigDialog();
HWND ConfigDialogWindow();  // null when none is open

// Counts a handler of the form as running, for its scope.
class ConfigFormInUse {
 public:
  explicit ConfigFormInUse(FormFrame& form);
  ~ConfigFormInUse();
  ConfigFormInUse(const ConfigFormInUse&) = delete;
  ConfigFormInUse& operator=(const ConfigFormInUse&) = delete;

 private:
  FormFrame* form_;
  bool counted_;  // false while the form is still being created
};

// Hides the form and frees it once the current message is done (or, when a
// handler of it waits in a box, once the last one returns).
void ReleaseConfigFormLater(FormFrame& form);
// Every message of a held form comes here first: true when it was the form's
// release, which the holder has taken; any other is the form's to handle.
bool TakeConfigFormRelease(FormFrame& form, UINT message);
