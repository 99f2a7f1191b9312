// The marker of a plug-in running in this session: the global atom other code
// looks for, paired with a named mutex. The system closes a process's handles
// when it ends, crashed or killed, so the mutex exists only while a live
// process runs the plug-in; the atom alone would outlive it.
#pragma once

enum class MarkerTaken {
  kRefused,    // a live process holds it
  kAdded,      // nobody held it: the atom is added
  kTakenOver,  // its last holder ended without quit: its atom is ours now
};

MarkerTaken TakeInstanceMarker();
// Deletes the atom and closes the mutex; does nothing when not held.
void ReleaseInstanceMarker();
