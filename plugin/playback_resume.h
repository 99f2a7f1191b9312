// Play on start and the seek to the remembered position.
#pragma once

// The last step of a start: the hooks are in place by then.
void PlayOnStart();
