// Play on start and the seek to the remembered position.
#pragma once

// The last step of a start: the hooks are in place by then.
void PlayOnStart();
// The dialog's boxes; they act at the next start.
void SetPlayOnStart(bool enabled);
void SetRememberPosition(bool enabled);
